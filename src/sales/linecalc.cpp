#include "linecalc.h"

#include "core/rounding.h"

namespace linecalc {
namespace {

constexpr int64_t PercentScale = 100 * Money::Scale;

Money percentOf(Money amount, Money rate, int decimals)
{
    return amount.mulDiv(rate.units(), PercentScale, decimals);
}

} // namespace

SaleAmounts priceListLine(Money price, double quantity, int discount, Money rate, Money vatRate, int productDecimals,
                          int mainDecimals)
{
    SaleAmounts a;
    const int pd = productDecimals;
    const int md = mainDecimals;
    // P × r × (1 + d/100), on exact integers.
    a.puOutMM = price.mulDiv(rate.units() * (100 + discount), PercentScale, pd);
    a.puOut = price.mulDiv(100 + discount, 100, pd);
    a.valOut = a.puOut.times(quantity, pd);
    a.valTvaOut = percentOf(a.valOut, vatRate, pd);
    a.totalOut = (a.valOut + a.valTvaOut).rounded(pd);
    a.valOutMM = a.puOutMM.times(quantity, md);
    a.valTvaOutMM = percentOf(a.valOutMM, vatRate, md);
    a.totalOutMM = (a.valOutMM + a.valTvaOutMM).rounded(md);
    return a;
}

SaleAmounts generalLine(const Group &group, Money percent, Money vatRate, int mainDecimals)
{
    SaleAmounts a;
    const int pd = group.decimals;
    const int md = mainDecimals;
    a.valOut = group.value.mulDiv(percent.units(), PercentScale, pd);
    a.valTvaOut = percentOf(a.valOut, vatRate, pd);
    a.totalOut = (a.valOut + a.valTvaOut).rounded(pd);
    a.puOutMM = -group.valueMM;
    a.valOutMM = group.valueMM.mulDiv(percent.units(), PercentScale, md);
    a.valTvaOutMM = percentOf(a.valOutMM, vatRate, md);
    a.totalOutMM = (a.valOutMM + a.valTvaOutMM).rounded(md);
    return a;
}

Totals documentTotals(const QList<TotalsLine> &lines)
{
    Totals t;
    for (const TotalsLine &l : lines) {
        const int n = l.nrzecOut;
        t.decimals = n;
        t.value = (t.value + l.valOut).rounded(n);
        t.vat = (t.vat + l.valTvaOut).rounded(n);
        t.total = (t.total + l.totalOut).rounded(n);
        if (l.um.contains(u'%'))
            continue;
        t.quantity = roundTo(3, t.quantity + l.cnt);
        // A line priced down by 100% has no value before the discount to recover.
        const Money factor = Money::fromDouble(100 + l.adaos);
        if (factor.isZero())
            continue;
        t.valueBeforeDiscount = (t.valueBeforeDiscount + l.valOut.mulDiv(100 * Money::Scale, factor.units(), n)).rounded(n);
        t.totalBeforeDiscount = (t.totalBeforeDiscount + l.totalOut.mulDiv(100 * Money::Scale, factor.units(), n)).rounded(n);
    }
    return t;
}

std::optional<Money> parseAmount(QString text)
{
    text = text.trimmed();
    text.replace(u',', u'.');
    return Money::parse(text);
}

} // namespace linecalc
