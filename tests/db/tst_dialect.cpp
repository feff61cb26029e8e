#include "db/dialect.h"
#include "db/sqltext.h"

#include <QTest>

class TestDialect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serverRules_data();
    void serverRules();
    void commandRulesStopAtTheJoinParentheses();
    void postgresKeepsNow();
    void embeddedEngineLeavesTextAlone();
    void sqliteRewrites_data();
    void sqliteRewrites();
    void parameters_data();
    void parameters();
};

void TestDialect::serverRules_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("boolean literal") << "select * from Clienti\r\n where emitent=true"
                                     << "select * from Clienti\r\n where emitent=1";
    QTest::newRow("booleans in any case") << "a=TRUE and b=False and c=True" << "a=1 and b=0 and c=1";
    QTest::newRow("join parentheses")
        << "from\r\n ( Facturi Inner Join Clienti On Clienti.id=Facturi.id_vanzator ) \r\n Inner Join X On X.a=Facturi.b"
        << "from\r\n Facturi Inner Join Clienti On Clienti.id=Facturi.id_vanzator \r\n Inner Join X On X.a=Facturi.b";
    QTest::newRow("function parenthesis stays") << "select sum(x) from t where y in (1,2)"
                                                << "select sum(x) from t where y in (1,2)";
    QTest::newRow("strconv and now") << "select strconv(nf,1) from t where d<now()"
                                     << "select upper(nf) from t where d<getdate()";
    QTest::newRow("strconv removes every ,1)") << "select strconv(nf,1), left(a,1) from t"
                                               << "select upper(nf), left(a) from t";
    QTest::newRow(",1) stays without strconv") << "select left(a,1) from t" << "select left(a,1) from t";
    QTest::newRow("distinctrow") << "SELECT DISTINCTROW  Sum(x) FROM t" << "SELECT distinct  Sum(x) FROM t";
    QTest::newRow("literal untouched") << "select * from Clienti where NumeFirma='Trueman ( now ) false'"
                                       << "select * from Clienti where NumeFirma='Trueman ( now ) false'";
    QTest::newRow("doubled quote inside literal") << "x='it''s true' and y=true" << "x='it''s true' and y=1";
    QTest::newRow("longer identifiers untouched") << "select nowhere, falsehood, truename from t where a=true"
                                                  << "select nowhere, falsehood, truename from t where a=1";
    QTest::newRow("bracketed name untouched") << "select [true] from t" << "select [true] from t";
    QTest::newRow("empty") << "" << "";
}

void TestDialect::serverRules()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(Dialect(Engine::SqlServer).adaptDataset(sql), expected);
}

void TestDialect::commandRulesStopAtTheJoinParentheses()
{
    const Dialect d(Engine::SqlServer);
    QCOMPARE(d.adaptCommand(QStringLiteral("Update t set a=true where x in ( select distinctrow b from u ) and d<now()")),
             QStringLiteral("Update t set a=1 where x in select distinctrow b from u and d<now()"));
    QCOMPARE(d.adaptBooleans(QStringLiteral("where bifa =true and x=( 1 )")), QStringLiteral("where bifa =1 and x=( 1 )"));
}

void TestDialect::postgresKeepsNow()
{
    QCOMPARE(Dialect(Engine::PostgreSQL).adaptDataset(QStringLiteral("select now() where a=true")),
             QStringLiteral("select now() where a=1"));
}

void TestDialect::embeddedEngineLeavesTextAlone()
{
    const Dialect d(Engine::SQLite);
    const QString sql = QStringLiteral("select strconv(nf,1) from ( t ) where a=true and d<now()\r\n");
    QCOMPARE(d.adaptDataset(sql), sql);
    QCOMPARE(d.adaptCommand(sql), sql);
    QCOMPARE(d.adaptBooleans(sql), sql);
}

void TestDialect::sqliteRewrites_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("distinctrow") << "SELECT DISTINCTROW Sum(x) FROM t" << "SELECT distinct Sum(x) FROM t";
    QTest::newRow("delete star") << "DELETE *  FROM tmpStoc WHERE id_firma=1" << "delete  FROM tmpStoc WHERE id_firma=1";
    QTest::newRow("top with order")
        << "Select top 1 total, nrfisa from RegistruCasaSold where moneda=:pm Order by data desc"
        << "Select total, nrfisa from RegistruCasaSold where moneda=:pm Order by data desc LIMIT 1";
    QTest::newRow("top before trailing blanks") << "Select top 1 * from Incasari Where id_fact=:idf "
                                                << "Select * from Incasari Where id_fact=:idf LIMIT 1 ";
    QTest::newRow("top distinct") << "select distinct top 5 a from t" << "select distinct a from t LIMIT 5";
    QTest::newRow("top in a sub-select")
        << "Insert into x (a) Select top 1 id_firma from ModeleContract where id=(select top 1 id from t order by id)"
        << "Insert into x (a) Select id_firma from ModeleContract where id=(select id from t order by id LIMIT 1) LIMIT 1";
    QTest::newRow("double-quoted text") << "DateAdd(\"yyyy\",1, DataStop)" << "DateAdd('yyyy',1, DataStop)";
    QTest::newRow("double quotes inside") << "x=\"say \"\"hi\"\" it's\"" << "x='say \"hi\" it''s'";
    QTest::newRow("date literal") << "data<#01/31/2026#" << "data<'2026-01-31 00:00:00'";
    QTest::newRow("isnull function") << "where isnull(x)=false and IsNull (y)" << "where [isnull](x)=false and [isnull] (y)";
    QTest::newRow("words in literals stay") << "x='select top 1 distinctrow delete * isnull(1)'"
                                            << "x='select top 1 distinctrow delete * isnull(1)'";
}

void TestDialect::sqliteRewrites()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(Dialect(Engine::SQLite).toEngine(sql), expected);
}

void TestDialect::parameters_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("repeated name is two parameters")
        << "Select * from Delegati\r\nWhere id_firma=:idc or id_firma=:idc"
        << "Select * from Delegati\r\nWhere id_firma=? or id_firma=?" << QStringList{"idc", "idc"};
    QTest::newRow("order of occurrence") << "id_cump =:pic and x=:idf and t=:ptip" << "id_cump =? and x=? and t=?"
                                         << QStringList{"pic", "idf", "ptip"};
    QTest::newRow("not in literals") << "a=':x' and b=:y and c='10:30'" << "a=':x' and b=? and c='10:30'"
                                     << QStringList{"y"};
    QTest::newRow("not a cast") << "a=b::int" << "a=b::int" << QStringList{};
    QTest::newRow("values list") << "Values (:id_fAct, :id_cumparator,:data)" << "Values (?, ?,?)"
                                 << QStringList{"id_fAct", "id_cumparator", "data"};
}

void TestDialect::parameters()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QFETCH(QStringList, names);
    const sqltext::Parameters p = sqltext::extractParameters(sql);
    QCOMPARE(p.sql, expected);
    QCOMPARE(p.names, names);
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
