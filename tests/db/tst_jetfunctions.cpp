#include "db/jetfunctions.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTest>

#include <sqlite3.h>

class TestJetFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void cdate_data();
    void cdate();
    void dateParts_data();
    void dateParts();
    void dateadd_data();
    void dateadd();
    void strconv_data();
    void strconv();
    void isnullInWhere_data();
    void isnullInWhere();
    void now();
    void errors_data();
    void errors();
    void determinism_data();
    void determinism();

private:
    struct Result
    {
        QVariant value;
        QString error;
    };
    // Runs a statement and returns the first column of its first row, or the SQL error.
    Result run(const QString &sql);

    sqlite3 *m_db = nullptr;
};

TestJetFunctions::Result TestJetFunctions::run(const QString &sql)
{
    Result result;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
    }
    if (rc == SQLITE_ROW) {
        switch (sqlite3_column_type(stmt, 0)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            result.value = QVariant(qlonglong(sqlite3_column_int64(stmt, 0)));
            break;
        default:
            result.value =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)),
                                  sqlite3_column_bytes(stmt, 0));
            break;
        }
    } else if (rc != SQLITE_DONE) {
        result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    sqlite3_finalize(stmt);
    return result;
}

void TestJetFunctions::initTestCase()
{
    QCOMPARE(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    QVERIFY(registerJetFunctions(m_db));
}

void TestJetFunctions::cleanupTestCase()
{
    sqlite3_close(m_db);
}

void TestJetFunctions::cdate_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("iso date") << "'2024-02-29'" << QVariant(QStringLiteral("2024-02-29 00:00:00"));
    QTest::newRow("iso date-time")
        << "'2024-03-05 14:07:09'" << QVariant(QStringLiteral("2024-03-05 14:07:09"));
    QTest::newRow("iso T, fraction dropped")
        << "'2024-03-05T14:07:09.750'" << QVariant(QStringLiteral("2024-03-05 14:07:09"));
    QTest::newRow("romanian date")
        << "'05.03.2024'" << QVariant(QStringLiteral("2024-03-05 00:00:00"));
    QTest::newRow("romanian, minutes")
        << "'5.3.2024 14:07'" << QVariant(QStringLiteral("2024-03-05 14:07:00"));
    QTest::newRow("romanian, seconds")
        << "'05.03.2024 14:07:09'" << QVariant(QStringLiteral("2024-03-05 14:07:09"));
    QTest::newRow("serial") << "45356" << QVariant(QStringLiteral("2024-03-05 00:00:00"));
    QTest::newRow("serial with time")
        << "45356.75" << QVariant(QStringLiteral("2024-03-05 18:00:00"));
    QTest::newRow("serial rounds to the second")
        << "45356.99999999" << QVariant(QStringLiteral("2024-03-06 00:00:00"));
    QTest::newRow("negative serial: time still counts forward")
        << "-1.25" << QVariant(QStringLiteral("1899-12-29 06:00:00"));
    QTest::newRow("null") << "NULL" << QVariant();
}

void TestJetFunctions::cdate()
{
    QFETCH(QString, argument);
    QFETCH(QVariant, expected);

    const Result r = run(QStringLiteral("SELECT CDate(%1)").arg(argument));
    QCOMPARE(r.error, QString());
    QCOMPARE(r.value, expected);
}

void TestJetFunctions::dateParts_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QVariant>("year");
    QTest::addColumn<QVariant>("month");
    QTest::addColumn<QVariant>("day");

    QTest::newRow("iso") << "'2023-11-07 23:59:59'" << QVariant(2023LL) << QVariant(11LL)
                         << QVariant(7LL);
    QTest::newRow("romanian") << "'07.11.2023'" << QVariant(2023LL) << QVariant(11LL)
                              << QVariant(7LL);
    QTest::newRow("serial") << "45356.9" << QVariant(2024LL) << QVariant(3LL) << QVariant(5LL);
    QTest::newRow("null") << "NULL" << QVariant() << QVariant() << QVariant();
}

void TestJetFunctions::dateParts()
{
    QFETCH(QString, argument);
    QFETCH(QVariant, year);
    QFETCH(QVariant, month);
    QFETCH(QVariant, day);

    QCOMPARE(run(QStringLiteral("SELECT Year(%1)").arg(argument)).value, year);
    QCOMPARE(run(QStringLiteral("SELECT Month(%1)").arg(argument)).value, month);
    QCOMPARE(run(QStringLiteral("SELECT Day(%1)").arg(argument)).value, day);
}

void TestJetFunctions::dateadd_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char *name, const char *interval, const char *number, const char *date,
                  const char *expected) {
        QTest::newRow(name) << QString::fromLatin1(interval) << QString::fromLatin1(number)
                            << QString::fromLatin1(date)
                            << (expected ? QVariant(QString::fromLatin1(expected)) : QVariant());
    };
    row("month clamps to february", "m", "1", "'2023-01-31'", "2023-02-28 00:00:00");
    row("month clamps to leap day", "m", "1", "'2024-01-31 08:30:00'", "2024-02-29 08:30:00");
    row("negative months cross the year", "m", "-2", "'2024-01-31'", "2023-11-30 00:00:00");
    row("year from leap day", "yyyy", "1", "'2024-02-29'", "2025-02-28 00:00:00");
    row("years back to a leap year", "yyyy", "-4", "'2024-02-29'", "2020-02-29 00:00:00");
    row("quarter", "q", "1", "'2024-11-30'", "2025-02-28 00:00:00");
    row("upper-case interval", "M", "12", "'2024-05-15'", "2025-05-15 00:00:00");
    row("day onto leap day", "d", "1", "'2024-02-28'", "2024-02-29 00:00:00");
    row("day of year", "y", "-1", "'2024-03-01'", "2024-02-29 00:00:00");
    row("weekday", "w", "10", "'2023-12-25'", "2024-01-04 00:00:00");
    row("week", "ww", "-1", "'2024-03-05 10:00:00'", "2024-02-27 10:00:00");
    row("hours cross the year", "h", "25", "'2024-12-31'", "2025-01-01 01:00:00");
    row("negative minute", "n", "-1", "'2024-01-01'", "2023-12-31 23:59:00");
    row("seconds", "s", "3661", "'2024-01-01 23:00:00'", "2024-01-02 00:01:01");
    row("serial date", "d", "1", "45356", "2024-03-06 00:00:00");
    row("romanian date", "m", "1", "'31.03.2024'", "2024-04-30 00:00:00");
    row("null date", "d", "1", "NULL", nullptr);
}

void TestJetFunctions::dateadd()
{
    QFETCH(QString, interval);
    QFETCH(QString, number);
    QFETCH(QString, date);
    QFETCH(QVariant, expected);

    const Result r =
        run(QStringLiteral("SELECT DateAdd('%1', %2, %3)").arg(interval, number, date));
    QCOMPARE(r.error, QString());
    QCOMPARE(r.value, expected);
}

void TestJetFunctions::strconv_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("conversion");
    QTest::addColumn<QVariant>("expected");

    const QString text = QStringLiteral("ștefan ȚĂRAN-pop\tîntâi");
    QTest::newRow("upper") << text << 1 << QVariant(QStringLiteral("ȘTEFAN ȚĂRAN-POP\tÎNTÂI"));
    QTest::newRow("lower") << text << 2 << QVariant(QStringLiteral("ștefan țăran-pop\tîntâi"));
    QTest::newRow("proper: words start after white space only")
        << text << 3 << QVariant(QStringLiteral("Ștefan Țăran-pop\tÎntâi"));
    QTest::newRow("other conversion leaves the text") << text << 4 << QVariant(text);
}

void TestJetFunctions::strconv()
{
    QFETCH(QString, text);
    QFETCH(int, conversion);
    QFETCH(QVariant, expected);

    const QString quoted = QLatin1Char('\'') + text + QLatin1Char('\'');
    QCOMPARE(run(QStringLiteral("SELECT StrConv(%1, %2)").arg(quoted).arg(conversion)).value,
             expected);
    QCOMPARE(run(QStringLiteral("SELECT StrConv(NULL, %1)").arg(conversion)).value, QVariant());
}

void TestJetFunctions::isnullInWhere_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QVariant>("ids");

    QTest::newRow("=false") << "=false" << QVariant(QStringLiteral("2,3"));
    QTest::newRow("=true") << "=true" << QVariant(QStringLiteral("1"));
}

void TestJetFunctions::isnullInWhere()
{
    QFETCH(QString, condition);
    QFETCH(QVariant, ids);

    QCOMPARE(run(QStringLiteral("CREATE TEMP TABLE t(id INTEGER, v)")).error, QString());
    QCOMPARE(run(QStringLiteral("INSERT INTO t VALUES (1, NULL), (2, 0), (3, '')")).error,
             QString());
    // ISNULL is an SQLite keyword, so the bare name only parses as a call when quoted.
    const Result r = run(QStringLiteral("SELECT group_concat(id) FROM (SELECT id FROM t "
                                        "WHERE \"isnull\"(v)%1 ORDER BY id)")
                             .arg(condition));
    QCOMPARE(run(QStringLiteral("DROP TABLE t")).error, QString());
    QCOMPARE(r.error, QString());
    QCOMPARE(r.value, ids);
}

void TestJetFunctions::now()
{
    const QDateTime before = QDateTime::currentDateTime();
    const QString text = run(QStringLiteral("SELECT Now()")).value.toString();

    static const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$)"));
    QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));
    const QDateTime value = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(value.isValid());
    QVERIFY2(qAbs(value.secsTo(before)) <= 5, qPrintable(text));
}

void TestJetFunctions::errors_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");

    QTest::newRow("cdate of text") << "SELECT CDate('abc')"
                                   << "cdate: not a date: abc";
    QTest::newRow("cdate of an impossible day") << "SELECT CDate('31.02.2024')"
                                                << "cdate: not a date: 31.02.2024";
    QTest::newRow("cdate of a bad time") << "SELECT CDate('2024-01-01 24:00:00')"
                                         << "cdate: not a date: 2024-01-01 24:00:00";
    QTest::newRow("cdate beyond year 9999") << "SELECT CDate(2958466)"
                                            << "cdate: not a date: 2958466";
    QTest::newRow("year of text") << "SELECT Year('x')"
                                  << "year: not a date: x";
    QTest::newRow("dateadd unknown interval") << "SELECT DateAdd('x', 1, '2024-01-01')"
                                              << "dateadd: unknown interval: x";
    QTest::newRow("dateadd count not a number") << "SELECT DateAdd('d', 'two', '2024-01-01')"
                                                << "dateadd: not a number: two";
    QTest::newRow("dateadd beyond year 9999") << "SELECT DateAdd('d', 1, '9999-12-31')"
                                              << "dateadd: result out of range";
    QTest::newRow("dateadd huge count") << "SELECT DateAdd('yyyy', 1e300, '2024-01-01')"
                                        << "dateadd: result out of range";
}

void TestJetFunctions::errors()
{
    QFETCH(QString, sql);
    QFETCH(QString, message);

    QCOMPARE(run(sql).error, message);
}

void TestJetFunctions::determinism_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("error");

    const QString none;
    QTest::newRow("cdate") << "cdate(v)" << none;
    QTest::newRow("isnull") << "\"isnull\"(v)" << none;
    QTest::newRow("strconv") << "strconv(v, 1)" << none;
    QTest::newRow("year") << "year(v)" << none;
    QTest::newRow("month") << "month(v)" << none;
    QTest::newRow("day") << "day(v)" << none;
    QTest::newRow("dateadd") << "dateadd('d', 1, v)" << none;
    QTest::newRow("now") << "now()"
                         << "non-deterministic functions prohibited in index expressions";
}

void TestJetFunctions::determinism()
{
    QFETCH(QString, expression);
    QFETCH(QString, error);

    // SQLite allows only deterministic functions in index expressions.
    QCOMPARE(run(QStringLiteral("CREATE TEMP TABLE d(v)")).error, QString());
    const Result r = run(QStringLiteral("CREATE INDEX di ON d(v, %1)").arg(expression));
    QCOMPARE(run(QStringLiteral("DROP TABLE d")).error, QString());
    QCOMPARE(r.error, error);
}

QTEST_GUILESS_MAIN(TestJetFunctions)
#include "tst_jetfunctions.moc"
