#include "mimemessage.h"

#include <QRegularExpression>
#include <QUuid>

#include <algorithm>

namespace {

const QByteArray Crlf = QByteArrayLiteral("\r\n");

Mailbox parseMailbox(const QString &item)
{
    Mailbox box;
    const qsizetype open = item.lastIndexOf(u'<');
    if (open < 0 || !item.endsWith(u'>')) {
        box.address = item;
        return box;
    }
    box.address = item.mid(open + 1, item.size() - open - 2).trimmed();
    QString name = item.left(open).trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        name = name.mid(1, name.size() - 2);
        static const QRegularExpression escaped(QStringLiteral("\\\\(.)"));
        name.replace(escaped, QStringLiteral("\\1"));
    }
    box.name = name;
    return box;
}

bool isPrintableAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

QString withoutLineBreaks(QString text)
{
    return text.replace(u'\r', u' ').replace(u'\n', u' ');
}

// Encoded words of at most 36 UTF-8 bytes each, never cutting a character,
// so that every header line stays short.
QByteArray encodedWords(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min<qsizetype>(start + 36, utf8.size());
        while (end < utf8.size() && (uchar(utf8.at(end)) & 0xC0) == 0x80)
            --end;
        if (!out.isEmpty())
            out += "\r\n ";
        out += QByteArrayLiteral("=?UTF-8?B?") + utf8.mid(start, end - start).toBase64() +
               QByteArrayLiteral("?=");
        start = end;
    }
    return out;
}

// A free text header such as Subject; ASCII that a reader could take for an
// encoded word is encoded as well.
QByteArray unstructured(const QString &text, qsizetype used)
{
    const QString clean = withoutLineBreaks(text);
    const bool plain = isPrintableAscii(clean) && used + clean.size() <= 78 &&
                       !clean.contains(QLatin1StringView("=?"));
    return plain ? clean.toLatin1() : encodedWords(clean);
}

QByteArray quoted(const QString &ascii)
{
    QByteArray out = ascii.toLatin1();
    out.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + out + '"';
}

QByteArray mailbox(const Mailbox &box)
{
    const QByteArray address = box.address.toLatin1();
    const QString name = withoutLineBreaks(box.name).trimmed();
    if (name.isEmpty())
        return address;
    const QByteArray phrase = isPrintableAscii(name) ? quoted(name) : encodedWords(name);
    return phrase + " <" + address + '>';
}

QByteArray mailboxList(const QList<Mailbox> &boxes)
{
    QByteArray out;
    for (const Mailbox &box : boxes) {
        if (!out.isEmpty())
            out += ",\r\n ";
        out += mailbox(box);
    }
    return out;
}

// A parameter such as filename: a quoted string when ASCII, else the
// extended form name*=UTF-8''%XX that mail readers decode.
QByteArray parameter(const char *name, const QString &value)
{
    const QString clean = withoutLineBreaks(value);
    if (isPrintableAscii(clean))
        return QByteArray(name) + '=' + quoted(clean);
    return QByteArray(name) + "*=UTF-8''" + clean.toUtf8().toPercentEncoding("!#$&+^`|");
}

} // namespace

QList<Mailbox> parseMailboxes(const QString &list)
{
    QList<Mailbox> boxes;
    QString item;
    bool inQuotes = false;
    bool inAngle = false;
    bool escaped = false;
    const auto flush = [&] {
        const QString trimmed = item.trimmed();
        if (!trimmed.isEmpty())
            boxes << parseMailbox(trimmed);
        item.clear();
    };
    for (const QChar c : list) {
        if (escaped) {
            escaped = false;
        } else if (inQuotes && c == u'\\') {
            escaped = true;
        } else if (c == u'"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && c == u'<') {
            inAngle = true;
        } else if (!inQuotes && c == u'>') {
            inAngle = false;
        } else if (!inQuotes && !inAngle && (c == u',' || c == u';')) {
            flush();
            continue;
        }
        item += c;
    }
    flush();
    return boxes;
}

bool isValidAddress(const QString &address)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
        "@[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)+$"));
    return address.size() <= 254 && pattern.match(address).hasMatch();
}

QByteArray headerBlock(const MailHeaders &headers)
{
    QByteArray out;
    out += "Date: " + headers.date.toString(Qt::RFC2822Date).toLatin1() + Crlf;
    out += "From: " + mailbox(headers.from) + Crlf;
    if (!headers.to.isEmpty())
        out += "To: " + mailboxList(headers.to) + Crlf;
    if (!headers.cc.isEmpty())
        out += "Cc: " + mailboxList(headers.cc) + Crlf;
    out += "Subject: " + unstructured(headers.subject, 9) + Crlf;
    out += "Message-ID: <" + headers.messageId + '>' + Crlf;
    out += "MIME-Version: 1.0" + Crlf;
    return out;
}

QByteArray mixedEntity(const QString &text, const QList<MailAttachment> &attachments)
{
    const QByteArray boundary = mime::newBoundary();
    QByteArray out = "Content-Type: multipart/mixed; boundary=\"" + boundary + '"' + Crlf + Crlf;
    out += "--" + boundary + Crlf;
    out += "Content-Type: text/plain; charset=utf-8" + Crlf;
    out += "Content-Transfer-Encoding: quoted-printable" + Crlf + Crlf;
    out += mime::quotedPrintable(text.toUtf8()) + Crlf;
    for (const MailAttachment &a : attachments) {
        out += "--" + boundary + Crlf;
        out += "Content-Type: " + a.mimeType + "; " + parameter("name", a.fileName) + Crlf;
        out += "Content-Transfer-Encoding: base64" + Crlf;
        out +=
            "Content-Disposition: attachment; " + parameter("filename", a.fileName) + Crlf + Crlf;
        out += mime::base64Lines(a.data);
    }
    out += "--" + boundary + "--" + Crlf;
    return out;
}

namespace mime {

// "=_" never occurs in base64 or quoted-printable text, so no part can
// contain the boundary.
QByteArray newBoundary()
{
    return "=_" + QUuid::createUuid().toRfc4122().toHex();
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 38 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + Crlf;
    return out;
}

QByteArray quotedPrintable(const QByteArray &text)
{
    QByteArray normalized = text;
    normalized.replace("\r\n", "\n").replace('\r', '\n');
    const QList<QByteArray> lines = normalized.split('\n');
    QByteArray out;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray &line = lines.at(n);
        if (n > 0)
            out += Crlf;
        qsizetype width = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const uchar c = uchar(line.at(i));
            const bool last = i == line.size() - 1;
            // A leading dot or "From " is encoded so that relays that
            // rewrite such lines cannot break a signature.
            const bool guarded = i == 0 && (c == '.' || (c == 'F' && line.startsWith("From ")));
            const bool literal = !guarded && ((c >= 33 && c <= 126 && c != '=') ||
                                              ((c == ' ' || c == '\t') && !last));
            const QByteArray token =
                literal ? QByteArray(1, char(c))
                        : '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
            if (width + token.size() > 75) {
                out += "=\r\n";
                width = 0;
            }
            out += token;
            width += token.size();
        }
    }
    return out;
}

} // namespace mime
