#include "db/filterexpr.h"

#include <QDate>
#include <QDateTime>
#include <QTest>

namespace {

// A column that is NULL in the current row, as the data layer hands it over.
QVariant nullOf(QMetaType type)
{
    return QVariant(type);
}

bool matchesRow(const FilterExpr &filter, const QVariantMap &row)
{
    return filter.matches([&row](const QString &field) {
        for (auto it = row.cbegin(); it != row.cend(); ++it) {
            if (it.key().compare(field, Qt::CaseInsensitive) == 0)
                return it.value();
        }
        return QVariant();
    });
}

} // namespace

class TestFilterExpr : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matches_data();
    void matches();
    void malformed_data();
    void malformed();
    void blankMatchesEverything();
    void unknownFieldThrowsOnMatch();
    void badDateLiteralThrowsOnDateField();
    void fieldNamesOnceEach();
};

void TestFilterExpr::matches_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariantMap>("row");
    QTest::addColumn<bool>("expected");

    const QVariant nullInt = nullOf(QMetaType::fromType<int>());
    const QVariant nullText = nullOf(QMetaType::fromType<QString>());

    QTest::newRow("integer equal") << "id_fact=123" << QVariantMap{{"id_fact", 123}} << true;
    QTest::newRow("integer differs") << "id_fact=123" << QVariantMap{{"id_fact", 124}} << false;
    QTest::newRow("large id exact")
        << "id=9007199254740993" << QVariantMap{{"id", qlonglong(9007199254740992LL)}} << false;
    QTest::newRow("doubled quotes") << " denumire= 'Cafea ''Lavazza'' 1kg'"
                                    << QVariantMap{{"denumire", "Cafea 'Lavazza' 1kg"}} << true;
    QTest::newRow("text case-insensitive")
        << "denumire='cafea ''lavazza'' 1KG'" << QVariantMap{{"denumire", "CAFEA 'LAVAZZA' 1kg"}}
        << true;
    QTest::newRow("trailing space significant")
        << "cod='AB'" << QVariantMap{{"cod", "AB "}} << false;
    QTest::newRow("text order") << "nume < 'b'" << QVariantMap{{"nume", "Ana"}} << true;
    QTest::newRow("field name case-insensitive")
        << "DENUMIRE='x'" << QVariantMap{{"denumire", "X"}} << true;
    QTest::newRow("bracketed name")
        << "[Cod Fiscal] = 'RO123'" << QVariantMap{{"cod fiscal", "ro123"}} << true;
    QTest::newRow("keywords any case, CRLF")
        << "a=1\r\nAnD\tb=2" << QVariantMap{{"a", 1}, {"b", 2}} << true;

    QTest::newRow("bool false, nf>0")
        << "anulata=false and nf>0" << QVariantMap{{"anulata", false}, {"nf", 3}} << true;
    QTest::newRow("bool as 0") << "anulata=false and nf>0" << QVariantMap{{"anulata", 0}, {"nf", 3}}
                               << true;
    QTest::newRow("bool as -1") << "anulata=false and nf>0"
                                << QVariantMap{{"anulata", -1}, {"nf", 3}} << false;
    QTest::newRow("nf zero") << "anulata=false and nf>0"
                             << QVariantMap{{"anulata", false}, {"nf", 0}} << false;
    QTest::newRow("true as 1") << "achitat=true" << QVariantMap{{"achitat", 1}} << true;
    QTest::newRow("true as -1") << "achitat=TRUE" << QVariantMap{{"achitat", -1}} << true;
    QTest::newRow("true as bool") << "achitat=true" << QVariantMap{{"achitat", true}} << true;
    QTest::newRow("true vs 0") << "achitat=true" << QVariantMap{{"achitat", 0}} << false;
    QTest::newRow("true <> false") << "achitat<>true" << QVariantMap{{"achitat", false}} << true;

    QTest::newRow("and before or")
        << "a=1 or b=1 and c=1" << QVariantMap{{"a", 1}, {"b", 0}, {"c", 0}} << true;
    QTest::newRow("parentheses") << "(a=1 or b=1) and c=1"
                                 << QVariantMap{{"a", 1}, {"b", 0}, {"c", 0}} << false;
    QTest::newRow("currency and paid") << "(moneda='RON' or moneda='EUR') and achitat=true"
                                       << QVariantMap{{"moneda", "eur"}, {"achitat", 1}} << true;
    QTest::newRow("currency not listed")
        << "(moneda='RON' or moneda='EUR') and achitat=true"
        << QVariantMap{{"moneda", "USD"}, {"achitat", true}} << false;
    QTest::newRow("not binds tighter than and")
        << "not a=1 and b=1" << QVariantMap{{"a", 2}, {"b", 1}} << true;
    QTest::newRow("not of group") << "not (a=1 or b=1)" << QVariantMap{{"a", 2}, {"b", 1}} << false;

    QTest::newRow("null = value") << "x=5" << QVariantMap{{"x", nullInt}} << false;
    QTest::newRow("null <> value") << "x<>5" << QVariantMap{{"x", nullInt}} << false;
    QTest::newRow("null text <> text") << "x<>'a'" << QVariantMap{{"x", nullText}} << false;
    QTest::newRow("is null") << "x is null" << QVariantMap{{"x", nullText}} << true;
    QTest::newRow("is null on value") << "x IS NULL" << QVariantMap{{"x", ""}} << false;
    QTest::newRow("is not null") << "x is not null" << QVariantMap{{"x", 0}} << true;
    QTest::newRow("= null") << "x = null" << QVariantMap{{"x", nullInt}} << true;
    QTest::newRow("<> null") << "x <> NULL" << QVariantMap{{"x", 5}} << true;

    QTest::newRow("numeric text") << "nf > 10" << QVariantMap{{"nf", " 12"}} << true;
    QTest::newRow("numeric text is not text order")
        << "nf > 10" << QVariantMap{{"nf", "9.5"}} << false;
    QTest::newRow("number column vs quoted number")
        << "nf < '10'" << QVariantMap{{"nf", 9}} << true;
    QTest::newRow("double vs integer") << "suma=100" << QVariantMap{{"suma", 100.0}} << true;
    QTest::newRow("negative decimal") << "suma >= -2.5" << QVariantMap{{"suma", -2.5}} << true;
    QTest::newRow("computed total") << "total=0.3" << QVariantMap{{"total", 0.1 + 0.2}} << true;
    QTest::newRow("money step apart")
        << "total=1000000.0001" << QVariantMap{{"total", 1000000.0002}} << false;
    QTest::newRow("non-numeric text never compares")
        << "pret <> 10" << QVariantMap{{"pret", "abc"}} << false;

    QTest::newRow("like prefix %")
        << "denumire like 'caf%'" << QVariantMap{{"denumire", "Cafea"}} << true;
    QTest::newRow("like suffix *")
        << "denumire LIKE '*FEA'" << QVariantMap{{"denumire", "Cafea"}} << true;
    QTest::newRow("like single _ ?")
        << "denumire like 'c_fe?'" << QVariantMap{{"denumire", "Cafea"}} << true;
    QTest::newRow("like too short")
        << "denumire like 'c_fe'" << QVariantMap{{"denumire", "Cafea"}} << false;
    QTest::newRow("like backtracks")
        << "denumire like '%a%a'" << QVariantMap{{"denumire", "lavazza"}} << true;
    QTest::newRow("like on null") << "denumire like '%'" << QVariantMap{{"denumire", nullText}}
                                  << false;

    QTest::newRow("date iso") << "data >= '2024-01-01'" << QVariantMap{{"data", QDate(2024, 3, 1)}}
                              << true;
    QTest::newRow("date dotted") << "data = '01.03.2024'"
                                 << QVariantMap{{"data", QDate(2024, 3, 1)}} << true;
    QTest::newRow("date-time") << "emis < '2024-03-01 12:00:00'"
                               << QVariantMap{{"emis", QDateTime(QDate(2024, 3, 1), QTime(10, 0))}}
                               << true;
    QTest::newRow("date vs date-time literal")
        << "data < '2024-03-01 00:00:01'" << QVariantMap{{"data", QDate(2024, 3, 1)}} << true;
}

void TestFilterExpr::matches()
{
    QFETCH(QString, expression);
    QFETCH(QVariantMap, row);
    QFETCH(bool, expected);

    const FilterExpr filter = FilterExpr::parse(expression);
    QVERIFY(!filter.isEmpty());
    QCOMPARE(matchesRow(filter, row), expected);
}

void TestFilterExpr::malformed_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("position");

    QTest::newRow("unterminated quote") << "denumire='Cafea" << 10;
    QTest::newRow("quote closed by doubled quote") << "denumire='O''" << 10;
    QTest::newRow("missing value") << "id_fact=" << 9;
    QTest::newRow("missing field") << "=5" << 1;
    QTest::newRow("missing operator") << "id_fact 5" << 9;
    QTest::newRow("dangling and") << "a=1 and" << 8;
    QTest::newRow("leading or") << "or a=1" << 1;
    QTest::newRow("missing close paren") << "(a=1 or b=2" << 12;
    QTest::newRow("extra close paren") << "a=1)" << 4;
    QTest::newRow("empty parens") << "()" << 2;
    QTest::newRow("two conditions without and") << "a=1 b=2" << 5;
    QTest::newRow("like without quotes") << "a like 5" << 8;
    QTest::newRow("is without null") << "a is 5" << 6;
    QTest::newRow("ordering with null") << "a < null" << 3;
    QTest::newRow("unknown character") << "a != 1" << 3;
    QTest::newRow("unclosed bracket") << "[a b = 1" << 1;
    QTest::newRow("malformed number") << "a = 12." << 5;
}

void TestFilterExpr::malformed()
{
    QFETCH(QString, expression);
    QFETCH(int, position);

    try {
        FilterExpr::parse(expression);
        QFAIL("no FilterSyntaxError");
    } catch (const FilterSyntaxError &e) {
        const QString message = QString::fromStdString(e.what());
        QVERIFY2(message.contains(QStringLiteral("position %1:").arg(position)), e.what());
    }
}

void TestFilterExpr::blankMatchesEverything()
{
    const FilterExpr filter = FilterExpr::parse(QStringLiteral(" \r\n\t"));
    QVERIFY(filter.isEmpty());
    QVERIFY(filter.fieldNames().isEmpty());
    QVERIFY(matchesRow(filter, {}));
    QVERIFY(FilterExpr().isEmpty());
    QVERIFY(matchesRow(FilterExpr(), {}));
}

void TestFilterExpr::unknownFieldThrowsOnMatch()
{
    // Thrown even where "a=1" alone would decide the row.
    const FilterExpr filter = FilterExpr::parse(QStringLiteral("a=1 or nume='x'"));
    try {
        matchesRow(filter, {{"a", 1}});
        QFAIL("no FilterSyntaxError");
    } catch (const FilterSyntaxError &e) {
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("unknown field: nume"));
    }
}

void TestFilterExpr::badDateLiteralThrowsOnDateField()
{
    const FilterExpr filter = FilterExpr::parse(QStringLiteral("data = '2024-13-01'"));
    QVERIFY_THROWS_EXCEPTION(FilterSyntaxError, matchesRow(filter, {{"data", QDate(2024, 1, 1)}}));
    // The same literal is ordinary text for a text column.
    QVERIFY(matchesRow(filter, {{"data", "2024-13-01"}}));
}

void TestFilterExpr::fieldNamesOnceEach()
{
    const FilterExpr filter =
        FilterExpr::parse(QStringLiteral("a=1 and (B=2 or A=3) and not [cod fiscal] is null"));
    QCOMPARE(filter.fieldNames(),
             QStringList({QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("cod fiscal")}));
}

QTEST_GUILESS_MAIN(TestFilterExpr)

#include "tst_filterexpr.moc"
