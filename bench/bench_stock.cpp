// Replaying the stock of one product: the pure engine, and through the
// database (reading the product's lines, writing back what changed). Each
// replay through the database has a floor on the same shop: the same rows
// read with a bare query on the same connection and, when every line is
// stale, the same rows written back with bare prepared statements in one
// transaction. Consuming one sale at the end of a long history is measured
// too, with and without an index on (Denumire, Stoc).
#include "db/connection.h"
#include "db/database.h"
#include "db/transaction.h"
#include "floor.h"
#include "stock/stockstore.h"
#include "stock/valuation.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

const QString Product = QStringLiteral("Produs masurat");

// A history of `count` movements of one product, receipts and sales mixed,
// never selling more than is in stock; one movement a document, a few a day.
// Goods are received when the stock runs low, so a handful of lots are open
// at any time, as in a shop.
struct History
{
    std::vector<stock::Lot> lots;
    std::vector<stock::Issue> issues;

    explicit History(int count)
    {
        std::mt19937 random(20261211);
        std::uniform_int_distribution<int> receiptQuantity(1, 400);
        std::uniform_int_distribution<int> price(50, 5000);
        qint64 held = 0;
        const QDateTime start(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < count; ++i) {
            const QDateTime date = start.addSecs(qint64(i) * 1800);
            if (held < 600) {
                stock::Lot lot;
                lot.id = i + 1;
                lot.date = date;
                lot.received = receiptQuantity(random) / 4.0;
                lot.unitPrice = Money::fromUnits(price(random) * 100);
                lot.value = lot.unitPrice.times(lot.received, 2);
                lot.unitPriceMM = lot.unitPrice.mulDiv(49, 10, 2);
                lot.valueMM = lot.unitPriceMM.times(lot.received, 2);
                lot.remaining = lot.received;
                lot.remainingValue = lot.value;
                lot.remainingValueMM = lot.valueMM;
                held += qint64(lot.received * 4);
                lots.push_back(lot);
            } else {
                const qint64 quarters = 1 + qint64(random() % std::min<qint64>(held, 300));
                issues.push_back({i + 1, date, quarters / 4.0, 2, 2});
                held -= quarters;
            }
        }
    }
};

// The same history in a real database, with as many lines of other products.
struct Shop
{
    QTemporaryDir dir;
    Connection connection;
    qint64 workPoint = 0;
    qint64 pendingSale = 0;

    Shop(int count, stock::Method method)
    {
        database::openOrCreate(connection, dir.filePath(QStringLiteral("tarabix.db")));
        workPoint = connection.scalar(QStringLiteral("select min(id) from SeriiActe")).toLongLong();
        const History history(count);
        Transaction t(connection);
        QSqlQuery document(connection.database());
        document.prepare(
            QStringLiteral("insert into Facturi (Data, InOut, eNIR, Validata, id_punctlucru) "
                           "values (?, ?, ?, ?, ?)"));
        QSqlQuery line(connection.database());
        line.prepare(
            QStringLiteral("insert into ProdCumparate (id_fact, id_magazie, adinStoc, Denumire, "
                           "Cnt, PUnIn, Valoare, PUInMM, "
                           "ValInMM, nrzecIN, nrzecMM, Stoc, Stoc_Valoric, Stoc_ValoricMM) "
                           "values (?, 1, 1, ?, ?, ?, ?, ?, ?, 2, 2, ?, ?, ?)"));
        auto addDocument = [&](const QDateTime &date, bool received, bool validated) {
            document.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            document.addBindValue(received ? 1 : 0);
            document.addBindValue(received ? 1 : 0);
            document.addBindValue(validated ? 1 : 0);
            document.addBindValue(workPoint);
            document.exec();
            return document.lastInsertId().toLongLong();
        };
        auto addLine = [&](qint64 doc, const QString &name, double quantity,
                           const stock::Lot *lot) {
            line.addBindValue(doc);
            line.addBindValue(name);
            line.addBindValue(quantity);
            line.addBindValue(lot ? lot->unitPrice.toDouble() : 0.0);
            line.addBindValue(lot ? lot->value.toDouble() : 0.0);
            line.addBindValue(lot ? lot->unitPriceMM.toDouble() : 0.0);
            line.addBindValue(lot ? lot->valueMM.toDouble() : 0.0);
            line.addBindValue(lot ? quantity : 0.0);
            line.addBindValue(lot ? lot->value.toDouble() : 0.0);
            line.addBindValue(lot ? lot->valueMM.toDouble() : 0.0);
            line.exec();
            return line.lastInsertId().toLongLong();
        };
        for (const stock::Movement &m : stock::stockOrder(history.lots, history.issues)) {
            if (m.receipt) {
                const stock::Lot &lot = history.lots[m.index];
                const qint64 doc = addDocument(lot.date, true, true);
                addLine(doc, Product, lot.received, &lot);
                addLine(doc, QStringLiteral("Alt produs %1").arg(m.index % 300), lot.received,
                        &lot);
            } else {
                const stock::Issue &issue = history.issues[m.index];
                addLine(addDocument(issue.date, false, true), Product, issue.quantity, nullptr);
            }
        }
        const QDateTime end(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC);
        pendingSale = addLine(addDocument(end, false, false), Product, 1, nullptr);
        stock::replayStock(connection, Product, workPoint, method);
        t.commit();
    }
};

// Built once for all the runs of a size and method; emptied before the
// application object goes away.
std::map<std::pair<int, int>, std::unique_ptr<Shop>> shops;

Shop &shop(int count, stock::Method method)
{
    auto &slot = shops[{count, int(method)}];
    if (!slot)
        slot = std::make_unique<Shop>(count, method);
    return *slot;
}

stock::Method methodOf(const benchmark::State &state)
{
    return static_cast<stock::Method>(state.range(1));
}

void engineReplay(benchmark::State &state)
{
    History history(int(state.range(0)));
    for (auto _ : state) {
        const stock::Replay r =
            stock::replay(history.lots, history.issues, methodOf(state), Product);
        benchmark::DoNotOptimize(r.issues.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Nothing to write: the figures stored are already right.
void storeReplay(benchmark::State &state)
{
    Shop &s = shop(int(state.range(0)), methodOf(state));
    for (auto _ : state) {
        Transaction t(s.connection);
        benchmark::DoNotOptimize(
            stock::replayStock(s.connection, Product, s.workPoint, methodOf(state)));
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The product's stock lines as replayStock reads them.
const QString LinesSql = QStringLiteral(
    "select pc.id, f.Data, f.InOut, f.eNIR, pc.Cnt, pc.Valoare, pc.ValInMM, pc.PUnIn, pc.PUInMM, "
    "pc.nrzecIN, pc.nrzecMM, pc.Stoc, pc.Stoc_Valoric, pc.Stoc_ValoricMM, pc.Stoc_Istoric, "
    "pc.Stoc_Valoric_Istoric, pc.Stoc_Valoric_IstoricMM, pc.ValoareMagazieIesire, "
    "pc.ValoareMagazieIesireMM from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.adinStoc = 1 and pc.id_magazie > 0 "
    "and f.id_punctlucru = :wp and (f.Validata = 1 or f.InOut = 1 or f.eNIR = 1) "
    "and f.Anulata = 0 and f.Stornata = 0 order by f.Data, pc.id");

// Reads every value of every row, keeping them in `kept` when given;
// returns the number of rows.
int readLines(Shop &s, std::vector<QVariantList> *kept = nullptr)
{
    QSqlQuery q = s.connection.run(LinesSql, {Product, s.workPoint});
    const int columns = q.record().count();
    int n = 0;
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            benchmark::DoNotOptimize(v);
            if (kept)
                row.append(v);
        }
        if (kept)
            kept->push_back(std::move(row));
        ++n;
    }
    return n;
}

void storeReplay_floor(benchmark::State &state)
{
    Shop &s = shop(int(state.range(0)), methodOf(state));
    for (auto _ : state) {
        Transaction t(s.connection);
        benchmark::DoNotOptimize(readLines(s));
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every line's history is stale and is written back.
void storeReplayRewritingAll(benchmark::State &state)
{
    Shop &s = shop(int(state.range(0)), methodOf(state));
    for (auto _ : state) {
        state.PauseTiming();
        s.connection.exec(
            QStringLiteral("update ProdCumparate set Stoc_Istoric = -1 where Denumire = :d"),
            {Product});
        state.ResumeTiming();
        Transaction t(s.connection);
        benchmark::DoNotOptimize(
            stock::replayStock(s.connection, Product, s.workPoint, methodOf(state)));
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void run(QSqlQuery &q, const QVariantList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        q.bindValue(int(i), values[i]);
    if (!q.exec())
        throw std::runtime_error(q.lastError().text().toStdString());
}

// The rows read, then every lot's stock and history and every issue's exit
// value and history written back as the replay leaves them.
void storeReplayRewritingAll_floor(benchmark::State &state)
{
    Shop &s = shop(int(state.range(0)), methodOf(state));
    std::vector<QVariantList> right;
    readLines(s, &right);
    for (auto _ : state) {
        state.PauseTiming();
        s.connection.exec(
            QStringLiteral("update ProdCumparate set Stoc_Istoric = -1 where Denumire = :d"),
            {Product});
        state.ResumeTiming();
        Transaction t(s.connection);
        benchmark::DoNotOptimize(readLines(s));
        QSqlQuery lot(s.connection.database());
        lot.prepare(QStringLiteral("update ProdCumparate set Stoc=?, Stoc_Valoric=?, "
                                   "Stoc_ValoricMM=?, Stoc_Istoric=?, Stoc_Valoric_Istoric=?, "
                                   "Stoc_Valoric_IstoricMM=? where id=?"));
        QSqlQuery issue(s.connection.database());
        issue.prepare(
            QStringLiteral("update ProdCumparate set ValoareMagazieIesire=?, "
                           "ValoareMagazieIesireMM=?, Stoc_Istoric=?, "
                           "Stoc_Valoric_Istoric=?, Stoc_Valoric_IstoricMM=? where id=?"));
        for (const QVariantList &r : right) {
            if (r[2].toBool() || r[3].toBool())
                run(lot, {r[11], r[12], r[13], r[14], r[15], r[16], r[0]});
            else
                run(issue, {r[17], r[18], r[14], r[15], r[16], r[0]});
        }
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One sale at the end of the history, rolled back each time.
void consumeAtTheEnd(benchmark::State &state)
{
    Shop &s = shop(int(state.range(0)), stock::Method::Fifo);
    const bool indexed = state.range(1) != 0;
    if (indexed)
        s.connection.exec(QStringLiteral(
            "create index if not exists bench_stoc on ProdCumparate (Denumire, Stoc)"));
    for (auto _ : state) {
        Transaction t(s.connection);
        stock::consumeStock(s.connection, s.pendingSale, Product, 1, 2, 2, s.workPoint,
                            stock::Method::Fifo);
    }
    if (indexed)
        s.connection.exec(QStringLiteral("drop index bench_stoc"));
}

// Each size of history with every valuation method.
std::vector<std::vector<std::int64_t>> sizesAndMethods(std::initializer_list<int> sizes)
{
    std::vector<std::vector<std::int64_t>> args;
    for (int n : sizes)
        for (int method : {0, 1, 2})
            args.push_back({n, method});
    return args;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The pure engine has no database to compare with; the last sale is
    // compared with and without the index.
    benchmark::internal::Benchmark *engine =
        benchmark::RegisterBenchmark("engineReplay", engineReplay);
    for (const auto &args : sizesAndMethods({1000, 10000, 100000}))
        engine->Args(args);
    engine->Unit(benchmark::kMillisecond);
    // The longest histories run longer, so that each figure is more than one
    // or two replays.
    registerWithFloor("storeReplay", storeReplay, storeReplay_floor,
                      sizesAndMethods({1000, 10000}));
    registerWithFloor("storeReplay", storeReplay, storeReplay_floor, sizesAndMethods({100000}),
                      2.0);
    registerWithFloor("storeReplayRewritingAll", storeReplayRewritingAll,
                      storeReplayRewritingAll_floor, sizesAndMethods({1000, 10000}));
    registerWithFloor("storeReplayRewritingAll", storeReplayRewritingAll,
                      storeReplayRewritingAll_floor, sizesAndMethods({100000}), 2.0);
    benchmark::RegisterBenchmark("consumeAtTheEnd", consumeAtTheEnd)
        ->Args({100000, 0})
        ->Args({100000, 1})
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shops.clear();
    return 0;
}
