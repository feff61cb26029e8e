#include "valuation.h"

#include "core/rounding.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace stock {
namespace {

// Quantities are kept to four decimals; the arithmetic on them is done on
// whole ten-thousandths so that 0.1 + 0.2 leaves exactly 0.3 in stock.
constexpr qint64 QuantityScale = 10000;

qint64 units(double quantity)
{
    return std::llround(quantity * double(QuantityScale));
}

double quantity(qint64 units)
{
    return double(units) / double(QuantityScale);
}

// The value of `count` units at `price`, never more than what the lot still holds.
Money partOf(Money price, qint64 count, int decimals, Money held)
{
    const Money part = std::min(price.mulDiv(count, QuantityScale, decimals), held);
    return part < Money() ? Money() : part;
}

void empty(Lot &lot)
{
    lot.remaining = 0;
    lot.remainingValue = Money();
    lot.remainingValueMM = Money();
}

// The stock of one product as a walk goes: the lots received so far, the
// totals of what they still hold, and the lots an issue may take from.
class Ledger
{
public:
    Ledger(std::vector<Lot> &lots, Method method, const QString &name)
        : m_lots(lots), m_method(method), m_name(name)
    {}

    Balance receive(std::size_t index)
    {
        const Lot &lot = m_lots[index];
        const qint64 count = units(lot.remaining);
        m_received.push_back(index);
        m_quantity += count;
        m_value += lot.remainingValue;
        m_valueMM += lot.remainingValueMM;
        if (m_method == Method::Lifo && count > 0)
            m_open.push_back(index);
        return balance();
    }

    Exit issue(const Issue &issue)
    {
        const qint64 wanted = units(issue.quantity);
        if (wanted < 0)
            throw StockError::negativeQuantity(m_name, issue.quantity);
        if (m_received.empty())
            throw StockError::notFound();
        if (wanted > m_quantity)
            throw StockError::shortage(m_name, quantity(m_quantity), issue.quantity);
        switch (m_method) {
        case Method::Fifo:
            return oldestFirst(issue, wanted);
        case Method::Lifo:
            return newestFirst(issue, wanted);
        case Method::Average:
            break;
        }
        return average(issue, wanted);
    }

    // Under the weighted average the lots are valued at the average of the
    // last issue; doing it once at the end gives what doing it after every
    // issue would, since each spread depends only on the totals.
    void finish()
    {
        if (m_spreadEnd == 0)
            return;
        qint64 total = 0;
        for (std::size_t pos = 0; pos < m_spreadEnd; ++pos)
            total += std::max<qint64>(0, units(m_lots[m_received[pos]].remaining));
        qint64 cumulative = 0;
        Money given;
        Money givenMM;
        for (std::size_t pos = 0; pos < m_spreadEnd; ++pos) {
            Lot &lot = m_lots[m_received[pos]];
            const qint64 count = units(lot.remaining);
            if (count <= 0) {
                if (count == 0)
                    empty(lot);
                continue;
            }
            // Shares by cumulative quantity: they add up to the total exactly.
            cumulative += count;
            const Money upTo = m_spreadValue.mulDiv(cumulative, total, m_spreadDecimals);
            const Money upToMM = m_spreadValueMM.mulDiv(cumulative, total, m_spreadDecimalsMM);
            lot.remainingValue = upTo - given;
            lot.remainingValueMM = upToMM - givenMM;
            given = upTo;
            givenMM = upToMM;
        }
    }

private:
    Balance balance() const { return {quantity(m_quantity), m_value, m_valueMM}; }

    // Lowers a lot by `count` units and their value; returns what it gave.
    Take take(std::size_t index, qint64 count, Money value, Money valueMM)
    {
        Lot &lot = m_lots[index];
        const qint64 left = units(lot.remaining) - count;
        if (left == 0) {
            empty(lot);
        } else {
            lot.remaining = quantity(left);
            lot.remainingValue -= value;
            lot.remainingValueMM -= valueMM;
        }
        m_value -= value;
        m_valueMM -= valueMM;
        return {index, quantity(count)};
    }

    Exit oldestFirst(const Issue &issue, qint64 wanted)
    {
        const int d = issue.decimals;
        const int dMM = issue.decimalsMM;
        const Money totalValue = m_value;
        const Money totalValueMM = m_valueMM;
        Exit exit;
        Money taken;
        Money takenMM;
        qint64 rest = wanted;
        for (std::size_t pos = m_head; rest > 0 && pos < m_received.size(); ++pos) {
            const std::size_t index = m_received[pos];
            const Lot &lot = m_lots[index];
            const qint64 has = units(lot.remaining);
            if (has > rest) {
                const Money part = partOf(lot.unitPrice, rest, d, lot.remainingValue);
                const Money partMM = partOf(lot.unitPriceMM, rest, dMM, lot.remainingValueMM);
                taken += part;
                takenMM += partMM;
                exit.takes.push_back(take(index, rest, part, partMM));
                rest = 0;
            } else {
                // A lot taken to the last unit gives all of its value, so none
                // is left behind by rounding.
                if (has > 0) {
                    taken = roundTo(d, taken + lot.remainingValue);
                    takenMM = roundTo(dMM, takenMM + lot.remainingValueMM);
                    exit.takes.push_back(
                        take(index, has, lot.remainingValue, lot.remainingValueMM));
                    rest -= has;
                }
                if (pos == m_head)
                    ++m_head;
            }
        }
        m_quantity -= wanted;
        exit.value = roundTo(d, taken);
        exit.valueMM = roundTo(dMM, takenMM);
        exit.after = {quantity(m_quantity), roundTo(d, totalValue - taken),
                      roundTo(dMM, totalValueMM - takenMM)};
        return exit;
    }

    // LIFO rounds with each lot's own decimals and leaves the sums as they add up.
    Exit newestFirst(const Issue &, qint64 wanted)
    {
        const Money totalValue = m_value;
        const Money totalValueMM = m_valueMM;
        Exit exit;
        Money taken;
        Money takenMM;
        qint64 rest = wanted;
        while (rest > 0 && !m_open.empty()) {
            const std::size_t index = m_open.back();
            const Lot &lot = m_lots[index];
            const qint64 has = units(lot.remaining);
            if (has > rest) {
                const Money part = partOf(lot.unitPrice, rest, lot.decimals, lot.remainingValue);
                const Money partMM =
                    partOf(lot.unitPriceMM, rest, lot.decimalsMM, lot.remainingValueMM);
                taken += part;
                takenMM += partMM;
                exit.takes.push_back(take(index, rest, part, partMM));
                rest = 0;
            } else {
                taken += roundTo(lot.decimals, lot.remainingValue);
                takenMM += roundTo(lot.decimalsMM, lot.remainingValueMM);
                exit.takes.push_back(take(index, has, lot.remainingValue, lot.remainingValueMM));
                m_open.pop_back();
                rest -= has;
            }
        }
        m_quantity -= wanted;
        exit.value = taken;
        exit.valueMM = takenMM;
        exit.after = {quantity(m_quantity), totalValue - taken, totalValueMM - takenMM};
        return exit;
    }

    // The quantity leaves the oldest lots first; its value is the average
    // cost of the stock, and what stays is valued at that average too.
    Exit average(const Issue &issue, qint64 wanted)
    {
        const int d = issue.decimals;
        const int dMM = issue.decimalsMM;
        const Money value = roundTo(d, m_value);
        const Money valueMM = roundTo(dMM, m_valueMM);
        Exit exit;
        if (m_quantity > 0) {
            exit.value = value.mulDiv(wanted, m_quantity, d);
            exit.valueMM = valueMM.mulDiv(wanted, m_quantity, dMM);
        }
        qint64 rest = wanted;
        for (std::size_t pos = m_head; rest > 0 && pos < m_received.size(); ++pos) {
            const std::size_t index = m_received[pos];
            Lot &lot = m_lots[index];
            const qint64 has = units(lot.remaining);
            const qint64 count = std::min(has, rest);
            if (count > 0) {
                lot.remaining = quantity(has - count);
                exit.takes.push_back({index, quantity(count)});
                rest -= count;
            }
            if (has == count && pos == m_head)
                ++m_head;
        }
        m_quantity -= wanted;
        m_value = value - exit.value;
        m_valueMM = valueMM - exit.valueMM;
        exit.after = balance();
        m_spreadEnd = m_received.size();
        m_spreadValue = m_value;
        m_spreadValueMM = m_valueMM;
        m_spreadDecimals = d;
        m_spreadDecimalsMM = dMM;
        return exit;
    }

    std::vector<Lot> &m_lots;
    Method m_method;
    const QString &m_name;
    std::vector<std::size_t> m_received; // lot indexes in stock order
    std::size_t m_head = 0;              // FIFO: every lot before it is empty
    std::vector<std::size_t> m_open;     // LIFO: lots with stock, newest last
    qint64 m_quantity = 0;               // what the received lots still hold
    Money m_value;
    Money m_valueMM;
    // Weighted average: the lots received before the last issue share its remaining value.
    std::size_t m_spreadEnd = 0;
    Money m_spreadValue;
    Money m_spreadValueMM;
    int m_spreadDecimals = Money::Decimals;
    int m_spreadDecimalsMM = Money::Decimals;
};

QString quantityText(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', u',');
}

using OrderKey = std::tuple<qint64, int, int, qint64>;

OrderKey orderKey(const QDateTime &date, bool receipt, qint64 id)
{
    return {date.date().toJulianDay(), receipt ? 0 : 1, date.time().msecsSinceStartOfDay(), id};
}

} // namespace

StockError StockError::notFound()
{
    return StockError(
        QStringLiteral("Nu gasesc produsul de intrare. Actualizarea stocului a esuat."));
}

StockError StockError::noHistory()
{
    return StockError(QStringLiteral("Produsele de pe factura nu au istoric de actualizat."));
}

StockError StockError::shortage(const QString &name, double available, double requested)
{
    return StockError(QStringLiteral("Stoc insuficient pentru ") + name +
                      QStringLiteral(": disponibil ") + quantityText(available) +
                      QStringLiteral(", cerut ") + quantityText(requested));
}

StockError StockError::negativeQuantity(const QString &name, double requested)
{
    return StockError(QStringLiteral("Cantitate negativa la iesirea din stoc pentru ") + name +
                      QStringLiteral(": ") + quantityText(requested));
}

std::vector<Movement> stockOrder(const std::vector<Lot> &lots, const std::vector<Issue> &issues)
{
    std::vector<std::pair<OrderKey, Movement>> keyed;
    keyed.reserve(lots.size() + issues.size());
    for (std::size_t i = 0; i < lots.size(); ++i)
        keyed.push_back({orderKey(lots[i].date, true, lots[i].id), {true, i}});
    for (std::size_t i = 0; i < issues.size(); ++i)
        keyed.push_back({orderKey(issues[i].date, false, issues[i].id), {false, i}});
    std::sort(keyed.begin(), keyed.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Movement> order;
    order.reserve(keyed.size());
    for (const auto &k : keyed)
        order.push_back(k.second);
    return order;
}

Exit consume(std::vector<Lot> &lots, const Issue &issue, Method method, const QString &name)
{
    Ledger ledger(lots, method, name);
    Exit exit;
    for (const Movement &m : stockOrder(lots, {issue})) {
        if (!m.receipt) {
            exit = ledger.issue(issue);
            break; // the lots after the issue were not in stock yet
        }
        ledger.receive(m.index);
    }
    ledger.finish();
    return exit;
}

Replay replay(std::vector<Lot> &lots, const std::vector<Issue> &issues, Method method,
              const QString &name)
{
    for (Lot &lot : lots) {
        lot.remaining = quantity(units(lot.received));
        lot.remainingValue = lot.value;
        lot.remainingValueMM = lot.valueMM;
    }
    Replay result;
    result.lots.resize(lots.size());
    result.issues.resize(issues.size());
    Ledger ledger(lots, method, name);
    for (const Movement &m : stockOrder(lots, issues)) {
        if (m.receipt)
            result.lots[m.index] = ledger.receive(m.index);
        else
            result.issues[m.index] = ledger.issue(issues[m.index]);
    }
    ledger.finish();
    return result;
}

} // namespace stock
