#include "values.h"

#include "dberror.h"

Money moneyFromValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Money::fromInt(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return Money::fromDouble(v.toDouble());
    case QMetaType::Bool:
        return Money::fromInt(v.toBool() ? 1 : 0);
    default:
        break;
    }
    if (v.metaType().id() == qMetaTypeId<Money>())
        return v.value<Money>();
    const auto parsed = Money::parse(v.toString());
    if (!parsed)
        throw DbError::conversion(u'\'' + v.toString() + QStringLiteral("' is not a valid amount"));
    return *parsed;
}
