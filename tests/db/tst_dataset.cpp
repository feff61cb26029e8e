#include "db/dataset.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTest>

namespace {

qint64 addPartner(Connection &c, qint64 company, const QString &name)
{
    return c.insert(
        QStringLiteral("Clienti"),
        {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("client")},
        {company, name, true});
}

} // namespace

class TestDataset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void repeatedParameterNameIsBoundTwice();
    void afterScrollFiresRightAfterOpen_data();
    void afterScrollFiresRightAfterOpen();
    void movingFollowsTheCursorRules();
    void beforeDeleteCancelsSilently();
    void requeryKeepsPosition();
    void requeryFallsBackToFirstRowWhenTheRowIsGone();
    void writesBackThroughAJoin();
    void insertTakesTheKeyAndDefaultsFromTheDatabase();
    void cancelledInsertLeavesNothing();
    void blobRoundTrip();
    void moneyAndDatesRoundTripExactly();
    void filterWithQuotes();
    void localSortAndLocate();
    void bookmarksSurviveSorting();
    void calculatedFieldsAreComputedPerRow();
    void fieldValidationCanRefuseAValue();
    void errorsCarryClassAndMessage();
    void failingPostRuleUndoesEverything();
    void messagesWaitForTheCommit();
    void statementsKeptPreparedStayCorrect();

private:
    TestDb *m_db = nullptr;

private Q_SLOTS:
    void init() { m_db = new TestDb; }
    void cleanup()
    {
        delete m_db;
        m_db = nullptr;
    }
};

void TestDataset::repeatedParameterNameIsBoundTwice()
{
    Connection &c = m_db->connection();
    const qint64 a = addPartner(c, 7, QStringLiteral("ALFA"));
    const qint64 b = addPartner(c, 7, QStringLiteral("BETA"));
    addPartner(c, 7, QStringLiteral("GAMA"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id=:x or id=:x order by id"));
    QCOMPARE(ds.paramCount(), 2);
    QCOMPARE(ds.paramName(0), QStringLiteral("x"));
    QCOMPARE(ds.paramName(1), QStringLiteral("x"));
    ds.setParams({a, b});
    ds.open();
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("ALFA"));
    ds.next();
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("BETA"));
}

void TestDataset::afterScrollFiresRightAfterOpen_data()
{
    QTest::addColumn<qint64>("company");
    QTest::addColumn<int>("rows");
    QTest::newRow("with rows") << qint64(7) << 2;
    QTest::newRow("empty") << qint64(999) << 0;
}

void TestDataset::afterScrollFiresRightAfterOpen()
{
    QFETCH(qint64, company);
    QFETCH(int, rows);
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("ALFA"));
    addPartner(c, 7, QStringLiteral("BETA"));
    Dataset ds(
        c, QStringLiteral("select * from clienti\r\nwhere id_firma=:idf \r\norder by NumeFirma"));
    QStringList events;
    ds.afterOpen = [&](Dataset &d) { events << QStringLiteral("open:%1").arg(d.recordCount()); };
    ds.afterScroll = [&](Dataset &d) {
        events << QStringLiteral("scroll:%1")
                      .arg(d.isEmpty() ? QString() : d.asString(QStringLiteral("NumeFirma")));
    };
    ds.setParam(0, company);
    ds.open();
    const QString expectedScroll = rows ? QStringLiteral("scroll:ALFA") : QStringLiteral("scroll:");
    QCOMPARE(events, (QStringList{QStringLiteral("open:%1").arg(rows), expectedScroll}));
    QCOMPARE(ds.eof(), rows == 0);
    QVERIFY(ds.bof());
}

void TestDataset::movingFollowsTheCursorRules()
{
    Connection &c = m_db->connection();
    for (const char *n : {"A", "B", "C"})
        addPartner(c, 7, QString::fromLatin1(n));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7 order by NumeFirma"));
    int scrolls = 0;
    ds.afterScroll = [&](Dataset &) { ++scrolls; };
    ds.open();
    QStringList seen;
    for (ds.first(); !ds.eof(); ds.next())
        seen << ds.asString(QStringLiteral("NumeFirma"));
    QCOMPARE(seen, (QStringList{"A", "B", "C"}));
    // open + first + two moves; the failed next() at the end does not fire.
    QCOMPARE(scrolls, 4);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("C"));
    ds.prior();
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("B"));
    QVERIFY(!ds.eof());
    ds.last();
    QVERIFY(ds.eof());
    QCOMPARE(ds.recNo(), 2);
}

void TestDataset::beforeDeleteCancelsSilently()
{
    Connection &c = m_db->connection();
    const qint64 id = addPartner(c, 7, QStringLiteral("ALFA"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id=:id"));
    ds.setParam(0, id);
    bool allow = false;
    int afterDeletes = 0;
    ds.beforeDelete = [&](Dataset &) { return allow; };
    ds.afterDelete = [&](Dataset &) { ++afterDeletes; };
    ds.open();
    QVERIFY(!ds.remove());
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(afterDeletes, 0);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti where id=:id"), {id}).toInt(),
             1);
    allow = true;
    QVERIFY(ds.remove());
    QVERIFY(ds.isEmpty());
    QCOMPARE(afterDeletes, 1);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti where id=:id"), {id}).toInt(),
             0);
}

void TestDataset::requeryKeepsPosition()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("B"));
    addPartner(c, 7, QStringLiteral("D"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7 order by NumeFirma"));
    ds.open();
    QVERIFY(ds.locate(QStringLiteral("NumeFirma"), QStringLiteral("D")));
    addPartner(c, 7, QStringLiteral("A"));
    addPartner(c, 7, QStringLiteral("C"));
    ds.requeryKeepingPosition();
    QCOMPARE(ds.recordCount(), 4);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("D"));
    QCOMPARE(ds.recNo(), 3);
}

void TestDataset::requeryFallsBackToFirstRowWhenTheRowIsGone()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("A"));
    const qint64 gone = addPartner(c, 7, QStringLiteral("B"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7 order by NumeFirma"));
    ds.open();
    QVERIFY(ds.locate(QStringLiteral("id"), gone));
    const Dataset::Bookmark mark = ds.bookmark();
    c.exec(QStringLiteral("delete from Clienti where id=:id"), {gone});
    ds.requeryKeepingPosition();
    QCOMPARE(ds.recNo(), 0);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("A"));
    QVERIFY(!ds.gotoBookmark(mark));
}

void TestDataset::writesBackThroughAJoin()
{
    Connection &c = m_db->connection();
    const qint64 company = m_db->companyId();
    const qint64 client = addPartner(c, company, QStringLiteral("CLIENT SRL"));
    const qint64 doc =
        c.insert(QStringLiteral("Facturi"),
                 {QStringLiteral("Nf"), QStringLiteral("id_cump"), QStringLiteral("id_vanzator"),
                  QStringLiteral("Tipavizfactura"), QStringLiteral("Comentariu")},
                 {0, client, company, 0, QStringLiteral("vechi")});
    Dataset ds(
        c,
        QStringLiteral(
            "Select facturi.id as fid, \r\nfacturi.comentariu as comentariu,\r\n*,\r\n 'x' as "
            "Categorie "
            "from Facturi \r\nInner Join Clienti On Clienti.id=Facturi.id_cump \r\n"
            "Where id_Cump =:pic and facturi.id_vanzator=:idf and facturi.Tipavizfactura=:ptip\r\n"
            "\r\nOrder by data DESC, facturi.id desc"));
    ds.setUpdateTable(QStringLiteral("Facturi"), QStringLiteral("fid"), QStringLiteral("id"));
    ds.setParams({client, company, 0});
    ds.open();
    QCOMPARE(ds.asInteger(QStringLiteral("fid")), doc);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("CLIENT SRL"));
    ds.edit();
    ds.setValue(QStringLiteral("comentariu"), QStringLiteral("nou"));
    ds.setValue(QStringLiteral("Nf"), 42);
    ds.post();
    QCOMPARE(
        c.scalar(QStringLiteral("select Comentariu from Facturi where id=:id"), {doc}).toString(),
        QStringLiteral("nou"));
    QCOMPARE(c.scalar(QStringLiteral("select Nf from Facturi where id=:id"), {doc}).toInt(), 42);
    // The partner's own comment is another table and stays as it was.
    QVERIFY(
        c.scalar(QStringLiteral("select Comentariu from Clienti where id=:id"), {client}).isNull());

    // A field of the joined table cannot be written through the document view.
    ds.edit();
    ds.setValue(QStringLiteral("NumeFirma"), QStringLiteral("ALTUL"));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    ds.cancel();
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("CLIENT SRL"));

    QVERIFY(ds.remove());
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Facturi where id=:id"), {doc}).toInt(),
             0);
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from Clienti where id=:id"), {client}).toInt(), 1);
}

void TestDataset::insertTakesTheKeyAndDefaultsFromTheDatabase()
{
    Connection &c = m_db->connection();
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=:idf order by NumeFirma"));
    ds.setParam(0, 7);
    QStringList events;
    ds.onNewRecord = [&](Dataset &d) {
        events << QStringLiteral("new");
        d.setValue(QStringLiteral("id_firma"), 7);
    };
    ds.afterInsert = [&](Dataset &d) {
        events << QStringLiteral("insert:%1").arg(d.state() == Dataset::State::Insert);
    };
    ds.afterPost = [&](Dataset &) { events << QStringLiteral("post"); };
    ds.open();
    events.clear();
    ds.append();
    ds.setValue(QStringLiteral("NumeFirma"), QStringLiteral("NOU"));
    ds.post();
    QCOMPARE(events, (QStringList{"new", "insert:1", "post"}));
    const qint64 id = ds.asInteger(QStringLiteral("id"));
    QVERIFY(id > 0);
    QCOMPARE(c.scalar(QStringLiteral("select max(id) from Clienti")).toLongLong(), id);
    // Booleans the insert did not name come back with their default.
    QCOMPARE(ds.value(QStringLiteral("emitent")).toInt(), 0);
    QVERIFY(!ds.asBoolean(QStringLiteral("furnizor")));
}

void TestDataset::cancelledInsertLeavesNothing()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("A"));
    const int before = c.scalar(QStringLiteral("select count(*) from Clienti")).toInt();
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7"));
    ds.open();
    ds.insert();
    ds.setValue(QStringLiteral("NumeFirma"), QStringLiteral("X"));
    QCOMPARE(ds.recordCount(), 2);
    ds.cancel();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("A"));
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti")).toInt(), before);
}

void TestDataset::blobRoundTrip()
{
    Connection &c = m_db->connection();
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append(char(i % 256));
    Dataset ds(c, QStringLiteral("select id_firma, ID, Raport, titluRaport from Rapoarte\r\nwhere "
                                 "id_firma=:idf and titluRaport=:tR"));
    ds.setUpdateTable(QStringLiteral("Rapoarte"), QStringLiteral("ID"));
    ds.setParams({5, QStringLiteral("Factura")});
    ds.open();
    ds.append();
    ds.setValue(QStringLiteral("id_firma"), 5);
    ds.setValue(QStringLiteral("titluRaport"), QStringLiteral("Factura"));
    ds.setValue(QStringLiteral("Raport"), bytes);
    ds.post();
    // Titles are found without regard to case.
    ds.close();
    ds.setParams({5, QStringLiteral("FACTURA")});
    ds.open();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.asBytes(QStringLiteral("Raport")), bytes);
}

void TestDataset::moneyAndDatesRoundTripExactly()
{
    Connection &c = m_db->connection();
    const QList<Money> amounts = {
        *Money::parse(QStringLiteral("1234567.8912")), *Money::parse(QStringLiteral("-0.0001")),
        *Money::parse(QStringLiteral("0.1")), *Money::parse(QStringLiteral("99999999999.9999"))};
    const QDateTime when(QDate(2026, 2, 28), QTime(23, 59, 59));
    Dataset ds(c, QStringLiteral("select * from Incasari where id_firma=:f order by id"));
    ds.setParam(0, 77);
    ds.open();
    for (const Money &m : amounts) {
        ds.append();
        ds.setValue(QStringLiteral("id_firma"), 77);
        ds.setValue(QStringLiteral("Suma"), QVariant::fromValue(m));
        ds.setValue(QStringLiteral("Data"), when);
        ds.post();
    }
    ds.close();
    ds.open();
    QCOMPARE(ds.recordCount(), amounts.size());
    for (const Money &m : amounts) {
        QCOMPARE(ds.asMoney(QStringLiteral("Suma")).units(), m.units());
        QCOMPARE(ds.asDateTime(QStringLiteral("Data")), when);
        ds.next();
    }
    // A period is [first day, day after the last), bound as dates.
    Dataset period(
        c,
        QStringLiteral(
            "select count(*) as n from Incasari where id_firma=77 and data >= :d1 and data < :d2"));
    period.setParams({QDate(2026, 2, 28), QDate(2026, 3, 1)});
    period.open();
    QCOMPARE(period.asInteger(QStringLiteral("n")), amounts.size());
    period.close();
    period.setParams({QDate(2026, 2, 1), QDate(2026, 2, 28)});
    period.open();
    QCOMPARE(period.asInteger(QStringLiteral("n")), 0);
}

void TestDataset::filterWithQuotes()
{
    Connection &c = m_db->connection();
    for (const char *n : {"Cafea 'Lavazza' 1kg", "Cafea Lavazza 1kg", "Ceai"})
        c.insert(QStringLiteral("ProdCumparate"),
                 {QStringLiteral("id_fact"), QStringLiteral("Denumire"), QStringLiteral("Cnt")},
                 {1, QString::fromUtf8(n), 2.5});
    Dataset ds(c, QStringLiteral("select * from ProdCumparate where id_fact=1 order by id"));
    ds.open();
    ds.setFilter(QStringLiteral(" denumire= 'cafea ''Lavazza'' 1kg'"));
    ds.setFiltered(true);
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.asString(QStringLiteral("Denumire")), QStringLiteral("Cafea 'Lavazza' 1kg"));
    ds.setFilter(QStringLiteral("denumire='Ceai' or cnt>2 and id_fact=1"));
    QCOMPARE(ds.recordCount(), 3);
    ds.setFiltered(false);
    QCOMPARE(ds.recordCount(), 3);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.setFilter(QStringLiteral("denumire='unterminated")));
}

void TestDataset::localSortAndLocate()
{
    Connection &c = m_db->connection();
    for (const char *n : {"beta", "Alfa", "gama"})
        addPartner(c, 7, QString::fromLatin1(n));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7"));
    ds.open();
    ds.setSort(QStringLiteral("[NumeFirma] ASC "));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(QStringLiteral("NumeFirma"));
    QCOMPARE(names, (QStringList{"Alfa", "beta", "gama"}));
    ds.setSort(QStringLiteral("[NumeFirma] DESC "));
    ds.first();
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("gama"));
    QVERIFY(!ds.locate(QStringLiteral("NumeFirma"), QStringLiteral("ALFA")));
    QVERIFY(ds.locate(QStringLiteral("NumeFirma"), QStringLiteral("ALFA"), true));
    QCOMPARE(ds.recNo(), 2);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.setSort(QStringLiteral("[NuExista] ASC")));
}

void TestDataset::bookmarksSurviveSorting()
{
    Connection &c = m_db->connection();
    for (const char *n : {"B", "A", "C"})
        addPartner(c, 7, QString::fromLatin1(n));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7 order by id"));
    ds.open();
    QVERIFY(ds.locate(QStringLiteral("NumeFirma"), QStringLiteral("C")));
    const Dataset::Bookmark mark = ds.bookmark();
    ds.setSort(QStringLiteral("[NumeFirma] DESC"));
    ds.last();
    QVERIFY(ds.gotoBookmark(mark));
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("C"));
    QCOMPARE(ds.recNo(), 0);
}

void TestDataset::calculatedFieldsAreComputedPerRow()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("A"));
    addPartner(c, 7, QStringLiteral("BB"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7 order by NumeFirma"));
    ds.addCalculatedField(QStringLiteral("Lungime"));
    int calls = 0;
    ds.onCalcFields = [&](Dataset &d) {
        ++calls;
        d.setValue(QStringLiteral("Lungime"), d.asString(QStringLiteral("NumeFirma")).size());
    };
    ds.open();
    QCOMPARE(ds.asInteger(QStringLiteral("Lungime")), 1);
    ds.next();
    QCOMPARE(ds.asInteger(QStringLiteral("Lungime")), 2);
    ds.first();
    QCOMPARE(ds.asInteger(QStringLiteral("Lungime")), 1);
    QCOMPARE(calls, 2);
}

void TestDataset::fieldValidationCanRefuseAValue()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("A"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7"));
    QStringList changes;
    ds.setFieldValidator(QStringLiteral("tipstoc"), [](Dataset &d) {
        if (d.asInteger(QStringLiteral("tipstoc")) > 2)
            throw DbError::conversion(QStringLiteral("metoda necunoscuta"));
    });
    ds.setFieldChange(QStringLiteral("TIPSTOC"),
                      [&](Dataset &d) { changes << d.asString(QStringLiteral("tipstoc")); });
    ds.open();
    ds.edit();
    ds.setValue(QStringLiteral("tipstoc"), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.setValue(QStringLiteral("tipstoc"), 5));
    QCOMPARE(ds.asInteger(QStringLiteral("tipstoc")), 1);
    ds.post();
    QCOMPARE(changes, QStringList{QStringLiteral("1")});
    QCOMPARE(c.scalar(QStringLiteral("select tipstoc from Clienti where id_firma=7")).toInt(), 1);
}

void TestDataset::errorsCarryClassAndMessage()
{
    Dataset ds(m_db->connection(), QStringLiteral("select * from TabelaCareNuExista"));
    try {
        ds.open();
        QFAIL("opening a missing table must fail");
    } catch (const DbError &e) {
        QCOMPARE(e.className(), QStringLiteral("EDatabaseError"));
        QVERIFY(e.message().contains(QStringLiteral("TabelaCareNuExista")));
        QVERIFY(e.displayText().startsWith(
            QStringLiteral("EDatabaseError error raised, with message : ")));
    }
    QVERIFY(!ds.isOpen());
    Dataset ok(m_db->connection(), QStringLiteral("select NumeFirma from Clienti"));
    ok.open();
    QVERIFY_THROWS_EXCEPTION(DbError, ok.asInteger(QStringLiteral("NumeFirma")));
    QVERIFY_THROWS_EXCEPTION(DbError, ok.value(QStringLiteral("NuExista")));
    QVERIFY_THROWS_EXCEPTION(DbError,
                             ok.setValue(QStringLiteral("NumeFirma"), QStringLiteral("x")));
}

void TestDataset::failingPostRuleUndoesEverything()
{
    Connection &c = m_db->connection();
    const qint64 id = addPartner(c, 7, QStringLiteral("VECHI"));
    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=7"));
    ds.afterPost = [&c](Dataset &) {
        c.exec(QStringLiteral("update Monede set Simbol='schimbat'"));
        throw DbError::database(QStringLiteral("a rule failed"));
    };
    ds.open();
    ds.edit();
    ds.setValue(QStringLiteral("NumeFirma"), QStringLiteral("NOU"));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("NOU"));
    QCOMPARE(
        c.scalar(QStringLiteral("select NumeFirma from Clienti where id=:id"), {id}).toString(),
        QStringLiteral("VECHI"));
    QCOMPARE(
        c.scalar(QStringLiteral("select count(*) from Monede where Simbol='schimbat'")).toInt(), 0);
    ds.cancel();
    QCOMPARE(ds.asString(QStringLiteral("NumeFirma")), QStringLiteral("VECHI"));

    // The same for a new row: nothing is written and the row can be cancelled.
    ds.append();
    ds.setValue(QStringLiteral("NumeFirma"), QStringLiteral("NOU"));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QVERIFY(ds.isNull(QStringLiteral("id")));
    ds.cancel();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Clienti where id_firma=7")).toInt(), 1);
}

void TestDataset::messagesWaitForTheCommit()
{
    Connection &c = m_db->connection();
    QStringList shown;
    {
        Transaction t(c);
        c.afterCommit([&] { shown << QStringLiteral("rolled back"); });
    }
    {
        Transaction outer(c);
        {
            Transaction inner(c);
            c.afterCommit([&] { shown << QStringLiteral("inner"); });
            inner.commit();
        }
        QVERIFY(shown.isEmpty());
        outer.commit();
    }
    c.afterCommit([&] { shown << QStringLiteral("no transaction"); });
    QCOMPARE(shown, (QStringList{QStringLiteral("inner"), QStringLiteral("no transaction")}));
}

// Statements run again are kept prepared: new values each time, the same
// text read while it is being read, after a failure and after the table
// changed shape.
void TestDataset::statementsKeptPreparedStayCorrect()
{
    Connection &c = m_db->connection();
    addPartner(c, 7, QStringLiteral("ALFA"));
    addPartner(c, 8, QStringLiteral("BETA"));
    const QString byCompany = QStringLiteral("select NumeFirma from Clienti where id_firma=:f");
    QCOMPARE(c.scalar(byCompany, {7}).toString(), QStringLiteral("ALFA"));
    QCOMPARE(c.scalar(byCompany, {8}).toString(), QStringLiteral("BETA"));
    QVERIFY(c.scalar(byCompany, {9}).isNull());

    QStringList seen;
    c.read(byCompany, {7}, [&](QSqlQuery &outer) {
        QVERIFY(outer.next());
        seen << outer.value(0).toString() << c.scalar(byCompany, {8}).toString();
        QVERIFY(!outer.next());
    });
    QCOMPARE(seen, (QStringList{QStringLiteral("ALFA"), QStringLiteral("BETA")}));

    const QString strict =
        QStringLiteral("insert into Monede (CodIso, Nrzecimale) values (:c, :d)");
    c.exec(QStringLiteral("create unique index ix_test_moneda on Monede (CodIso)"));
    c.exec(strict, {QStringLiteral("CHF"), 2});
    QVERIFY_THROWS_EXCEPTION(DbError, c.exec(strict, {QStringLiteral("CHF"), 2}));
    QCOMPARE(c.exec(strict, {QStringLiteral("GBP"), 2}), 1);

    Dataset ds(c, QStringLiteral("select * from Clienti where id_firma=:f"));
    ds.setParam(0, 8);
    ds.open();
    QCOMPARE(ds.fieldIndex(QStringLiteral("Nota")), -1);
    ds.close();
    c.exec(QStringLiteral("alter table Clienti add column Nota text"));
    c.exec(QStringLiteral("update Clienti set Nota='x' where id_firma=8"));
    ds.open();
    QCOMPARE(ds.asString(QStringLiteral("Nota")), QStringLiteral("x"));
    QCOMPARE(c.scalar(byCompany, {8}).toString(), QStringLiteral("BETA"));
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
