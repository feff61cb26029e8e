#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One address of a From, To or Cc field: "office@firma.ro" or
// "Firma SRL <office@firma.ro>".
struct Mailbox
{
    QString name;
    QString address;
};

// The mailboxes of a list separated by commas (or semicolons); separators
// inside quotes or angle brackets do not split. Empty items are dropped.
QList<Mailbox> parseMailboxes(const QString &list);
// An ASCII address "local@domain.tld" that can go into an SMTP envelope.
bool isValidAddress(const QString &address);

struct MailAttachment
{
    QString fileName;
    QByteArray mimeType;
    QByteArray data;
};

struct MailHeaders
{
    Mailbox from;
    QList<Mailbox> to;
    QList<Mailbox> cc;
    QString subject;
    QDateTime date;
    QByteArray messageId; // without the angle brackets
};

// The message headers, each line ending in CRLF, without the blank line that
// ends them; non-ASCII texts are encoded words.
QByteArray headerBlock(const MailHeaders &headers);

// A multipart/mixed entity (its own headers, a blank line, the parts) of the
// UTF-8 text and the attachments. 7-bit, CRLF line ends, as a signature needs.
QByteArray mixedEntity(const QString &text, const QList<MailAttachment> &attachments);

// Helpers shared by the S/MIME entities.
namespace mime {
QByteArray newBoundary();
// Base64 in lines of 76 characters, each ending in CRLF.
QByteArray base64Lines(const QByteArray &data);
// Quoted-printable of UTF-8 text; any line end becomes CRLF.
QByteArray quotedPrintable(const QByteArray &text);
} // namespace mime
