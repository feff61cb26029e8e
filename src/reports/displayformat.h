#pragma once

#include "core/money.h"

#include <QString>
#include <QVariant>

// How values read from the database are shown to people: Romanian number
// and date formats, never used on their way back into SQL.
namespace displayformat {

// "1.234,56": thousands ".", decimal ",", at least `minDecimals` decimals and
// up to 4 when the amount has them.
QString money(Money amount, int minDecimals = 2);
// A quantity: up to 3 decimals, no trailing zeros ("2,5").
QString quantity(double value);
// dd.MM.yyyy, with HH:mm when the time is not midnight; empty for null.
QString date(const QVariant &value);

// A field value formatted by what its column holds, looked up by column
// name in the schema (money, quantity, date, flag, number, text).
QString field(const QString &column, const QVariant &value);

} // namespace displayformat
