#include "money.h"

#include "decimal.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

Money Money::fromDouble(double d)
{
    int64_t units = 0;
    if (!decimal::scaleRound(decimal::fromDouble(d), Decimals, units))
        throw std::overflow_error("amount out of range");
    return fromUnits(units);
}

std::optional<Money> Money::parse(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        ++i;
    }
    constexpr int64_t maxWhole = std::numeric_limits<int64_t>::max() / Scale - 1;
    int64_t whole = 0;
    int64_t fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        anyDigit = true;
        const int digit = c - u'0';
        if (!afterPoint) {
            if (whole > (maxWhole - digit) / 10)
                return std::nullopt;
            whole = whole * 10 + digit;
        } else if (fractionDigits < Decimals) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == Decimals) {
            roundUp = digit >= 5; // the first dropped digit decides, halves away from zero
            ++fractionDigits;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    for (int k = std::min(fractionDigits, int(Decimals)); k < Decimals; ++k)
        fraction *= 10;
    const int64_t units = whole * Scale + fraction + (roundUp ? 1 : 0);
    return fromUnits(negative ? -units : units);
}

QString Money::toString(int decimals) const
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > Decimals)
        decimals = Decimals;
    const Money r = rounded(decimals);
    const uint64_t mag = r.m_units < 0 ? uint64_t(0) - uint64_t(r.m_units) : uint64_t(r.m_units);
    QString out = QString::number(mag / Scale);
    if (decimals > 0) {
        QString frac = QString::number(mag % Scale).rightJustified(Decimals, u'0');
        frac.truncate(decimals);
        out += u'.' + frac;
    }
    if (r.m_units < 0)
        out.prepend(u'-');
    return out;
}

Money Money::rounded(int decimals) const
{
    if (decimals >= Decimals)
        return *this;
    int64_t step = 1;
    for (int i = decimals; i < Decimals; ++i)
        step *= 10;
    int64_t q = 0;
    if (!decimal::mulDivRound(m_units, 1, step, q) || q > std::numeric_limits<int64_t>::max() / step
        || q < std::numeric_limits<int64_t>::min() / step)
        throw std::overflow_error("amount out of range");
    return fromUnits(q * step);
}

namespace {

int64_t stepFor(int decimals)
{
    int64_t step = 1;
    for (int i = std::clamp(decimals, 0, int(Money::Decimals)); i < Money::Decimals; ++i)
        step *= 10;
    return step;
}

Money scaledBack(int64_t quotient, int64_t step)
{
    if (quotient > std::numeric_limits<int64_t>::max() / step || quotient < std::numeric_limits<int64_t>::min() / step)
        throw std::overflow_error("amount out of range");
    return Money::fromUnits(quotient * step);
}

} // namespace

Money Money::times(double factor, int decimals) const
{
    const int64_t step = stepFor(decimals);
    decimal::Value f = decimal::fromDouble(factor);
    int shift = 0;
    for (int64_t s = step; s > 1; s /= 10)
        ++shift;
    f.exponent -= shift;
    int64_t q = 0;
    if (!decimal::mulValueRound(m_units, f, q))
        throw std::overflow_error("amount out of range");
    return scaledBack(q, step);
}

Money Money::mulDiv(int64_t numerator, int64_t denominator, int decimals) const
{
    const int64_t step = stepFor(decimals);
    int64_t q = 0;
    if (denominator > std::numeric_limits<int64_t>::max() / step
        || !decimal::mulDivRound(m_units, numerator, denominator * step, q))
        throw std::overflow_error("amount out of range");
    return scaledBack(q, step);
}
