// What a user waits for on a database of years: the program starting up to
// its login window, and a one-month document list, each on a generated shop
// of 1,000 and of 100,000 sales documents (30 a day: a month and nine years).
// Both should cost about the same on either shop.
//
// Floors, on the same database in the same run: the SELECT statements that
// the figure itself sent to SQLite (recorded once through SQLite's statement
// trace, with their bound values), replayed through a bare QSqlQuery that
// reads every column of every row. Start-up's floor opens the file too.
//
// The shops are made by the data generator the first time and kept in
// $TARABIX_BENCH_DATA (bench/run sets build/bench/data), so that later runs
// start at once.
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/connection.h"
#include "floor.h"
#include "frame/mainwindow.h"
#include "generator.h"
#include "quiet.h"
#include "reports/reportengine.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// --- the shops ---------------------------------------------------------------

QString dataFolder()
{
    const QByteArray set = qgetenv("TARABIX_BENCH_DATA");
    return set.isEmpty() ? QDir::temp().filePath(QStringLiteral("tarabix-bench-data"))
                         : QDir(QString::fromLocal8Bit(set)).absolutePath();
}

// The program folder of a generated shop with `documents` sales documents,
// generated on first use. Built beside its place and moved in whole, so that
// an interrupted run never leaves half a shop to measure.
QString shop(int documents)
{
    static std::map<int, QString> made;
    if (const auto found = made.find(documents); found != made.end())
        return found->second;
    const QString folder = QDir(dataFolder()).filePath(QStringLiteral("shop-%1").arg(documents));
    if (!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("db/tarabix.db")))) {
        const QString building = folder + QStringLiteral(".new");
        QDir(building).removeRecursively();
        QDir(folder).removeRecursively();
        generator::Options options;
        options.documents = documents;
        options.clients = documents >= 10000 ? 1000 : 120;
        std::fprintf(stderr, "generating a shop of %d documents in %s\n", documents,
                     qPrintable(folder));
        generator::generate(building, options);
        if (!QDir().rename(building, folder))
            throw std::runtime_error("cannot move the generated shop into " + folder.toStdString());
    }
    made.emplace(documents, folder);
    return folder;
}

// --- what a figure asked of SQLite ---------------------------------------------

// Statements started on a traced connection, with their bound values.
std::vector<QString> *recording = nullptr;

int traceStatement(unsigned type, void *, void *statement, void *)
{
    if (type == SQLITE_TRACE_STMT && recording) {
        char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement));
        if (sql) {
            const QString text = QString::fromUtf8(sql).trimmed();
            if (text.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
                recording->push_back(text);
            sqlite3_free(sql);
        }
    }
    return 0;
}

// Every connection opened while recording is traced from its first statement.
int traceNewConnection(sqlite3 *db, const char **, const struct sqlite3_api_routines *)
{
    if (recording)
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, traceStatement, nullptr);
    return SQLITE_OK;
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    return handle.isValid() ? *static_cast<sqlite3 *const *>(handle.data()) : nullptr;
}

// Reads every column of every row, as a dataset does, and returns the rows.
qint64 readAll(const QSqlDatabase &db, const std::vector<QString> &statements)
{
    qint64 rows = 0;
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw std::runtime_error("floor statement failed: " + sql.toStdString());
        const int columns = q.record().count();
        while (q.next()) {
            for (int i = 0; i < columns; ++i)
                benchmark::DoNotOptimize(q.value(i));
            ++rows;
        }
    }
    return rows;
}

// --- start-up ----------------------------------------------------------------

// The program as main() builds it, up to the login window.
struct Program
{
    AppState state;
    Quiet prompter;
    NoStore store;
    NoEditor editor;
    Tdm dm{state, prompter};
    std::unique_ptr<TdmRC> rc;
    std::unique_ptr<ReportEngine> reports;
    std::unique_ptr<TfrmMain> frame;

    explicit Program(const QString &folder)
    {
        if (!dm.start({folder, store, editor}))
            throw std::runtime_error("the program did not start on " + folder.toStdString());
        rc = std::make_unique<TdmRC>(dm);
        reports = std::make_unique<ReportEngine>(dm, *rc, prompter);
        reports->setDocumentsDir(QDir(folder).filePath(QStringLiteral("documente")));
        frame = std::make_unique<TfrmMain>(WindowContext{dm, *rc, prompter, *reports});
        frame->show();
        frame->showLogin();
    }
    ~Program()
    {
        frame.reset();
        reports.reset();
        rc.reset();
    }
};

// The reads of one start-up on the shop, recorded once.
const std::vector<QString> &startupReads(int documents)
{
    static std::map<int, std::vector<QString>> reads;
    auto &statements = reads[documents];
    if (statements.empty()) {
        recording = &statements;
        {
            Program once(shop(documents));
        }
        recording = nullptr;
    }
    return statements;
}

void startUp(benchmark::State &state)
{
    const QString folder = shop(int(state.range(0)));
    for (auto _ : state) {
        auto program = std::make_unique<Program>(folder);
        benchmark::DoNotOptimize(program.get());
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}

void startUpFloor(benchmark::State &state)
{
    const QString folder = shop(int(state.range(0)));
    const std::vector<QString> &reads = startupReads(int(state.range(0)));
    const QString path = startup::databasePath(folder);
    qint64 rows = 0;
    for (auto _ : state) {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
            db.setDatabaseName(path);
            if (!db.open())
                throw std::runtime_error("cannot open " + path.toStdString());
            rows = readAll(db, reads);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    }
    state.counters["statements"] = double(reads.size());
    state.counters["rows"] = double(rows);
}

// --- a month of documents ----------------------------------------------------

// The program started on a shop, kept for every list of that shop.
std::map<int, std::unique_ptr<Program>> started;

Program &program(int documents)
{
    auto &p = started[documents];
    if (!p)
        p = std::make_unique<Program>(shop(documents));
    return *p;
}

// November's invoices of the first work point (the generated days end on 30
// November 2026).
QVariantList monthParams(Program &p)
{
    return {p.dm.companyId(), 0, p.state.currentWorkPointId, QDate(2026, 11, 1),
            QDate(2026, 12, 1)};
}

void openMonth(Program &p)
{
    Dataset &list = p.rc->adoFacturi;
    list.close();
    list.setParams(monthParams(p));
    list.open();
}

// The reads of opening the month's list, recorded once.
const std::vector<QString> &monthReads(int documents)
{
    static std::map<int, std::vector<QString>> reads;
    auto &statements = reads[documents];
    if (statements.empty()) {
        Program &p = program(documents);
        sqlite3 *db = handleOf(p.dm.cnc().database());
        recording = &statements;
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, traceStatement, nullptr);
        openMonth(p);
        sqlite3_trace_v2(db, 0, nullptr, nullptr);
        recording = nullptr;
    }
    return statements;
}

void monthList(benchmark::State &state)
{
    Program &p = program(int(state.range(0)));
    for (auto _ : state)
        openMonth(p);
    state.counters["rows"] = double(p.rc->adoFacturi.recordCount());
    if (p.rc->adoFacturi.recordCount() == 0)
        state.SkipWithError("the month holds no documents");
}

void monthListFloor(benchmark::State &state)
{
    Program &p = program(int(state.range(0)));
    const std::vector<QString> &reads = monthReads(int(state.range(0)));
    qint64 rows = 0;
    for (auto _ : state)
        rows = readAll(p.dm.cnc().database(), reads);
    state.counters["rows"] = double(rows);
}

// The offscreen platform warns about every window it cannot size; only
// real failures are worth a line in the results.
void keepCritical(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepCritical);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceNewConnection));
    QApplication app(argc, argv);
    const std::vector<std::vector<std::int64_t>> sizes = {{1000}, {100000}};
    registerWithFloor("StartUpToLogin", startUp, startUpFloor, sizes);
    registerWithFloor("MonthDocumentList", monthList, monthListFloor, sizes);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_volume: %s\n", e.what());
        return 1;
    }
    started.clear();
    benchmark::Shutdown();
    return 0;
}
