#include "core/amountwords.h"

#include <QTest>

#include <limits>

class TestAmountWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void spellsAmount_data();
    void spellsAmount();
    void noWords_data();
    void noWords();
};

void TestAmountWords::spellsAmount_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("words");

    auto row = [](const char *amount, const char *code, const char *words) {
        QTest::addRow("%s %s", amount, code)
            << QString::fromLatin1(amount) << QString::fromLatin1(code)
            << QString::fromLatin1(words);
    };

    // Receipt examples.
    row("1", "RON", "unulei");
    row("12", "RON", "doisprezecelei");
    row("21", "RON", "douazecisiunulei");
    row("100", "RON", "unasutalei");
    row("123.45", "RON", "unasutadouazecisitreileisipatruzecisicincibani");
    row("1000", "RON", "unamielei");
    row("1500", "RON", "unamiecincisutelei");
    row("2000", "RON", "doimiilei");
    row("1000000", "RON", "unumilionlei");
    row("2345678", "RON", "doimiliontreisutepatruzecisicincimiisasesutesaptezecisioptlei");
    row("0.50", "RON", "sicincizecibani");
    row("10.01", "RON", "zeceleisiunubani");
    row("21.01", "EUR", "douazecisiuneursiuncen");
    row("1000", "EUR", "unmieeur");

    // Zeros, teens and group names.
    row("0", "RON", "");
    row("5.00", "RON", "cincilei");
    row("0.01", "RON", "siunubani");
    row("0.11", "RON", "siunsprezecebani");
    row("14", "RON", "paisprezecelei");
    row("20", "RON", "douazecilei");
    row("101", "RON", "unasutaunulei");
    row("110", "RON", "unasutazecelei");
    row("1001", "RON", "unamieunulei");
    row("11000", "RON", "unsprezecemiilei");
    row("21000", "RON", "douazecisiunumielei");
    row("100000", "RON", "unasutamiilei");
    row("2001000", "RON", "doimilionunamielei");
    row("12000000", "RON", "doisprezecemilioanelei");
    row("1000000000", "RON", "unumiliardlei");
    row("5000000000", "RON", "cincimiliardelei");
    row("999999999999.99", "RON",
        "nouasutenouazecisinouamiliardenouasutenouazecisinouamilioane"
        "nouasutenouazecisinouamiinouasutenouazecisinoualeisinouazecisinouabani");

    // "un" only in the units and thousands of euro amounts.
    row("1000001", "EUR", "unumilionuneur");
    row("21000", "EUR", "douazecisiunmieeur");

    // Codes are matched without regard to case.
    row("1", "eur", "uneur");
    row("2", "LEI", "doilei");
    row("3", "lei", "treilei");
    row("4", "Ron", "patrulei");

    // Hundredths are rounded first, halves away from zero, and carry into the whole part.
    row("1.999", "RON", "doilei");
    row("0.995", "RON", "unulei");
    row("2.675", "RON", "doileisisasezecisioptbani");
    row("9.995", "RON", "zecelei");
    row("999.999", "RON", "unamielei");
    row("0.004", "RON", "");

    // Negative amounts read as their absolute value.
    row("-7", "RON", "saptelei");
    row("-0.005", "RON", "siunubani");

    row("21.01", "USD", "douazecisiunuusdsiunucenti");
    row("1000", "usd", "unamieusd");
}

void TestAmountWords::spellsAmount()
{
    QFETCH(QString, amount);
    QFETCH(QString, code);
    QFETCH(QString, words);

    const std::optional<Money> money = Money::parse(amount);
    QVERIFY(money.has_value());
    const std::optional<QString> text = amountInWords(*money, code);
    QVERIFY(text.has_value());
    QCOMPARE(*text, words);
}

void TestAmountWords::noWords_data()
{
    QTest::addColumn<Money>("amount");
    QTest::addColumn<QString>("code");

    const int64_t trillion = 1'000'000'000'000;
    QTest::newRow("GBP") << Money::fromInt(1) << QStringLiteral("GBP");
    QTest::newRow("GBP zero") << Money() << QStringLiteral("GBP");
    QTest::newRow("empty code") << Money::fromInt(1) << QString();
    QTest::newRow("10^12") << Money::fromInt(trillion) << QStringLiteral("RON");
    QTest::newRow("-10^12") << Money::fromInt(-trillion) << QStringLiteral("EUR");
    QTest::newRow("rounds up to 10^12")
        << Money::fromUnits(trillion * Money::Scale - 50) << QStringLiteral("RON");
    QTest::newRow("largest") << Money::fromUnits(std::numeric_limits<int64_t>::max())
                             << QStringLiteral("RON");
    QTest::newRow("smallest") << Money::fromUnits(std::numeric_limits<int64_t>::min())
                              << QStringLiteral("RON");
}

void TestAmountWords::noWords()
{
    QFETCH(Money, amount);
    QFETCH(QString, code);

    QCOMPARE(amountInWords(amount, code), std::nullopt);
}

QTEST_GUILESS_MAIN(TestAmountWords)
#include "tst_amountwords.moc"
