#include "rounding.h"

#include "decimal.h"

#include <limits>

qint64 roundHalfAway(double x)
{
    int64_t out = 0;
    if (!decimal::scaleRound(decimal::fromDouble(x), 0, out))
        return x < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return out;
}

double roundTo(int n, double x)
{
    return decimal::roundDouble(x, n);
}

Money roundTo(int n, Money x)
{
    return x.rounded(n);
}
