#pragma once

#include "core/money.h"

#include <QString>

#include <optional>

// The amount spelled out in Romanian as one glued lower-case word, in the words of the
// currency `code`; nullopt for a currency without words or an amount out of range.
std::optional<QString> amountInWords(Money amount, const QString &code);
