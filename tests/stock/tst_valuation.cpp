#include "stock/valuation.h"

#include <QTest>

#include <rapidcheck.h>

#include <cmath>

using namespace stock;

Q_DECLARE_METATYPE(stock::Method)

namespace {

const QDate March1(2026, 3, 1);

Money m(const QString &text)
{
    return *Money::parse(text);
}

QDateTime day(int n, QTime time = QTime(0, 0))
{
    return QDateTime(March1.addDays(n - 1), time, Qt::UTC);
}

// A lot received at 9:00 on March `n`; its value is price × quantity unless
// given, and the main currency is worth a fifth of the input currency.
Lot lot(qint64 id, int n, double quantity, const QString &price, const QString &value = {})
{
    Lot l;
    l.id = id;
    l.date = day(n, QTime(9, 0));
    l.received = quantity;
    l.unitPrice = m(price);
    l.value = value.isEmpty() ? l.unitPrice.times(quantity, 2) : m(value);
    l.unitPriceMM = l.unitPrice.mulDiv(5, 1, 2);
    l.valueMM = l.value.mulDiv(5, 1, 2);
    l.remaining = quantity;
    l.remainingValue = l.value;
    l.remainingValueMM = l.valueMM;
    return l;
}

// A sale dated March `n` (documents of sale carry no time).
Issue sale(qint64 id, int n, double quantity)
{
    return {id, day(n), quantity, 2, 2};
}

// "3@2;3@3/5": lots of 3 at 2 and of 3 at 3, received on March 1 and 5
// (by default on the day of their position).
std::vector<Lot> lots(const QString &written)
{
    std::vector<Lot> out;
    const QStringList parts = written.split(u';');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringList dayed = parts[i].split(u'/');
        const QStringList qp = dayed[0].split(u'@');
        const int n = dayed.size() > 1 ? dayed[1].toInt() : int(i) + 1;
        out.push_back(lot(i + 1, n, qp[0].toDouble(), qp[1]));
    }
    return out;
}

QString remainingOf(const std::vector<Lot> &lots)
{
    QStringList out;
    for (const Lot &l : lots)
        out << QString::number(l.remaining);
    return out.join(u';');
}

QString valuesOf(const std::vector<Lot> &lots)
{
    QStringList out;
    for (const Lot &l : lots)
        out << l.remainingValue.toString(2);
    return out.join(u';');
}

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const StockError &e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

// Lots and balances compared field by field, as text for readable failures.
QString stateOf(const std::vector<Lot> &lots)
{
    QStringList out;
    for (const Lot &l : lots) {
        out << QString::number(l.remaining, 'f', 4) + u'/' + l.remainingValue.toString() + u'/' +
                   l.remainingValueMM.toString();
    }
    return out.join(u' ');
}

QString exitText(const Exit &e)
{
    return e.value.toString() + u'/' + e.valueMM.toString() + u'|' +
           QString::number(e.after.quantity, 'f', 4) + u'/' + e.after.value.toString() + u'/' +
           e.after.valueMM.toString();
}

qint64 qunits(double q)
{
    return std::llround(q * 10000.0);
}

} // namespace

class TestValuation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExamples_data();
    void workedExamples();
    void lotTakenToZeroKeepsNoValue_data();
    void lotTakenToZeroKeepsNoValue();
    void shortageIsRefused_data();
    void shortageIsRefused();
    void missingLotsAndNegativeQuantities();
    void lotsAreTakenInDateOrder_data();
    void lotsAreTakenInDateOrder();
    void receiptsOfADayComeBeforeItsIssues();
    void replayWalksTheHistoryInDateOrder_data();
    void replayWalksTheHistoryInDateOrder();
    void historiesKeepTheirInvariants_data();
    void historiesKeepTheirInvariants();
};

void TestValuation::workedExamples_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("received");
    QTest::addColumn<double>("sold");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("exitValue");
    QTest::addColumn<double>("stockAfter");
    QTest::addColumn<QString>("valueAfter");

    // Two whole lots and 4 × the third lot's price.
    QTest::newRow("FIFO, lots of 3, 3 and 10, sale of 10")
        << Method::Fifo << "3@2;3@3;10@4" << 10.0 << "0;0;6"
        << "0.00;0.00;24.00"
        << "31.00" << 6.0 << "24.00";
    QTest::newRow("FIFO, sale of exactly the first lot")
        << Method::Fifo << "3@2;4@5" << 3.0 << "0;4"
        << "0.00;20.00"
        << "6.00" << 4.0 << "20.00";
    QTest::newRow("LIFO, the lot of 5 March is reduced")
        << Method::Lifo << "5@2/1;5@3/5" << 2.0 << "5;3"
        << "10.00;9.00"
        << "6.00" << 8.0 << "19.00";
    QTest::newRow("LIFO, the newest lot emptied, then the older")
        << Method::Lifo << "3@2;4@5" << 5.0 << "2;0"
        << "4.00;0.00"
        << "22.00" << 2.0 << "4.00";
    // The lots are lowered too: oldest first, and what stays is at the average.
    QTest::newRow("PMP, 10 at 1 and 10 at 2, sale of 5")
        << Method::Average << "10@1;10@2" << 5.0 << "5;10"
        << "7.50;15.00"
        << "7.50" << 15.0 << "22.50";
    QTest::newRow("PMP, an average of a third is rounded once")
        << Method::Average << "1@1;2@0" << 1.0 << "0;2"
        << "0.00;0.67"
        << "0.33" << 2.0 << "0.67";
}

void TestValuation::workedExamples()
{
    QFETCH(Method, method);
    QFETCH(QString, received);
    QFETCH(double, sold);
    QFETCH(QString, remaining);
    QFETCH(QString, values);
    QFETCH(QString, exitValue);
    QFETCH(double, stockAfter);
    QFETCH(QString, valueAfter);

    std::vector<Lot> stock = lots(received);
    const Exit exit = consume(stock, sale(100, 10, sold), method, QStringLiteral("Cuie"));
    QCOMPARE(remainingOf(stock), remaining);
    QCOMPARE(valuesOf(stock), values);
    QCOMPARE(exit.value.toString(2), exitValue);
    QCOMPARE(exit.after.quantity, stockAfter);
    QCOMPARE(exit.after.value.toString(2), valueAfter);
    double taken = 0;
    for (const Take &t : exit.takes)
        taken += t.quantity;
    QCOMPARE(taken, sold);
}

void TestValuation::lotTakenToZeroKeepsNoValue_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QList<double>>("sales");
    QTest::addColumn<QStringList>("exits");

    // A lot of 3 received for 10.00 (3.33 a unit): 3 × 3.33 would leave 0.01 behind.
    const std::pair<const char *, Method> methods[] = {
        {"FIFO", Method::Fifo}, {"LIFO", Method::Lifo}, {"PMP", Method::Average}};
    for (const auto &[name, method] : methods) {
        QTest::addRow("%s, all at once", name)
            << method << QList<double>{3} << QStringList{"10.00"};
        QTest::addRow("%s, in two sales", name)
            << method << QList<double>{1, 2} << QStringList{"3.33", "6.67"};
    }
}

void TestValuation::lotTakenToZeroKeepsNoValue()
{
    QFETCH(Method, method);
    QFETCH(QList<double>, sales);
    QFETCH(QStringList, exits);

    std::vector<Lot> stock{lot(1, 1, 3, QStringLiteral("3.33"), QStringLiteral("10.00"))};
    QStringList got;
    for (qsizetype i = 0; i < sales.size(); ++i)
        got << consume(stock, sale(10 + i, 2, sales[i]), method, QStringLiteral("Cuie"))
                   .value.toString(2);
    QCOMPARE(got, exits);
    QCOMPARE(stock[0].remaining, 0.0);
    QCOMPARE(stock[0].remainingValue, Money());
    QCOMPARE(stock[0].remainingValueMM, Money());
}

void TestValuation::shortageIsRefused_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<double>("sold");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("replayMessage");

    const QString short6 = QStringLiteral("Stoc insuficient pentru Cuie: disponibil 5, cerut 6");
    const QString short2 = QStringLiteral("Stoc insuficient pentru Cuie: disponibil 1, cerut 2");
    QTest::newRow("FIFO") << Method::Fifo << 6.0 << short6 << short2;
    QTest::newRow("LIFO") << Method::Lifo << 6.0 << short6 << short2;
    QTest::newRow("PMP") << Method::Average << 6.0 << short6 << short2;
    QTest::newRow("a fraction over")
        << Method::Fifo << 5.0001 << "Stoc insuficient pentru Cuie: disponibil 5, cerut 5,0001"
        << "Stoc insuficient pentru Cuie: disponibil 1, cerut 1,0001";
}

void TestValuation::shortageIsRefused()
{
    QFETCH(Method, method);
    QFETCH(double, sold);
    QFETCH(QString, message);
    QFETCH(QString, replayMessage);

    std::vector<Lot> stock = lots(QStringLiteral("3@2;2@2"));
    const QString before = stateOf(stock);
    QCOMPARE(messageOf([&] { consume(stock, sale(10, 5, sold), method, QStringLiteral("Cuie")); }),
             message);
    QCOMPARE(stateOf(stock), before);

    // A history that sells more than it received is refused by the replay too.
    const std::vector<Issue> issues{sale(10, 3, 4), sale(11, 4, sold - 4)};
    QCOMPARE(messageOf([&] { replay(stock, issues, method, QStringLiteral("Cuie")); }),
             replayMessage);
}

void TestValuation::missingLotsAndNegativeQuantities()
{
    const QString notFound =
        QStringLiteral("Nu gasesc produsul de intrare. Actualizarea stocului a esuat.");
    std::vector<Lot> none;
    QCOMPARE(messageOf([&] { consume(none, sale(1, 1, 1), Method::Fifo, QStringLiteral("Cuie")); }),
             notFound);
    // A sale dated before the only lot finds nothing in stock, in a replay as well.
    std::vector<Lot> later = lots(QStringLiteral("5@2/3"));
    QCOMPARE(
        messageOf([&] { consume(later, sale(2, 2, 1), Method::Lifo, QStringLiteral("Cuie")); }),
        notFound);
    QCOMPARE(
        messageOf([&] { replay(later, {sale(2, 2, 1)}, Method::Average, QStringLiteral("Cuie")); }),
        notFound);
    QCOMPARE(
        messageOf([&] { consume(later, sale(2, 4, -1.5), Method::Fifo, QStringLiteral("Cuie")); }),
        QStringLiteral("Cantitate negativa la iesirea din stoc pentru Cuie: -1,5"));
}

void TestValuation::lotsAreTakenInDateOrder_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("exitValue");

    QTest::newRow("FIFO, the lot of 1 March") << Method::Fifo << "5;3;5"
                                              << "2.00";
    QTest::newRow("LIFO, the lot of 3 March") << Method::Lifo << "3;5;5"
                                              << "18.00";
}

void TestValuation::lotsAreTakenInDateOrder()
{
    QFETCH(Method, method);
    QFETCH(QString, remaining);
    QFETCH(QString, exitValue);

    // Listed neither by date nor by id: the lot of 3 March has the smallest id.
    std::vector<Lot> stock{lot(1, 3, 5, QStringLiteral("9")), lot(7, 1, 5, QStringLiteral("1")),
                           lot(4, 2, 5, QStringLiteral("4"))};
    const Exit exit = consume(stock, sale(10, 5, 2), method, QStringLiteral("Cuie"));
    QCOMPARE(remainingOf(stock), remaining);
    QCOMPARE(exit.value.toString(2), exitValue);
}

void TestValuation::receiptsOfADayComeBeforeItsIssues()
{
    // Goods received at 15:00 can be sold on a sale dated that day (00:00).
    std::vector<Lot> stock{lot(9, 2, 5, QStringLiteral("2"))};
    stock[0].date = day(2, QTime(15, 0));
    const Exit exit = consume(stock, sale(3, 2, 1), Method::Fifo, QStringLiteral("Cuie"));
    QCOMPARE(exit.value.toString(2), QStringLiteral("2.00"));

    const std::vector<Movement> order =
        stockOrder(stock, {sale(3, 2, 1), sale(1, 1, 1), sale(8, 3, 1)});
    QStringList walk;
    for (const Movement &mv : order)
        walk << (mv.receipt ? QStringLiteral("lot") : QStringLiteral("sale%1").arg(mv.index));
    QCOMPARE(walk.join(u' '), QStringLiteral("sale1 lot sale0 sale2"));
}

void TestValuation::replayWalksTheHistoryInDateOrder_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QStringList>("exits");
    QTest::addColumn<QString>("remaining");

    // The sale of 2 March can only take from the lot of 1 March, whatever the method.
    QTest::newRow("FIFO") << Method::Fifo << QStringList{"4.00", "3.00"} << "3;10";
    QTest::newRow("LIFO") << Method::Lifo << QStringList{"4.00", "6.00"} << "6;7";
    QTest::newRow("PMP") << Method::Average << QStringList{"4.00", "4.88"} << "3;10";
}

void TestValuation::replayWalksTheHistoryInDateOrder()
{
    QFETCH(Method, method);
    QFETCH(QStringList, exits);
    QFETCH(QString, remaining);

    std::vector<Lot> stock{lot(1, 1, 10, QStringLiteral("1")), lot(2, 3, 10, QStringLiteral("2"))};
    const std::vector<Issue> issues{sale(4, 4, 3), sale(3, 2, 4)};
    // Whatever state the lots were left in, the replay starts them full.
    stock[0].remaining = 0;
    stock[1].remainingValue = Money::fromInt(99);
    const Replay first = replay(stock, issues, method, QStringLiteral("Cuie"));
    QCOMPARE((QStringList{first.issues[1].value.toString(2), first.issues[0].value.toString(2)}),
             exits);
    QCOMPARE(remainingOf(stock), remaining);
    QCOMPARE(first.lots[0].quantity, 10.0);
    QCOMPARE(first.issues[1].after.quantity, 6.0);
    QCOMPARE(first.lots[1].quantity, 16.0);
    QCOMPARE(first.issues[0].after.quantity, 13.0);

    const QString state = stateOf(stock);
    const Replay second = replay(stock, issues, method, QStringLiteral("Cuie"));
    QCOMPARE(stateOf(stock), state);
    for (std::size_t i = 0; i < issues.size(); ++i)
        QCOMPARE(exitText(second.issues[i]), exitText(first.issues[i]));
}

void TestValuation::historiesKeepTheirInvariants_data()
{
    QTest::addColumn<Method>("method");
    QTest::newRow("FIFO") << Method::Fifo;
    QTest::newRow("LIFO") << Method::Lifo;
    QTest::newRow("PMP") << Method::Average;
}

// Random histories of receipts and sales (one movement a day, never selling
// more than is in stock), consumed one sale at a time as validation does.
void TestValuation::historiesKeepTheirInvariants()
{
    QFETCH(Method, method);

    const bool ok = rc::check("stock is conserved, ordered and replayable", [method] {
        const int decimals = *rc::gen::inRange(0, 5);
        const int decimalsMM = *rc::gen::inRange(0, 5);
        const qint64 rate =
            *rc::gen::inRange<qint64>(1, 80000); // main currency per unit, in 1/10000
        const int steps = *rc::gen::inRange(1, 40);
        std::vector<Lot> stock;
        std::vector<Issue> issues;
        std::vector<Exit> exits;
        std::vector<Balance> lotBalances;
        qint64 held = 0;
        for (int i = 0; i < steps; ++i) {
            const QDateTime date = day(i + 1);
            if (held == 0 || *rc::gen::inRange(0, 2) == 0) {
                const qint64 q = *rc::gen::inRange<qint64>(1, 200000);
                Lot l;
                l.id = i + 1;
                l.date = date;
                l.received = double(q) / 10000;
                l.unitPrice =
                    Money::fromUnits(*rc::gen::inRange<qint64>(0, 2'000'000)).rounded(decimals);
                // Now and then a total typed apart from price × quantity.
                const qint64 unit[] = {10000, 1000, 100, 10, 1}; // of the currency, in 1/10000
                const Money typed =
                    Money::fromUnits(*rc::gen::inRange<qint64>(-3, 4) * unit[decimals]);
                l.value = std::max(Money(), l.unitPrice.mulDiv(q, 10000, decimals) + typed);
                l.unitPriceMM = l.unitPrice.mulDiv(rate, 10000, decimalsMM);
                l.valueMM = l.unitPriceMM.mulDiv(q, 10000, decimalsMM);
                l.decimals = decimals;
                l.decimalsMM = decimalsMM;
                l.remaining = l.received;
                l.remainingValue = l.value;
                l.remainingValueMM = l.valueMM;
                stock.push_back(l);
                held += q;
                Balance b{double(held) / 10000, {}, {}};
                for (const Lot &s : stock) {
                    b.value += s.remainingValue;
                    b.valueMM += s.remainingValueMM;
                }
                lotBalances.push_back(b);
                continue;
            }
            // Whole lots and the whole stock are sold often enough to matter.
            qint64 q = *rc::gen::inRange<qint64>(1, held + 1);
            const int shape = *rc::gen::inRange(0, 4);
            if (shape == 0)
                q = held;
            if (shape == 1) {
                const Lot &l = stock[*rc::gen::inRange<std::size_t>(0, stock.size())];
                q = qunits(l.remaining) > 0 ? qunits(l.remaining) : q;
            }
            const Issue issue{i + 1, date, double(q) / 10000, decimals, decimalsMM};
            const Exit exit = consume(stock, issue, method, QStringLiteral("P"));
            held -= q;
            issues.push_back(issue);
            exits.push_back(exit);

            // Conservation, and what each lot holds.
            qint64 quantityLeft = 0;
            Money valueLeft;
            Money valueLeftMM;
            for (const Lot &l : stock) {
                const qint64 r = qunits(l.remaining);
                RC_ASSERT(r >= 0);
                RC_ASSERT(r <= qunits(l.received));
                RC_ASSERT(l.remainingValue.units() >= 0);
                RC_ASSERT(l.remainingValueMM.units() >= 0);
                if (method != Method::Average) {
                    RC_ASSERT(l.remainingValue.units() <= l.value.units());
                    RC_ASSERT(l.remainingValueMM.units() <= l.valueMM.units());
                }
                if (r == 0) {
                    RC_ASSERT(l.remainingValue.isZero());
                    RC_ASSERT(l.remainingValueMM.isZero());
                }
                quantityLeft += r;
                valueLeft += l.remainingValue;
                valueLeftMM += l.remainingValueMM;
            }
            Money received;
            Money receivedMM;
            qint64 receivedQuantity = 0;
            for (const Lot &l : stock) {
                received += l.value;
                receivedMM += l.valueMM;
                receivedQuantity += qunits(l.received);
            }
            qint64 issued = 0;
            Money issuedValue;
            Money issuedValueMM;
            for (std::size_t k = 0; k < issues.size(); ++k) {
                issued += qunits(issues[k].quantity);
                issuedValue += exits[k].value;
                issuedValueMM += exits[k].valueMM;
            }
            RC_ASSERT(quantityLeft == held);
            RC_ASSERT(receivedQuantity - issued == quantityLeft);
            RC_ASSERT((received - issuedValue).units() == valueLeft.units());
            RC_ASSERT((receivedMM - issuedValueMM).units() == valueLeftMM.units());
            RC_ASSERT(qunits(exit.after.quantity) == quantityLeft);
            RC_ASSERT(exit.after.value.units() == valueLeft.units());
            RC_ASSERT(exit.after.valueMM.units() == valueLeftMM.units());

            // Which lots gave: FIFO and PMP the oldest, LIFO the newest.
            qint64 given = 0;
            for (const Take &t : exit.takes) {
                given += qunits(t.quantity);
                RC_ASSERT(qunits(t.quantity) > 0);
            }
            RC_ASSERT(given == q);
            if (method == Method::Lifo) {
                std::size_t oldest = stock.size();
                for (const Take &t : exit.takes)
                    oldest = std::min(oldest, t.lot);
                for (std::size_t k = oldest + 1; k < stock.size(); ++k)
                    RC_ASSERT(qunits(stock[k].remaining) == 0);
            } else {
                bool seenStock = false;
                for (const Lot &l : stock) {
                    if (seenStock)
                        RC_ASSERT(qunits(l.remaining) == qunits(l.received));
                    seenStock = seenStock || qunits(l.remaining) > 0;
                }
            }
        }

        // Replaying right after consuming changes nothing, and again.
        const QString consumed = stateOf(stock);
        for (int round = 0; round < 2; ++round) {
            const Replay r = replay(stock, issues, method, QStringLiteral("P"));
            RC_ASSERT(stateOf(stock) == consumed);
            for (std::size_t k = 0; k < issues.size(); ++k)
                RC_ASSERT(exitText(r.issues[k]) == exitText(exits[k]));
            for (std::size_t k = 0; k < stock.size(); ++k) {
                RC_ASSERT(qunits(r.lots[k].quantity) == qunits(lotBalances[k].quantity));
                RC_ASSERT(r.lots[k].value.units() == lotBalances[k].value.units());
                RC_ASSERT(r.lots[k].valueMM.units() == lotBalances[k].valueMM.units());
            }
        }
    });
    QVERIFY(ok);
}

QTEST_GUILESS_MAIN(TestValuation)
#include "tst_valuation.moc"
