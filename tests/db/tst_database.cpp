#include "core/password.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/firstday.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/testdb.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newDatabaseHasEveryTableInOrder();
    void newDatabaseIsStampedAndVersioned();
    void firstDayConfigurationCanBeUsed();
    void failedActionLeavesTheFileAsItWas();
    void nestedTransactionRollsBackOnlyItsOwnPart();
    void foreignFilesAreNeverTouched_data();
    void foreignFilesAreNeverTouched();
    void newerSchemaIsRefused();
    void olderSchemaGetsTheNewIndexes();
    void reopeningKeepsTheData();
    void namedQueriesRun();
};

void TestDatabase::newDatabaseHasEveryTableInOrder()
{
    TestDb db;
    for (const schema::Table &t : schema::tables()) {
        QSqlQuery q = db.connection().run(QStringLiteral("PRAGMA table_info(") +
                                          QLatin1String(t.name) + u')');
        QStringList actual;
        QStringList boolDefaults;
        while (q.next()) {
            actual << q.value(1).toString();
            if (q.value(2).toString().startsWith(QLatin1String("BOOLEAN")))
                boolDefaults << QStringLiteral("%1:%2:%3")
                                    .arg(q.value(1).toString(), q.value(3).toString(),
                                         q.value(4).toString());
        }
        QStringList expected;
        for (const schema::Column &c : t.columns) {
            expected << QLatin1String(c.name);
            if (c.type == schema::ColumnType::Bool)
                QVERIFY2(boolDefaults.contains(QLatin1String(c.name) + QStringLiteral(":1:0")),
                         c.name);
        }
        QCOMPARE(actual, expected);
    }
    // The two payment tables are read together with UNION ALL.
    QCOMPARE(db.connection().tableColumns(QStringLiteral("Incasari")),
             db.connection().tableColumns(QStringLiteral("Plati")));
    Dataset both(db.connection(),
                 QStringLiteral(
                     "Select * from Incasari where id_firma=:idf and id_punctlucru=:idp   "
                     "Union All Select * from Plati Where id_cumparator=:idf  order by data desc"));
    both.setParams({1, 1, 1});
    both.open();
    QVERIFY(both.isEmpty());
}

void TestDatabase::newDatabaseIsStampedAndVersioned()
{
    TestDb db;
    QCOMPARE(db.connection().scalar(QStringLiteral("PRAGMA application_id")).toInt(),
             database::ApplicationId);
    QCOMPARE(db.connection().scalar(QStringLiteral("PRAGMA user_version")).toInt(),
             database::schemaVersion());
    QCOMPARE(db.connection().scalar(QStringLiteral("PRAGMA journal_mode")).toString(),
             QStringLiteral("wal"));
    QVERIFY(!QFile::exists(db.path() + QStringLiteral(".new")));
}

void TestDatabase::firstDayConfigurationCanBeUsed()
{
    TestDb db;
    Connection &c = db.connection();
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti where emitent=true")).toInt(),
             1);
    const qint64 company = db.companyId();
    QCOMPARE(c.scalar(QStringLiteral("select id_firma from Clienti where id=:id"), {company})
                 .toLongLong(),
             company);
    QCOMPARE(
        c.scalar(QStringLiteral("Select codiso from Monede where bifadefault=true")).toString(),
        QStringLiteral("RON"));
    QCOMPARE(c.scalar(QStringLiteral("Select nrzecimale from Monede where codiso='RON'")).toInt(),
             2);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Monede where codiso in ('EUR','USD')"))
                 .toInt(),
             2);
    QVERIFY(db.workPointId() > 0);
    QCOMPARE(
        c.scalar(QStringLiteral("select NrFactura from SeriiActe where id=:id"), {db.workPointId()})
            .toInt(),
        1);
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from SubcategoriiStocuri where id_categorie=:wp"),
                 {db.workPointId()})
            .toInt(),
        1);
    QVERIFY(c.scalar(QStringLiteral(
                         "select count(*) from Metodedeplata where Denumire like '%Chitanta%'"))
                .toInt() > 0);
    QVERIFY(c.scalar(QStringLiteral("select count(*) from UM where UM='%'")).toInt() == 1);
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from Mentiuni_Facturi where bifadefault=true"))
            .toInt(),
        1);

    Dataset staff(
        c, QStringLiteral(
               "select * from Angajati\r\nwhere bifa =true and id_firma=:idf\r\nOrder by Nume"));
    staff.setParam(0, company);
    staff.open();
    QCOMPARE(staff.recordCount(), 1);
    QCOMPARE(staff.asString(QStringLiteral("Nume")), QStringLiteral("Administrator"));
    const QString stored = staff.asString(QStringLiteral("Parola"));
    QVERIFY(!stored.contains(QLatin1String(firstday::AdministratorPassword)));
    QVERIFY(verifyPassword(QString::fromLatin1(firstday::AdministratorPassword), stored));
    QVERIFY(!verifyPassword(QStringLiteral("9276 "), stored));
    QVERIFY(!verifyPassword(QString(), stored));
}

void TestDatabase::failedActionLeavesTheFileAsItWas()
{
    TestDb db;
    Connection &c = db.connection();
    c.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString before = db.dump();
    const QByteArray bytesBefore = fileBytes(db.path());
    const qint64 wp = db.workPointId();
    try {
        Transaction t(c);
        const qint64 doc =
            c.insert(QStringLiteral("Facturi"),
                     {QStringLiteral("Nf"), QStringLiteral("id_punctlucru")}, {1, wp});
        c.insert(QStringLiteral("ProdCumparate"),
                 {QStringLiteral("id_fact"), QStringLiteral("Denumire")},
                 {doc, QStringLiteral("Marfa")});
        c.exec(QStringLiteral("update SeriiActe set NrFactura=NrFactura+1 where id=:id"), {wp});
        Dataset lines(c, QStringLiteral("select * from ProdCumparate where id_fact=:f"));
        lines.setParam(0, doc);
        lines.open();
        lines.edit();
        lines.setValue(QStringLiteral("Cnt"), 3);
        lines.post();
        c.exec(QStringLiteral("update TabelaCareNuExista set x=1"));
        t.commit();
        QFAIL("the action should have failed");
    } catch (const DbError &) {
    }
    QCOMPARE(c.transactionDepth(), 0);
    QCOMPARE(db.dump(), before);
    c.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    QCOMPARE(fileBytes(db.path()), bytesBefore);
}

void TestDatabase::nestedTransactionRollsBackOnlyItsOwnPart()
{
    TestDb db;
    Connection &c = db.connection();
    {
        Transaction outer(c);
        c.insert(QStringLiteral("UM"), {QStringLiteral("UM")}, {QStringLiteral("cutie")});
        try {
            Transaction inner(c);
            c.insert(QStringLiteral("UM"), {QStringLiteral("UM")}, {QStringLiteral("palet")});
            throw std::runtime_error("inner step failed");
        } catch (const std::runtime_error &) {
        }
        outer.commit();
    }
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from UM where UM in ('cutie','palet')")).toInt(),
        1);
    QCOMPARE(c.scalar(QStringLiteral("select UM from UM where UM in ('cutie','palet')")).toString(),
             QStringLiteral("cutie"));
}

void TestDatabase::foreignFilesAreNeverTouched_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("text file") << QByteArray("text");
    QTest::newRow("another program's SQLite database") << QByteArray("sqlite");
    QTest::newRow("a folder") << QByteArray("folder");
}

void TestDatabase::foreignFilesAreNeverTouched()
{
    QFETCH(QByteArray, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarabix.db"));
    if (kind == "text") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("lista de cumparaturi\n");
    } else if (kind == "sqlite") {
        Connection other;
        other.openSqlite(path);
        other.exec(QStringLiteral("create table agenda (nume text)"));
        other.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        other.close();
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    const QByteArray before = fileBytes(path);
    Connection c;
    QVERIFY_THROWS_EXCEPTION(DbError, database::openOrCreate(c, path));
    QVERIFY(!c.isOpen());
    QCOMPARE(fileBytes(path), before);
}

void TestDatabase::newerSchemaIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarabix.db"));
    {
        Connection c;
        database::openOrCreate(c, path);
        c.exec(QStringLiteral("PRAGMA user_version=%1").arg(database::schemaVersion() + 1));
    }
    Connection c;
    QVERIFY_THROWS_EXCEPTION(DbError, database::openOrCreate(c, path));
}

// A file made before an index was added gets it on the next open, data kept.
void TestDatabase::olderSchemaGetsTheNewIndexes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarabix.db"));
    {
        Connection c;
        database::openOrCreate(c, path);
        c.exec(QStringLiteral("drop index ix_facturi_numar"));
        c.exec(QStringLiteral("drop index ix_incasari_numar"));
        c.exec(QStringLiteral("update Clienti set NumeFirma='ALFA SRL' where emitent=true"));
        c.exec(QStringLiteral("PRAGMA user_version=1"));
    }
    const auto indexes = [](Connection &c) {
        return c
            .scalar(QStringLiteral("select count(*) from sqlite_master where type='index' and "
                                   "name in ('ix_facturi_numar', 'ix_incasari_numar')"))
            .toInt();
    };
    {
        Connection c;
        database::openOrCreate(c, path);
        QCOMPARE(c.scalar(QStringLiteral("PRAGMA user_version")).toInt(),
                 database::schemaVersion());
        QCOMPARE(indexes(c), 2);
        // Also a file of this version that lost an index gets it back.
        c.exec(QStringLiteral("drop index ix_incasari_numar"));
    }
    Connection c;
    database::openOrCreate(c, path);
    QCOMPARE(indexes(c), 2);
    QCOMPARE(
        c.scalar(QStringLiteral("select NumeFirma from Clienti where emitent=true")).toString(),
        QStringLiteral("ALFA SRL"));
}

void TestDatabase::reopeningKeepsTheData()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/tarabix.db"));
    {
        Connection c;
        database::openOrCreate(c, path);
        c.exec(QStringLiteral("update Clienti set NumeFirma='ALFA SRL' where emitent=true"));
    }
    Connection c;
    database::openOrCreate(c, path);
    QCOMPARE(
        c.scalar(QStringLiteral("select NumeFirma from Clienti where emitent=true")).toString(),
        QStringLiteral("ALFA SRL"));
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti where emitent=true")).toInt(),
             1);
}

void TestDatabase::namedQueriesRun()
{
    TestDb db;
    Connection &c = db.connection();
    const qint64 company = db.companyId();
    Dataset nr(c, QStringLiteral("nrNIR"));
    QCOMPARE(nr.paramCount(), 2);
    nr.setParams({2026, company});
    nr.open();
    QVERIFY(nr.isNull(QStringLiteral("Expr1")));
    c.insert(QStringLiteral("Facturi"),
             {QStringLiteral("eNIR"), QStringLiteral("NIR"), QStringLiteral("Data"),
              QStringLiteral("id_cump")},
             {true, 4, QDate(2026, 5, 1), company});
    nr.requery();
    QCOMPARE(nr.asInteger(QStringLiteral("Expr1")), 4);

    Dataset stock(c, QStringLiteral("getStoc"));
    stock.setParam(0, QDate(2026, 12, 31));
    stock.open();
    QVERIFY(stock.isEmpty());
    QVERIFY(stock.hasField(QStringLiteral("StocValoric")));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
