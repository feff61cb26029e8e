#pragma once

#include "core/money.h"

#include <QVariant>

// A money column as the engine returns it: integer, floating point, decimal
// text or a bound Money. Null reads as zero; text that is no amount throws
// DbError.
Money moneyFromValue(const QVariant &value);
