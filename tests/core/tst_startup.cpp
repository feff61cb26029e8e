#include "core/appstate.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/database.h"
#include "support/scriptedprompter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

namespace {

// A store kept in memory; records what was written.
class MemoryStore : public startup::ConnectionStringStore
{
public:
    std::optional<QString> value;
    QStringList *events = nullptr;
    std::optional<QString> read() override { return value; }
    void write(const QString &s) override
    {
        value = s;
        if (events)
            *events << QStringLiteral("write:") + s;
    }
};

// An editor that returns scripted results (nullopt = cancelled).
class ScriptedEditor : public startup::ConnectionEditor
{
public:
    QList<std::optional<QString>> results;
    QStringList *events = nullptr;
    QString edit(const QString &current) override
    {
        if (events)
            *events << QStringLiteral("edit");
        const std::optional<QString> r = results.isEmpty() ? std::nullopt : results.takeFirst();
        return r ? *r : current;
    }
};

void writeIni(const QString &dir, const QByteArray &content)
{
    QFile f(startup::iniPath(dir));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void databaseKind_data();
    void databaseKind();
    void connectSqlServer_data();
    void connectSqlServer();
    void secondFailureIsThrown();
    void embeddedDatabaseLivesBesideTheProgram();
    void firstOwnCompanyBecomesCurrent();
    void foreignDatabaseFileEndsTheRun();
    void serverModeAnsweredNoEndsQuietly();
    void serverModeSecondFailureShowsTheMessage();
};

void TestStartup::databaseKind_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("kind");
    QTest::newRow("no file") << QByteArray() << 0;
    QTest::newRow("no key") << QByteArray("[SetariBaza]\nalta=3\n") << 0;
    QTest::newRow("embedded") << QByteArray("[SetariBaza]\ntipBaza=0\n") << 0;
    QTest::newRow("server") << QByteArray("[SetariBaza]\ntipBaza=1\n") << 1;
    QTest::newRow("any other value is a server too") << QByteArray("[SetariBaza]\r\ntipBaza=2\r\n") << 2;
}

void TestStartup::databaseKind()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, kind);
    QTemporaryDir dir;
    if (!ini.isNull())
        writeIni(dir.path(), ini);
    QCOMPARE(startup::databaseKind(dir.path()), kind);
}

void TestStartup::connectSqlServer_data()
{
    QTest::addColumn<bool>("stored");           // a value exists in the store
    QTest::addColumn<QString>("storedValue");
    QTest::addColumn<QStringList>("editorResults"); // "<cancel>" for a cancelled editor
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("working");       // the one string the server accepts
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("finalStored");

    QTest::newRow("first start: editor before any attempt, result stored")
        << false << QString() << QStringList{"A"} << QList<bool>{} << "A" << true
        << QStringList{"edit", "write:A", "open:A"} << "A";
    QTest::newRow("first start: cancelled editor is stored too")
        << false << QString() << QStringList{"<cancel>"} << QList<bool>{false} << "A" << false
        << QStringList{"edit", "write:", "open:", "question"} << "";
    QTest::newRow("stored string used without the editor")
        << true << "S" << QStringList{} << QList<bool>{} << "S" << true << QStringList{"open:S"} << "S";
    QTest::newRow("empty stored value: no editor up front, then Yes")
        << true << "" << QStringList{"B"} << QList<bool>{true} << "B" << true
        << QStringList{"open:", "question", "edit", "write:B", "open:B"} << "B";
    QTest::newRow("failed open answered No ends")
        << true << "S" << QStringList{} << QList<bool>{false} << "X" << false << QStringList{"open:S", "question"} << "S";
    QTest::newRow("Yes with a working string replaces the old one")
        << true << "S" << QStringList{"T"} << QList<bool>{true} << "T" << true
        << QStringList{"open:S", "question", "edit", "write:T", "open:T"} << "T";
}

void TestStartup::connectSqlServer()
{
    QFETCH(bool, stored);
    QFETCH(QString, storedValue);
    QFETCH(QStringList, editorResults);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, working);
    QFETCH(bool, connected);
    QFETCH(QStringList, events);
    QFETCH(QString, finalStored);

    QStringList seen;
    MemoryStore store;
    store.events = &seen;
    if (stored)
        store.value = storedValue;
    ScriptedEditor editor;
    editor.events = &seen;
    for (const QString &r : editorResults)
        editor.results << (r == QLatin1String("<cancel>") ? std::nullopt : std::optional<QString>(r));
    ScriptedPrompter prompter;
    for (bool a : answers)
        prompter.answers.enqueue(a);
    auto open = [&](const QString &s) {
        seen << QStringLiteral("open:") + s;
        if (s != working)
            throw std::runtime_error("refused");
    };
    prompter.log = &seen;
    QCOMPARE(startup::connectSqlServer(store, editor, prompter, open), connected);
    for (const QString &shown : std::as_const(prompter.shown))
        QCOMPARE(shown, QStringLiteral("question: Doriti sa stabiliti manual legatura la serverul sql?"));
    QCOMPARE(seen, events);
    QCOMPARE(store.value.value_or(QStringLiteral("<none>")), finalStored);
}

void TestStartup::secondFailureIsThrown()
{
    MemoryStore store;
    store.value = QStringLiteral("S");
    ScriptedEditor editor;
    editor.results << QStringLiteral("T");
    ScriptedPrompter prompter;
    prompter.answers.enqueue(true);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             startup::connectSqlServer(store, editor, prompter,
                                                       [](const QString &) { throw std::runtime_error("refused"); }));
    QCOMPARE(*store.value, QStringLiteral("T"));
}

void TestStartup::embeddedDatabaseLivesBesideTheProgram()
{
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    const QString savedCwd = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    AppState state;
    ScriptedPrompter prompter;
    MemoryStore store;
    ScriptedEditor editor;
    {
        Tdm dm(state, prompter);
        QVERIFY(dm.start({program.path(), store, editor}));
        QVERIFY(!state.sqlServerMode);
        QVERIFY(dm.adoSetari.isOpen());
        QVERIFY(dm.tblMentiuniFacturi.isOpen());
        QCOMPARE(dm.tblMentiuniFacturi.asString(QStringLiteral("Mentiune")), QStringLiteral("Cu TVA"));
        QCOMPARE(dm.adoSeriiF.asInteger(QStringLiteral("id_firma")), state.startCompanyId);
        QCOMPARE(dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Administrator"));
    }
    QDir::setCurrent(savedCwd);
    QVERIFY(QFile::exists(QDir(program.path()).filePath(QStringLiteral("db/tarabix.db"))));
    QVERIFY(!QFile::exists(QDir(elsewhere.path()).filePath(QStringLiteral("db/tarabix.db"))));
    QVERIFY(prompter.shown.isEmpty());
}

void TestStartup::firstOwnCompanyBecomesCurrent()
{
    QTemporaryDir program;
    {
        Connection c;
        database::openOrCreate(c, startup::databasePath(program.path()));
        const qint64 second = c.insert(QStringLiteral("Clienti"), {QStringLiteral("NumeFirma"), QStringLiteral("emitent")},
                                       {QStringLiteral("A DOUA SRL"), true});
        c.exec(QStringLiteral("update Clienti set id_firma=id where id=:id"), {second});
        c.insert(QStringLiteral("Angajati"), {QStringLiteral("id_firma"), QStringLiteral("Nume"), QStringLiteral("Bifa")},
                 {second, QStringLiteral("Ionescu"), true});
    }
    AppState state;
    ScriptedPrompter prompter;
    MemoryStore store;
    ScriptedEditor editor;
    Tdm dm(state, prompter);
    TdmRC rc(dm);
    QVERIFY(dm.start({program.path(), store, editor}));
    QCOMPARE(dm.adoSetari.recordCount(), 2);
    QCOMPARE(dm.adoSetari.asString(QStringLiteral("NumeFirma")), QStringLiteral("FIRMA MEA SRL"));
    QCOMPARE(state.startCompanyId, dm.companyId());
    // Moving to the other company reopens its employees and accounts.
    dm.adoSetari.next();
    QCOMPARE(dm.adoAngajati.asString(QStringLiteral("Nume")), QStringLiteral("Ionescu"));
    QVERIFY(rc.adoConturi.isOpen());
    QCOMPARE(rc.adoConturi.param(0).toLongLong(), dm.companyId());
    QVERIFY(state.startCompanyId != dm.companyId());
}

void TestStartup::foreignDatabaseFileEndsTheRun()
{
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkpath(QStringLiteral("db")));
    const QString path = startup::databasePath(program.path());
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("nu este o baza de date");
    }
    AppState state;
    ScriptedPrompter prompter;
    MemoryStore store;
    ScriptedEditor editor;
    Tdm dm(state, prompter);
    QVERIFY(!dm.start({program.path(), store, editor}));
    QCOMPARE(prompter.shown.size(), 1);
    QVERIFY(prompter.shown[0].startsWith(
        QStringLiteral("error: Eroare la conectarea bazei de date mdb. Verificati daca exista fisierul db\\tarabix.mdb")));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("nu este o baza de date"));
}

void TestStartup::serverModeAnsweredNoEndsQuietly()
{
    QTemporaryDir program;
    writeIni(program.path(), "[SetariBaza]\ntipBaza=2\n");
    AppState state;
    ScriptedPrompter prompter;
    prompter.answers.enqueue(false);
    MemoryStore store;
    store.value = QStringLiteral("Provider=QPSQL;Host=127.0.0.1;Port=1;Database=tarabix;User ID=x;Password=y");
    ScriptedEditor editor;
    Tdm dm(state, prompter);
    QVERIFY(!dm.start({program.path(), store, editor}));
    QVERIFY(state.sqlServerMode);
    QCOMPARE(prompter.shown, QStringList{QStringLiteral("question: Doriti sa stabiliti manual legatura la serverul sql?")});
    QVERIFY(!QFile::exists(startup::databasePath(program.path())));
}

void TestStartup::serverModeSecondFailureShowsTheMessage()
{
    QTemporaryDir program;
    writeIni(program.path(), "[SetariBaza]\ntipBaza=1\n");
    AppState state;
    ScriptedPrompter prompter;
    prompter.answers.enqueue(true);
    MemoryStore store;
    store.value = QString();
    ScriptedEditor editor;
    editor.results << QStringLiteral("Provider=QPSQL;Host=127.0.0.1;Port=1;Database=tarabix");
    Tdm dm(state, prompter);
    QVERIFY(!dm.start({program.path(), store, editor}));
    QCOMPARE(prompter.shown.size(), 2);
    QVERIFY(prompter.shown[1].startsWith(
        QStringLiteral("error: Eroare la conectarea bazei de date mdb. Verificati conexiunea cu baza de date")));
    QCOMPARE(*store.value, QStringLiteral("Provider=QPSQL;Host=127.0.0.1;Port=1;Database=tarabix"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
