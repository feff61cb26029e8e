#pragma once

#include "core/money.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

// How a field is shown in a grid cell or an edit. SQLite hands flags back
// as 0/1 and amounts as plain numbers, so those columns must say what they
// hold; Auto goes by the value's own type (ISO date text counts as a date).
enum class FieldFormat
{
    Auto,
    Text,
    Number,
    Money,
    Date,
    Boolean
};

namespace fieldformat {

// Romanian, decimal comma, no grouping.
QLocale locale();

// The format a value of this type is shown with when the column says Auto.
FieldFormat resolve(const QVariant &value, FieldFormat format);

// Display text: "dd.MM.yyyy" (with " HH:mm" when the time is not midnight),
// numbers with the decimal comma, amounts with `decimals` decimals (2 when
// negative), empty for null and for flags (shown as a check).
QString display(const QVariant &value, FieldFormat format, int decimals = -1);

// The value to store for text a user typed over `current`; null for empty
// text. Throws DbError (EConvertError) when the text does not fit.
QVariant parse(const QString &text, const QVariant &current, FieldFormat format);

// A value as a date and time: QDate, QDateTime or ISO text; invalid otherwise.
QDateTime toDateTime(const QVariant &value);
// A value as an amount (Money, number or decimal text); nullopt otherwise.
std::optional<Money> toMoney(const QVariant &value);
// A flag stored as bool, number or text.
bool toBoolean(const QVariant &value);

// "1234,50": an amount with the decimal comma.
QString moneyText(Money amount, int decimals);
// Parses "-1234,5" (a "." is read as the decimal mark too).
std::optional<Money> parseMoney(const QString &text);

} // namespace fieldformat
