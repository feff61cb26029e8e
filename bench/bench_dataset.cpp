// Opening a dataset reads the whole result into memory; the floor is the
// same rows read with a bare QSqlQuery on the same connection.
#include "db/connection.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "floor.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture
{
    QTemporaryDir dir;
    Connection connection;

    explicit Fixture(int rows)
    {
        database::openOrCreate(connection, dir.filePath(QStringLiteral("tarabix.db")));
        Transaction t(connection);
        for (int i = 0; i < rows; ++i) {
            connection.exec(
                QStringLiteral("insert into ProdCumparate (id_fact, Denumire, Cnt, PUOut, ValOut) "
                               "values (:f, :d, :c, :p, :v)"),
                {i / 10, QStringLiteral("Produs %1").arg(i % 500), 1.5, 12.34, 18.51});
        }
        t.commit();
    }
};

const QString Sql = QStringLiteral("select * from ProdCumparate where id_fact >= :a order by id");

void datasetOpen(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        Dataset ds(f.connection, Sql);
        ds.setParam(0, 0);
        ds.open();
        benchmark::DoNotOptimize(ds.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void datasetOpen_floor(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        QSqlQuery q = f.connection.run(Sql, {0});
        const int columns = q.record().count();
        int n = 0;
        while (q.next()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerWithFloor("datasetOpen", datasetOpen, datasetOpen_floor, {{1000}, {10000}});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
