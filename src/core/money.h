#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

// An amount of money held exactly in units of 1/10000, the precision every
// money column keeps. Conversions from binary floating point go through the
// shortest decimal text of the double, so 2.675 is read as the decimal 2.675
// and never as 2.67499999... No binary floating point decides a rounding.
class Money
{
public:
    static constexpr int64_t Scale = 10000;
    static constexpr int Decimals = 4;

    constexpr Money() = default;
    static constexpr Money fromUnits(int64_t units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    static constexpr Money fromInt(int64_t whole) { return fromUnits(whole * Scale); }
    // Nearest 1/10000 of the decimal value of d, halves away from zero.
    // Throws std::overflow_error for values that do not fit.
    static Money fromDouble(double d);
    // Parses plain decimal text with "." as the decimal mark ("-12.5", "3",
    // "0.00005"); more than four decimals round halves away from zero.
    static std::optional<Money> parse(QStringView text);

    constexpr int64_t units() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / Scale; }
    // Decimal text with "." and exactly `decimals` decimals (0 to 4), no grouping.
    QString toString(int decimals = Decimals) const;

    // Rounded to `decimals` places (0 to 4), halves away from zero.
    Money rounded(int decimals) const;
    // this × factor, computed on the decimal value of factor and rounded
    // once to `decimals` places (0 to 4), halves away from zero.
    Money times(double factor, int decimals = Decimals) const;
    // this × numerator / denominator on exact integers, rounded once to
    // `decimals` places (0 to 4), halves away from zero.
    Money mulDiv(int64_t numerator, int64_t denominator, int decimals = Decimals) const;

    constexpr bool isZero() const { return m_units == 0; }
    constexpr Money abs() const { return fromUnits(m_units < 0 ? -m_units : m_units); }

    constexpr Money operator-() const { return fromUnits(-m_units); }
    constexpr Money operator+(Money o) const { return fromUnits(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return fromUnits(m_units - o.m_units); }
    constexpr Money &operator+=(Money o)
    {
        m_units += o.m_units;
        return *this;
    }
    constexpr Money &operator-=(Money o)
    {
        m_units -= o.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Money &) const = default;

private:
    int64_t m_units = 0;
};

Q_DECLARE_METATYPE(Money)
