#pragma once

#include "core/money.h"

#include <QList>
#include <QString>

// The amounts of document lines: every one rounded once, halves away from
// zero, to the decimals of its currency.
namespace linecalc {

struct SaleAmounts
{
    Money puOut, valOut, valTvaOut, totalOut;         // in the line's currency
    Money puOutMM, valOutMM, valTvaOutMM, totalOutMM; // in the main currency
};

// A line from the price list: `price` in the product's currency, `rate`
// from that currency to the main one, `discount` in percent (negative) or
// a mark-up (positive), `vatRate` in percent.
SaleAmounts priceListLine(Money price, double quantity, int discount, Money rate, Money vatRate, int productDecimals,
                          int mainDecimals);

// The lines one general discount, mark-up or fee line applies to: those of
// one currency and one VAT rate.
struct Group
{
    QString currency;
    Money vatRate;
    int decimals = 2;
    Money value;   // sum of their values
    Money valueMM; // the same in the main currency
};
// The general line of `percent` on one group, with `vatRate` applied.
SaleAmounts generalLine(const Group &group, Money percent, Money vatRate, int mainDecimals);

struct TotalsLine
{
    Money valOut, valTvaOut, totalOut;
    double cnt = 0;
    QString um;
    double adaos = 0;
    int nrzecOut = 2;
};

struct Totals
{
    Money value, vat, total;
    double quantity = 0;
    Money valueBeforeDiscount, totalBeforeDiscount;
    int decimals = 2; // those of the last line, as the sums were rounded
};

// Sums of a document's lines; quantities and the amounts before discount
// leave the "%" lines out.
Totals documentTotals(const QList<TotalsLine> &lines);

// A number typed by the user, with "," or "." as the decimal mark.
std::optional<Money> parseAmount(QString text);

} // namespace linecalc
