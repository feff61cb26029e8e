#pragma once

#include <cstdint>
#include <string>

// Exact decimal helpers shared by Money and the rounding of plain numbers.
namespace decimal {

// A decimal value sign × digits × 10^exponent, with at most 19 digits.
struct Value
{
    bool negative = false;
    uint64_t digits = 0;
    int exponent = 0;
};

// The shortest decimal text that reads back as d, as a Value.
Value fromDouble(double d);

// Rounds |v| × 10^shift to an integer, halves away from zero, and gives it the
// sign of v. Returns false when the result does not fit in int64_t.
bool scaleRound(const Value &v, int shift, int64_t &out);

// numerator × multiplier / divisor on exact integers, rounded halves away from
// zero. Returns false on overflow or a zero divisor.
bool mulDivRound(int64_t value, int64_t multiplier, int64_t divisor, int64_t &out);

// value × digits × 10^exponent (a Value), rounded halves away from zero.
bool mulValueRound(int64_t value, const Value &factor, int64_t &out);

// x rounded to n decimals, halves away from zero, decided on the decimal value
// of x. n may be 0 to 15.
double roundDouble(double x, int n);

} // namespace decimal
