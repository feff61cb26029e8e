#include "core/decimal.h"
#include "core/money.h"

#include <QTest>

#include <stdexcept>

class TestMoney : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseAndFormat_data();
    void parseAndFormat();
    void rejectsMalformedText();
    void fromDoubleReadsTheDecimalValue_data();
    void fromDoubleReadsTheDecimalValue();
    void roundsHalvesAwayFromZero_data();
    void roundsHalvesAwayFromZero();
    void timesIsDecimalExact_data();
    void timesIsDecimalExact();
    void mulDivRounds();
    void overflowIsReported();
    void roundDouble_data();
    void roundDouble();
};

void TestMoney::parseAndFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("whole") << "12" << qint64(120000) << "12.0000";
    QTest::newRow("fraction") << "1234.5" << qint64(12345000) << "1234.5000";
    QTest::newRow("negative") << "-0.0001" << qint64(-1) << "-0.0001";
    QTest::newRow("plus sign and blanks") << " +3.25 " << qint64(32500) << "3.2500";
    QTest::newRow("fifth decimal rounds up") << "0.00005" << qint64(1) << "0.0001";
    QTest::newRow("fifth decimal rounds away for negatives") << "-2.00005" << qint64(-20001) << "-2.0001";
    QTest::newRow("fifth decimal below half") << "2.00004999" << qint64(20000) << "2.0000";
    QTest::newRow("fifteen whole digits keep the decimals") << "100000000000000.0001"
                                                            << qint64(1000000000000000001) << "100000000000000.0001";
    QTest::newRow("leading point") << ".5" << qint64(5000) << "0.5000";
}

void TestMoney::parseAndFormat()
{
    QFETCH(QString, text);
    QFETCH(qint64, units);
    QFETCH(QString, formatted);
    const auto m = Money::parse(text);
    QVERIFY(m.has_value());
    QCOMPARE(m->units(), units);
    QCOMPARE(m->toString(), formatted);
}

void TestMoney::rejectsMalformedText()
{
    for (const char *bad : {"", "-", ".", "1,5", "12a", "1.2.3", "1e5", "99999999999999999999"})
        QVERIFY2(!Money::parse(QString::fromLatin1(bad)).has_value(), bad);
}

void TestMoney::fromDoubleReadsTheDecimalValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("units");
    QTest::newRow("2.675") << 2.675 << qint64(26750);
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << qint64(3000);
    QTest::newRow("1.00005") << 1.00005 << qint64(10001);
    QTest::newRow("-1.00005") << -1.00005 << qint64(-10001);
    QTest::newRow("tiny") << 1e-9 << qint64(0);
    QTest::newRow("large") << 123456789012.3456 << qint64(1234567890123456);
}

void TestMoney::fromDoubleReadsTheDecimalValue()
{
    QFETCH(double, value);
    QFETCH(qint64, units);
    QCOMPARE(Money::fromDouble(value).units(), units);
}

void TestMoney::roundsHalvesAwayFromZero_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("2.675 to 2") << "2.675" << 2 << "2.68";
    QTest::newRow("-2.675 to 2") << "-2.675" << 2 << "-2.68";
    QTest::newRow("-0.5 to 0") << "-0.5" << 0 << "-1";
    QTest::newRow("1.49 to 0") << "1.49" << 0 << "1";
    QTest::newRow("2.4999 to 0") << "2.4999" << 0 << "2";
    QTest::newRow("1.005 to 2") << "1.005" << 2 << "1.01";
    QTest::newRow("0.0449 to 2") << "0.0449" << 2 << "0.04";
    QTest::newRow("9.995 to 2 carries") << "9.995" << 2 << "10.00";
}

void TestMoney::roundsHalvesAwayFromZero()
{
    QFETCH(QString, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(Money::parse(value)->rounded(decimals).toString(decimals), expected);
}

void TestMoney::timesIsDecimalExact_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("expected");
    QTest::newRow("price by a decimal quantity") << "10.1" << 3.3 << "33.3300";
    QTest::newRow("VAT of 21 percent") << "12.35" << 0.21 << "2.5935";
    QTest::newRow("half of the fifth decimal") << "0.0001" << 0.5 << "0.0001";
    QTest::newRow("negative half") << "-0.0001" << 0.5 << "-0.0001";
    QTest::newRow("negative factor") << "100" << -1.5 << "-150.0000";
    QTest::newRow("big by big") << "900000000" << 1000.5 << "900450000000.0000";
}

void TestMoney::timesIsDecimalExact()
{
    QFETCH(QString, amount);
    QFETCH(double, factor);
    QFETCH(QString, expected);
    QCOMPARE(Money::parse(amount)->times(factor).toString(), expected);
}

void TestMoney::mulDivRounds()
{
    QCOMPARE(Money::fromInt(10).mulDiv(1, 3).toString(), QStringLiteral("3.3333"));
    QCOMPARE(Money::fromInt(20).mulDiv(1, 3).toString(), QStringLiteral("6.6667"));
    QCOMPARE(Money::fromInt(-20).mulDiv(1, 3).toString(), QStringLiteral("-6.6667"));
    // Beyond 64 bits in the middle of the computation.
    QCOMPARE(Money::fromInt(900000000000).mulDiv(7000000000, 7000000000).toString(),
             QStringLiteral("900000000000.0000"));
}

void TestMoney::overflowIsReported()
{
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, Money::fromDouble(1e20));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, Money::fromInt(900000000000).times(1e6));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, Money::fromUnits(INT64_MAX).rounded(0));
}

void TestMoney::roundDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.675") << 2.675 << 2 << 2.68;
    QTest::newRow("1.005") << 1.005 << 2 << 1.01;
    QTest::newRow("-1.005") << -1.005 << 2 << -1.01;
    QTest::newRow("0.285") << 0.285 << 2 << 0.29;
    QTest::newRow("-2.5") << -2.5 << 0 << -3.0;
    QTest::newRow("1.23456 to 4") << 1.23456 << 4 << 1.2346;
    QTest::newRow("huge stays") << 1e300 << 2 << 1e300;
}

void TestMoney::roundDouble()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(decimal::roundDouble(value, decimals), expected);
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
