#pragma once

#include <QString>

// The currency of one payment or cash operation: a three-letter code and
// the number of decimals its amounts are rounded to.
struct TMonedaPlata
{
    QString code;
    int decimals = 2;

    bool isValid() const { return code.size() == 3; }
};
