#include "receiptfile.h"

#include "core/prompter.h"
#include "core/rounding.h"
#include "core/text.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/values.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

namespace fiscalreceipt {

namespace {

// The driver reads the Romanian Windows code page.
constexpr const char *codePage = "windows-1250";
constexpr int nameLength = 19;

// Whether the code page holds c as one byte. Without the code page only
// ASCII is safe.
bool encodable(char32_t c)
{
    if (c < 0x80)
        return true;
    QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return false;
    const QByteArray bytes = encoder.encode(QString::fromUcs4(&c, 1));
    return !encoder.hasError() && bytes.size() == 1;
}


// Amounts in messages: the decimal comma, no trailing zeros ("15,5").
QString plainNumber(Money amount)
{
    QString text = amount.toString();
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', u',');
}

QString cents(Money amount)
{
    return amount.toString(2).replace(u'.', u',');
}

// The parts as the file writes them.
Payment toCents(const Payment &payment)
{
    return {payment.cash.rounded(2), payment.card.rounded(2), payment.cheque.rounded(2)};
}

QString percentText(double percent)
{
    return Money::fromDouble(roundTo(0, percent)).toString(0);
}

// The printer charges price × quantity for an item, so the price it gets is
// the unit price with VAT. When no two-decimal unit price gives back the
// line total exactly, the line goes as one piece at its total: the receipt
// must add up to what the client pays.
QString itemAmounts(const Line &line)
{
    const Money total = line.total.rounded(2);
    const Money quantity = Money::fromDouble(roundTo(3, line.quantity)).rounded(3);
    const int64_t thousandths = quantity.units() / (Money::Scale / 1000);
    if (thousandths != 0) {
        const Money unit = total.mulDiv(1000, thousandths, 2);
        if (unit.mulDiv(thousandths, 1000, 2) == total)
            return unit.toString(2) + u';' + quantity.toString(3);
    }
    return total.toString(2) + QStringLiteral(";1.000");
}

void appendPayment(QStringList &out, const Payment &parts)
{
    const bool cash = parts.cash > Money();
    const bool card = parts.card > Money();
    const bool cheque = parts.cheque > Money();
    if (cash && !card && !cheque) {
        out << QStringLiteral("T,1,______,_,__;");
        return;
    }
    const auto part = [&out](const QString &prefix, Money amount) {
        out << prefix + amount.toString(2) + QStringLiteral(";;;;");
    };
    if (cash)
        part(QStringLiteral("T,1,______,_,__;0;"), parts.cash);
    if (cheque)
        part(QStringLiteral("T,1,______,_,__;1;"), parts.cheque);
    if (card)
        part(cash && cheque ? QStringLiteral("T,2,______,_,__;2;")
                            : QStringLiteral("T,1,______,_,__;2;"),
             parts.card);
}

} // namespace

QList<Line> linesOf(const Dataset &lines)
{
    const int name = lines.fieldIndex(QStringLiteral("Denumire"));
    const int unit = lines.fieldIndex(QStringLiteral("UM"));
    const int quantity = lines.fieldIndex(QStringLiteral("Cnt"));
    const int total = lines.fieldIndex(QStringLiteral("TotaloutMM"));
    QList<Line> out;
    for (int row = 0; row < lines.recordCount(); ++row)
        out.append({lines.valueAt(row, name).toString(), lines.valueAt(row, unit).toString(),
                    lines.valueAt(row, quantity).toDouble(), moneyFromValue(lines.valueAt(row, total))});
    return out;
}

Money totalOf(const QList<Line> &lines)
{
    Money total;
    for (const Line &line : lines)
        total += line.total;
    return total;
}

QString itemName(const QString &name)
{
    QString out;
    const QList<uint> codePoints = withoutDiacritics(name).toUcs4();
    for (const uint codePoint : codePoints) {
        const char32_t c = codePoint;
        const QChar::Category category = QChar::category(c);
        // A separator or a line break would start a field or a record of its own.
        if (c == U';' || c == U',' || QChar::isSpace(c))
            out += u' ';
        else if (category == QChar::Other_Control || category == QChar::Other_Format)
            continue;
        else if (encodable(c))
            out += QString::fromUcs4(&c, 1);
        else
            out += u'?';
    }
    return out.simplified().left(nameLength);
}

std::optional<QString> paymentProblem(Money total, const Payment &payment)
{
    const Payment parts = toCents(payment);
    if (parts.cash < Money() || parts.card < Money() || parts.cheque < Money())
        return QStringLiteral("Sumele introduse nu pot fi negative.");
    const Money sum = parts.cash + parts.card + parts.cheque;
    if (sum != roundTo(2, total))
        return QStringLiteral("cash+card+tichete <> total plata. Reverificati sumele introduse.") +
               plainNumber(sum) + QStringLiteral("---") + plainNumber(total);
    if (sum.isZero())
        return QStringLiteral("Nu aveti completate sumele");
    return std::nullopt;
}

QStringList records(const QList<Line> &lines, const Payment &payment)
{
    QStringList out;
    for (const Line &line : lines) {
        if (line.unit.contains(u'%'))
            out << QStringLiteral("C,1,______,_,__;0;") + percentText(line.quantity) +
                       QStringLiteral(";;;;");
        else
            out << QStringLiteral("S,1,______,_,__;") + itemName(line.name) + u';' +
                       itemAmounts(line) + QStringLiteral(";1;1;1;0;0;");
    }
    appendPayment(out, toCents(payment));
    return out;
}

QByteArray fileContent(const QStringList &records)
{
    QString text;
    for (const QString &record : records)
        text += record + QStringLiteral("\r\n");
    QStringEncoder encoder(codePage);
    // Names hold only what the code page has, so without it the text is ASCII.
    return encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
}

std::optional<QString> writeFile(const QString &path, const QByteArray &content)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral(
            "Calea fisierului pentru bonul fiscal nu este completata la punctul de lucru.");
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("Calea pentru bonul fiscal este un folder, nu un fisier: ") +
               QDir::toNativeSeparators(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("Folderul pentru bonul fiscal nu exista: ") +
               QDir::toNativeSeparators(info.absolutePath());
    // Written beside and renamed over the old file: the driver never reads half a receipt.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return QStringLiteral("Fisierul bonului fiscal nu a putut fi scris: ") +
               QDir::toNativeSeparators(path) + QStringLiteral(" (") + file.errorString() + u')';
    return std::nullopt;
}

QString workPointPath(Connection &connection, qint64 workPointId)
{
    return connection
        .scalar(QStringLiteral("select CaleFPRINT from SeriiActe where id=:id"), {workPointId})
        .toString();
}

bool issue(const QList<Line> &lines, Money total, const Payment &payment, const QString &path,
           Prompter &prompter)
{
    if (const std::optional<QString> problem = paymentProblem(total, payment)) {
        prompter.information(*problem);
        return false;
    }
    QByteArray content;
    try {
        content = fileContent(records(lines, payment));
    } catch (const std::exception &e) {
        prompter.error(errorDisplayText(e));
        return false;
    }
    const Payment parts = toCents(payment);
    if (!prompter.confirm(QStringLiteral("Scoateti BF cu suma totala de: ") + plainNumber(total) +
                          QStringLiteral(" RON din care CASH=") + cents(parts.cash) +
                          QStringLiteral(",  CARD=") + cents(parts.card) +
                          QStringLiteral(",  CEC/tichete=") + cents(parts.cheque) +
                          QStringLiteral(" ?")))
        return false;
    if (const std::optional<QString> failure = writeFile(path, content)) {
        prompter.error(*failure);
        return false;
    }
    prompter.information(QStringLiteral("Fisier creat"));
    return true;
}

} // namespace fiscalreceipt
