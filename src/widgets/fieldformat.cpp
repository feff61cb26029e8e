#include "fieldformat.h"

#include "db/dberror.h"

#include <QDateTime>

#include <stdexcept>

namespace fieldformat {
namespace {

bool isNullValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

bool isIntegerType(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloatType(const QVariant &v)
{
    return v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float;
}

QDateTime parseIsoText(const QString &text)
{
    // Cheap test first: this runs for every text cell a grid paints.
    if (text.size() < 10 || text.size() > 23 || text[4] != u'-' || text[7] != u'-')
        return {};
    static const QString formats[] = {
        QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"),
        QStringLiteral("yyyy-MM-ddTHH:mm:ss"), QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"),
        QStringLiteral("yyyy-MM-dd HH:mm"),    QStringLiteral("yyyy-MM-dd")};
    for (const QString &f : formats) {
        const QDateTime dt = QDateTime::fromString(text, f);
        if (dt.isValid())
            return dt;
    }
    return {};
}

[[noreturn]] void refuse(const QString &text, const QString &what)
{
    throw DbError::conversion(u'\'' + text + QStringLiteral("' is not a valid ") + what);
}

} // namespace

QLocale locale()
{
    static const QLocale romanian = [] {
        QLocale l(QLocale::Romanian, QLocale::Romania);
        l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return l;
    }();
    return romanian;
}

FieldFormat resolve(const QVariant &value, FieldFormat format)
{
    if (format != FieldFormat::Auto)
        return format;
    const int type = value.metaType().id();
    if (type == QMetaType::Bool)
        return FieldFormat::Boolean;
    if (type == qMetaTypeId<Money>())
        return FieldFormat::Money;
    if (type == QMetaType::QDate || type == QMetaType::QDateTime)
        return FieldFormat::Date;
    if (isIntegerType(value) || isFloatType(value))
        return FieldFormat::Number;
    if (type == QMetaType::QString && parseIsoText(value.toString()).isValid())
        return FieldFormat::Date;
    return FieldFormat::Text;
}

QDateTime toDateTime(const QVariant &value)
{
    if (isNullValue(value))
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return value.toDate().startOfDay();
    case QMetaType::QString:
        return parseIsoText(value.toString().trimmed());
    default:
        return {};
    }
}

std::optional<Money> toMoney(const QVariant &value)
{
    if (isNullValue(value))
        return std::nullopt;
    if (value.metaType().id() == qMetaTypeId<Money>())
        return value.value<Money>();
    if (isIntegerType(value))
        return Money::fromInt(value.toLongLong());
    try {
        if (isFloatType(value))
            return Money::fromDouble(value.toDouble());
    } catch (const std::overflow_error &) {
        return std::nullopt;
    }
    if (value.metaType().id() == QMetaType::QString)
        return parseMoney(value.toString());
    return std::nullopt;
}

bool toBoolean(const QVariant &value)
{
    if (isNullValue(value))
        return false;
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool();
    if (value.metaType().id() == qMetaTypeId<Money>())
        return !value.value<Money>().isZero();
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    return text.toDouble() != 0;
}

QString moneyText(Money amount, int decimals)
{
    QString text = amount.toString(decimals);
    text.replace(u'.', u',');
    return text;
}

std::optional<Money> parseMoney(const QString &text)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    return Money::parse(t);
}

QString display(const QVariant &value, FieldFormat format, int decimals)
{
    if (isNullValue(value))
        return {};
    switch (resolve(value, format)) {
    case FieldFormat::Boolean:
        return {};
    case FieldFormat::Date: {
        const QDateTime dt = toDateTime(value);
        if (!dt.isValid())
            return value.toString();
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    case FieldFormat::Money: {
        const std::optional<Money> m = toMoney(value);
        return m ? moneyText(*m, decimals < 0 ? 2 : decimals) : value.toString();
    }
    case FieldFormat::Number: {
        if (isIntegerType(value) && decimals < 0)
            return QString::number(value.toLongLong());
        bool ok = true;
        const double d = value.metaType().id() == qMetaTypeId<Money>()
                             ? value.value<Money>().toDouble()
                             : value.toDouble(&ok);
        if (!ok)
            return value.toString();
        return locale().toString(d, 'f', decimals < 0 ? QLocale::FloatingPointShortest : decimals);
    }
    case FieldFormat::Auto:
    case FieldFormat::Text:
        break;
    }
    return value.toString();
}

QVariant parse(const QString &text, const QVariant &current, FieldFormat format)
{
    if (text.trimmed().isEmpty())
        return {};
    const FieldFormat f = isNullValue(current) && format == FieldFormat::Auto
                              ? FieldFormat::Text
                              : resolve(current, format);
    const QString t = text.trimmed();
    switch (f) {
    case FieldFormat::Number: {
        bool ok = false;
        if (format == FieldFormat::Auto && isIntegerType(current)) {
            const qlonglong n = t.toLongLong(&ok);
            if (!ok)
                refuse(t, QStringLiteral("integer value"));
            return n;
        }
        QString decimal = t;
        decimal.replace(u'.', u',');
        const double d = locale().toDouble(decimal, &ok);
        if (!ok)
            refuse(t, QStringLiteral("floating point value"));
        return d;
    }
    case FieldFormat::Money: {
        const std::optional<Money> m = parseMoney(t);
        if (!m)
            refuse(t, QStringLiteral("amount"));
        return QVariant::fromValue(*m);
    }
    case FieldFormat::Date: {
        for (const QString &f :
             {QStringLiteral("dd.MM.yyyy HH:mm"), QStringLiteral("dd.MM.yyyy HH:mm:ss")}) {
            const QDateTime dt = QDateTime::fromString(t, f);
            if (dt.isValid())
                return dt;
        }
        const QDate d = QDate::fromString(t, QStringLiteral("dd.MM.yyyy"));
        if (!d.isValid())
            refuse(t, QStringLiteral("date"));
        return d;
    }
    case FieldFormat::Boolean:
        return toBoolean(t);
    case FieldFormat::Auto:
    case FieldFormat::Text:
        break;
    }
    return text;
}

} // namespace fieldformat
