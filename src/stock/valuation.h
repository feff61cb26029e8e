#pragma once

#include "core/money.h"
#include "db/dberror.h"

#include <QDateTime>
#include <QString>

#include <cstddef>
#include <vector>

// Stock valuation over plain lots and issues, without the database: the
// consumption of one issue and the replay of a product's whole history.
//
// Quantities are doubles kept to four decimals; values are exact Money.
// Movements are walked in stock order: by the day of their document, the
// receipts of a day before its issues (a sale dated today may use goods
// received today), then by document time and line id.
namespace stock {

// The company's valuation method (Clienti.tipstoc).
enum class Method
{
    Fifo = 0,
    Lifo = 1,
    Average = 2
};

// A received stock line.
struct Lot
{
    qint64 id = 0;
    QDateTime date;         // its document's date
    double received = 0;    // Cnt
    Money value;            // Valoare, in the input currency
    Money valueMM;          // ValInMM, in the main currency
    Money unitPrice;        // PUnIn
    Money unitPriceMM;      // PUInMM
    int decimals = 2;       // nrzecIN
    int decimalsMM = 2;     // nrzecMM
    double remaining = 0;   // Stoc
    Money remainingValue;   // Stoc_Valoric
    Money remainingValueMM; // Stoc_ValoricMM
};

// A line that takes goods out of stock.
struct Issue
{
    qint64 id = 0;
    QDateTime date;      // its document's date
    double quantity = 0; // Cnt
    int decimals = 2;    // nrzecIN
    int decimalsMM = 2;  // nrzecMM
};

// Stock of the product after a line: Stoc_Istoric, Stoc_Valoric_Istoric(MM).
struct Balance
{
    double quantity = 0;
    Money value;
    Money valueMM;
};

// What one lot gave to an issue (`lot` indexes the lots passed in).
struct Take
{
    std::size_t lot = 0;
    double quantity = 0;
};

struct Exit
{
    Money value;   // ValoareMagazieIesire: the cost of the goods issued
    Money valueMM; // ValoareMagazieIesireMM
    Balance after;
    std::vector<Take> takes; // in the order the lots were emptied
};

// One step of the walk: lots[index] received, or issues[index] issued.
struct Movement
{
    bool receipt = true;
    std::size_t index = 0;
};

struct Replay
{
    std::vector<Balance> lots; // the balance after each lot, by lot index
    std::vector<Exit> issues;  // by issue index
};

// A refusal the user has to see; the caller rolls its transaction back.
class StockError : public ActionRefused
{
public:
    using ActionRefused::ActionRefused;

    static StockError notFound();
    static StockError noHistory();
    static StockError shortage(const QString &name, double available, double requested);
    static StockError negativeQuantity(const QString &name, double requested);
};

// The lots and issues in stock order.
std::vector<Movement> stockOrder(const std::vector<Lot> &lots, const std::vector<Issue> &issues);

// Takes `issue` out of the lots that precede it in stock order, as they stand:
// FIFO empties the oldest lots first, LIFO the newest, and the weighted average
// takes the quantity oldest first and values it, and what stays, at the average.
// Lowers the lots and returns the exit value and the balance after the issue.
// Throws StockError when no lot precedes the issue or their stock is short.
Exit consume(std::vector<Lot> &lots, const Issue &issue, Method method, const QString &name);

// Resets every lot to what it received and takes every issue out again in
// stock order; leaves the lots as the history ends. Throws StockError as
// consume does, for the first issue that cannot be covered.
Replay replay(std::vector<Lot> &lots, const std::vector<Issue> &issues, Method method,
              const QString &name);

} // namespace stock
