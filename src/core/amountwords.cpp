#include "core/amountwords.h"

#include <array>
#include <cstdint>

namespace {

using WordTable = std::array<QStringView, 10>;

constexpr WordTable Hundreds = {u"",          u"unasuta",  u"douasute",  u"treisute", u"patrusute",
                                u"cincisute", u"sasesute", u"saptesute", u"optsute",  u"nouasute"};
constexpr WordTable Units = {u"",      u"unu",  u"doi",   u"trei", u"patru",
                             u"cinci", u"sase", u"sapte", u"opt",  u"noua"};
// Index 1 is never read: a tens digit of 1 takes the teens word instead.
constexpr WordTable Tens = {u"",          u"",         u"douazeci",  u"treizeci", u"patruzeci",
                            u"cincizeci", u"sasezeci", u"saptezeci", u"optzeci",  u"nouazeci"};
constexpr WordTable Teens = {u"zece",        u"unsprezece",    u"doisprezece", u"treisprezece",
                             u"paisprezece", u"cincisprezece", u"saisprezece", u"saptesprezece",
                             u"optsprezece", u"nouasprezece"};

struct GroupName
{
    QStringView singular;
    QStringView plural;
};

// Indexed by group: units, thousands, millions, billions.
constexpr std::array<GroupName, 4> GroupNames = {{
    {u"", u""},
    {u"mie", u"mii"},
    {u"milion", u"milioane"},
    {u"miliard", u"miliarde"},
}};

// Billions are the largest group with a name.
constexpr uint64_t WholeLimit = 1'000'000'000'000;

struct CurrencyWords
{
    QStringView code;
    QStringView unit;
    QStringView hundredth;
    // Euro amounts read "un" rather than "unu" in the units and thousands.
    bool unVariant;
};

constexpr std::array<CurrencyWords, 4> Currencies = {{
    {u"RON", u"lei", u"bani", false},
    {u"LEI", u"lei", u"bani", false},
    {u"EUR", u"eur", u"cen", true},
    {u"USD", u"usd", u"centi", false},
}};

const CurrencyWords *currencyWords(const QString &code)
{
    for (const CurrencyWords &c : Currencies) {
        if (code.compare(c.code, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QStringView groupName(int group, int tens, int units)
{
    // The singular covers 1 for thousands but 1 to 4 for millions and billions.
    const int lastSingular = group == 1 ? 1 : 4;
    const bool singular = tens != 1 && units >= 1 && units <= lastSingular;
    return singular ? GroupNames[group].singular : GroupNames[group].plural;
}

// The words of one three-digit block; `group` counts blocks from the right.
QString groupWords(int value, int group, bool unVariant)
{
    const int h = value / 100;
    const int t = value / 10 % 10;
    const int u = value % 10;
    QString text;
    text += Hundreds[h];
    if (t == 1) {
        text += Teens[u];
    } else {
        text += Tens[t];
        if (u != 0) {
            if (t != 0)
                text += u"si";
            text += (u == 1 && unVariant && group <= 1) ? QStringView(u"un") : Units[u];
        }
    }
    if (group > 0 && value != 0)
        text += groupName(group, t, u);
    // "unu mie" is said "una mie"; "douazecisiunumie" keeps its "unu".
    if (text == u"unumie")
        return QStringLiteral("unamie");
    return text;
}

// 0 gives an empty text.
QString numberWords(uint64_t n, bool unVariant)
{
    Q_ASSERT(n < WholeLimit);
    QString text;
    for (int group = 0; n != 0; ++group, n /= 1000)
        text.prepend(groupWords(static_cast<int>(n % 1000), group, unVariant));
    return text;
}

} // namespace

std::optional<QString> amountInWords(Money amount, const QString &code)
{
    const CurrencyWords *words = currencyWords(code);
    if (!words)
        return std::nullopt;

    // Rounding before the split lets 1.999 carry into the whole part.
    const int64_t cents = amount.rounded(2).units() / (Money::Scale / 100);
    const uint64_t magnitude = cents < 0 ? uint64_t(0) - uint64_t(cents) : uint64_t(cents);
    const uint64_t whole = magnitude / 100;
    const uint64_t hundredths = magnitude % 100;
    if (whole >= WholeLimit)
        return std::nullopt;

    QString text;
    if (whole != 0) {
        text += numberWords(whole, words->unVariant);
        text += words->unit;
    }
    if (hundredths != 0) {
        text += u"si";
        text += numberWords(hundredths, words->unVariant);
        text += words->hundredth;
    }
    return text;
}
