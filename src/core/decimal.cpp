#include "decimal.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace decimal {
namespace {

// Unsigned 128-bit arithmetic, kept portable (no compiler extension).
struct U128
{
    uint64_t hi = 0;
    uint64_t lo = 0;
};

U128 mul64(uint64_t a, uint64_t b)
{
    const uint64_t aLo = a & 0xffffffffu, aHi = a >> 32;
    const uint64_t bLo = b & 0xffffffffu, bHi = b >> 32;
    const uint64_t ll = aLo * bLo;
    const uint64_t lh = aLo * bHi;
    const uint64_t hl = aHi * bLo;
    const uint64_t hh = aHi * bHi;
    const uint64_t mid = (ll >> 32) + (lh & 0xffffffffu) + (hl & 0xffffffffu);
    U128 r;
    r.lo = (ll & 0xffffffffu) | (mid << 32);
    r.hi = hh + (lh >> 32) + (hl >> 32) + (mid >> 32);
    return r;
}

// n × m; false on overflow of 128 bits.
bool mulSmall(U128 n, uint64_t m, U128 &out)
{
    const U128 low = mul64(n.lo, m);
    const U128 high = mul64(n.hi, m);
    if (high.hi != 0)
        return false;
    const uint64_t hi = low.hi + high.lo;
    if (hi < low.hi)
        return false;
    out = {hi, low.lo};
    return true;
}

bool lessThan(U128 a, U128 b) { return a.hi < b.hi || (a.hi == b.hi && a.lo < b.lo); }

U128 sub(U128 a, U128 b)
{
    U128 r;
    r.lo = a.lo - b.lo;
    r.hi = a.hi - b.hi - (a.lo < b.lo ? 1 : 0);
    return r;
}

// Quotient and remainder of n / d, d > 0.
void divmod(U128 n, uint64_t d, U128 &q, uint64_t &r)
{
    if (n.hi == 0) {
        q = {0, n.lo / d};
        r = n.lo % d;
        return;
    }
    // Shift-and-subtract; only reached for values beyond 64 bits.
    U128 quotient;
    U128 rem;
    for (int bit = 127; bit >= 0; --bit) {
        rem.hi = (rem.hi << 1) | (rem.lo >> 63);
        rem.lo <<= 1;
        const uint64_t nBit = bit >= 64 ? (n.hi >> (bit - 64)) & 1u : (n.lo >> bit) & 1u;
        rem.lo |= nBit;
        const U128 dd{0, d};
        if (!lessThan(rem, dd)) {
            rem = sub(rem, dd);
            if (bit >= 64)
                quotient.hi |= uint64_t(1) << (bit - 64);
            else
                quotient.lo |= uint64_t(1) << bit;
        }
    }
    q = quotient;
    r = rem.lo;
}

// n / d rounded halves away from zero (n is a magnitude).
U128 divRound(U128 n, uint64_t d)
{
    U128 q;
    uint64_t r = 0;
    divmod(n, d, q, r);
    if (r >= d - r) {
        ++q.lo;
        if (q.lo == 0)
            ++q.hi;
    }
    return q;
}

constexpr uint64_t pow10(int k)
{
    uint64_t p = 1;
    for (int i = 0; i < k; ++i)
        p *= 10;
    return p;
}

// n / 10^k rounded halves away from zero, for any k >= 0.
U128 divPow10Round(U128 n, int k)
{
    if (k == 0)
        return n;
    // Truncate by 10^(k-1) in steps that fit, then round on the last digit.
    int left = k - 1;
    while (left > 0) {
        const int step = left > 18 ? 18 : left;
        uint64_t r = 0;
        divmod(n, pow10(step), n, r);
        left -= step;
    }
    return divRound(n, 10);
}

bool toSigned(U128 magnitude, bool negative, int64_t &out)
{
    if (magnitude.hi != 0 || magnitude.lo > uint64_t(std::numeric_limits<int64_t>::max()))
        return false;
    const auto v = static_cast<int64_t>(magnitude.lo);
    out = negative ? -v : v;
    return true;
}

uint64_t magnitudeOf(int64_t v)
{
    return v < 0 ? uint64_t(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

} // namespace

Value fromDouble(double d)
{
    Value v;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    const char *p = buf;
    const char *end = res.ptr;
    if (p < end && *p == '-') {
        v.negative = true;
        ++p;
    }
    bool afterPoint = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (*p < '0' || *p > '9')
            return Value{}; // inf or nan: treated as zero
        v.digits = v.digits * 10 + uint64_t(*p - '0');
        if (afterPoint)
            --v.exponent;
    }
    if (p < end && *p == 'e') {
        ++p;
        if (p < end && *p == '+')
            ++p;
        int e = 0;
        std::from_chars(p, end, e);
        v.exponent += e;
    }
    return v;
}

bool scaleRound(const Value &v, int shift, int64_t &out)
{
    const int k = v.exponent + shift;
    U128 n{0, v.digits};
    if (k >= 0) {
        for (int i = 0; i < k; ++i) {
            if (!mulSmall(n, 10, n))
                return false;
        }
    } else {
        n = divPow10Round(n, -k);
    }
    return toSigned(n, v.negative, out);
}

bool mulDivRound(int64_t value, int64_t multiplier, int64_t divisor, int64_t &out)
{
    if (divisor == 0)
        return false;
    const bool negative = ((value < 0) != (multiplier < 0)) != (divisor < 0);
    const U128 product = mul64(magnitudeOf(value), magnitudeOf(multiplier));
    return toSigned(divRound(product, magnitudeOf(divisor)), negative, out);
}

bool mulValueRound(int64_t value, const Value &factor, int64_t &out)
{
    U128 n = mul64(magnitudeOf(value), factor.digits);
    if (factor.exponent >= 0) {
        for (int i = 0; i < factor.exponent; ++i) {
            if (!mulSmall(n, 10, n))
                return false;
        }
    } else {
        n = divPow10Round(n, -factor.exponent);
    }
    return toSigned(n, (value < 0) != factor.negative, out);
}

double roundDouble(double x, int n)
{
    int64_t scaled = 0;
    if (!scaleRound(fromDouble(x), n, scaled))
        return x; // too large to carry any decimals at this precision
    char buf[48];
    auto res = std::to_chars(buf, buf + 30, scaled);
    *res.ptr++ = 'e';
    *res.ptr++ = '-';
    res = std::to_chars(res.ptr, buf + sizeof buf, n);
    double out = 0;
    std::from_chars(buf, res.ptr, out);
    return out;
}

} // namespace decimal
