#pragma once

#include "core/money.h"

#include <QString>

#include <functional>
#include <optional>

class Tdm;

// Turns an unvalidated document into a validated one: the date-order check,
// the number, the exchange rate, every line recomputed in the document's
// currency, stock issued for the lines that come from a warehouse, and the
// Validata flag — all in one transaction: it commits whole or changes nothing.
class DocumentValidation
{
public:
    // The day's rate of a currency against the main currency.
    using RateSource = std::function<std::optional<Money>(const QString &currency)>;
    // Issues stock for one line of the document being validated.
    using StockIssuer = std::function<void(qint64 lineId, const QString &name, double quantity, int decimalsIn,
                                           int decimalsMM, qint64 workPointId)>;

    struct Options
    {
        bool silent = false;         // no questions, no messages (bulk invoicing)
        bool automaticNumber = true; // "Aloca nr automat factura "
        bool fromPeriodList = false; // only the closing message differs
    };

    enum class Outcome { Validated, Stopped, Failed };

    DocumentValidation(Tdm &dm, RateSource rates, StockIssuer stock);

    Outcome validate(qint64 documentId, const Options &options);

    // The number given by the last successful run.
    qint64 number() const { return m_number; }
    // The error of the last failed run (also shown unless silent).
    const QString &error() const { return m_error; }

private:
    // The rate of one unit of `currency` in the main currency: fetched, then
    // confirmed by the user (taken as fetched when silent).
    std::optional<Money> askRate(const QString &currency, bool silent);

    Tdm &m_dm;
    RateSource m_rates;
    StockIssuer m_stock;
    qint64 m_number = 0;
    QString m_error;
};
