#include "displayformat.h"

#include "db/schema.h"

#include <QDateTime>
#include <QHash>

namespace displayformat {
namespace {

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u'.';
        out += digits[i];
    }
    return out;
}

const QHash<QString, schema::ColumnType> &columnTypes()
{
    static const QHash<QString, schema::ColumnType> types = [] {
        QHash<QString, schema::ColumnType> t;
        for (const schema::Table &table : schema::tables()) {
            for (const schema::Column &c : table.columns) {
                const QString key = QString::fromLatin1(c.name).toLower();
                if (!t.contains(key))
                    t.insert(key, c.type);
            }
        }
        return t;
    }();
    return types;
}

QDateTime asDateTime(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().startOfDay();
    const QString text = value.toString().trimmed();
    for (const char *f : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd"}) {
        const QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return {};
}

Money asMoney(const QVariant &value)
{
    if (value.metaType().id() == qMetaTypeId<Money>())
        return value.value<Money>();
    if (value.metaType().id() == QMetaType::Double)
        return Money::fromDouble(value.toDouble());
    if (value.metaType().id() == QMetaType::LongLong || value.metaType().id() == QMetaType::Int)
        return Money::fromInt(value.toLongLong());
    return Money::parse(value.toString()).value_or(Money());
}

} // namespace

QString money(Money amount, int minDecimals)
{
    QString text = amount.toString(4); // "-1234.5600"
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(u'.');
    QString whole = text.left(point);
    QString fraction = text.mid(point + 1);
    while (fraction.size() > minDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);
    QString out = groupThousands(whole);
    if (!fraction.isEmpty())
        out += u',' + fraction;
    return negative ? u'-' + out : out;
}

QString quantity(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(u'.', u',');
}

QString date(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QDateTime dt = asDateTime(value);
    if (!dt.isValid())
        return value.toString();
    if (dt.time() == QTime(0, 0))
        return dt.toString(QStringLiteral("dd.MM.yyyy"));
    return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString field(const QString &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QString key = column.toLower();
    if (value.metaType().id() == qMetaTypeId<Money>())
        return money(value.value<Money>());
    const auto type = columnTypes().constFind(key);
    if (type == columnTypes().cend())
        return value.toString();
    switch (*type) {
    case schema::ColumnType::Money:
    case schema::ColumnType::Decimal:
        // Rates read as plain numbers: "21", "5,5".
        if (key.startsWith(QLatin1String("cota")))
            return money(asMoney(value), 0);
        return money(asMoney(value));
    case schema::ColumnType::Double:
        return quantity(value.toDouble());
    case schema::ColumnType::DateTime:
        return date(value);
    case schema::ColumnType::Bool:
        return value.toDouble() != 0 || value.toString() == QLatin1String("true") ? QStringLiteral("Da") : QStringLiteral("Nu");
    default:
        return value.toString();
    }
}

} // namespace displayformat
