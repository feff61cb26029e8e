#include "core/rounding.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "support/modules.h"

#include <QTest>

#include <rapidcheck.h>

namespace {

// The decimal m / 10^s rounded to n places, halves away from zero, as text:
// worked out on integers, independently of the code under test.
QString exactRound(qint64 m, int s, int n)
{
    const bool negative = m < 0;
    quint64 mag = negative ? quint64(-m) : quint64(m);
    quint64 scaled = mag;
    if (n < s) {
        quint64 div = 1;
        for (int i = n; i < s; ++i)
            div *= 10;
        const quint64 q = mag / div;
        const quint64 r = mag % div;
        scaled = q + (2 * r >= div ? 1 : 0);
    } else {
        for (int i = s; i < n; ++i)
            scaled *= 10;
    }
    QString digits = QString::number(scaled).rightJustified(n + 1, u'0');
    QString out = n > 0 ? digits.left(digits.size() - n) + u'.' + digits.right(n) : digits;
    if (negative && scaled != 0)
        out.prepend(u'-');
    return out;
}

QString decimalText(qint64 m, int s)
{
    const bool negative = m < 0;
    QString digits = QString::number(negative ? -m : m).rightJustified(s + 1, u'0');
    QString out = s > 0 ? digits.left(digits.size() - s) + u'.' + digits.right(s) : digits;
    return negative ? u'-' + out : out;
}

} // namespace

class TestUtil : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundToIsExactDecimalRounding();
    void roundToWorkedValues_data();
    void roundToWorkedValues();
    void defaultCurrencyFallsBackToRon();
    void searchClients_data();
    void searchClients();
    void searchFindsTheOwnCompanyAsBuyer();
    void sortByColumnToggles();
    void pickListWarnsWithoutADefault();
    void paymentRecordIsWrittenWithItsTypes();
    void decimalKey();
};

void TestUtil::roundToIsExactDecimalRounding()
{
    const bool ok = rc::check("roundTo matches exact decimal rounding", [] {
        const qint64 m = *rc::gen::inRange<qint64>(-1'000'000'000'000, 1'000'000'000'000);
        const int s = *rc::gen::inRange(0, 7);
        const int n = *rc::gen::inRange(0, 5);
        const double x = decimalText(m, s).toDouble();
        const double rounded = roundTo(n, x);
        RC_ASSERT(QString::number(rounded, 'f', n) == exactRound(m, s, n));
        // The same on money, where the value is exact to four decimals.
        if (s <= 4) {
            const Money money = *Money::parse(decimalText(m, s));
            RC_ASSERT(roundTo(n, money).toString(n) == exactRound(m, s, n));
        }
    });
    QVERIFY(ok);
    // Exact halves, which the random values rarely hit.
    const bool halves = rc::check("halves go away from zero", [] {
        const qint64 whole = *rc::gen::inRange<qint64>(-100'000'000, 100'000'000);
        const int n = *rc::gen::inRange(0, 4);
        const qint64 m = whole * 10 + (whole < 0 ? -5 : 5);
        RC_ASSERT(QString::number(roundTo(n, decimalText(m, n + 1).toDouble()), 'f', n) == exactRound(m, n + 1, n));
    });
    QVERIFY(halves);
}

void TestUtil::roundToWorkedValues_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.675") << 2.675 << 2 << 2.68;
    QTest::newRow("-2.675") << -2.675 << 2 << -2.68;
    QTest::newRow("0.5") << 0.5 << 0 << 1.0;
    QTest::newRow("1.49") << 1.49 << 0 << 1.0;
    QTest::newRow("-0.5") << -0.5 << 0 << -1.0;
    QTest::newRow("-1.5") << -1.5 << 0 << -2.0;
    QTest::newRow("2.4999") << 2.4999 << 0 << 2.0;
}

void TestUtil::roundToWorkedValues()
{
    QFETCH(double, x);
    QFETCH(int, n);
    QFETCH(double, expected);
    QCOMPARE(roundTo(n, x), expected);
    if (n == 0)
        QCOMPARE(double(roundHalfAway(x)), expected);
}

void TestUtil::defaultCurrencyFallsBackToRon()
{
    Modules m;
    QCOMPARE(defaultCurrency(m.cnc()).code, QStringLiteral("RON"));
    m.cnc().exec(QStringLiteral("update Monede set bifadefault=false"));
    const CurrencyInfo none = defaultCurrency(m.cnc());
    QCOMPARE(none.code, QStringLiteral("RON"));
    QCOMPARE(none.decimals, 2);
    m.cnc().exec(QStringLiteral("update Monede set bifadefault=true, nrzecimale=3 where codiso='EUR'"));
    QCOMPARE(defaultCurrency(m.cnc()).code, QStringLiteral("EUR"));
    QCOMPARE(defaultCurrency(m.cnc()).decimals, 3);
}

void TestUtil::searchClients_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("roleFilter");
    QTest::addColumn<bool>("supplier");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("apostrophe") << "O'Brien" << false << false << QStringList{"O'BRIEN SRL"};
    QTest::newRow("percent is literal") << "100%" << false << false << QStringList{"100% BIO"};
    QTest::newRow("underscore is literal") << "A_B" << false << false << QStringList{"A_B COM"};
    QTest::newRow("case does not matter") << "brien" << false << false << QStringList{"O'BRIEN SRL"};
    QTest::newRow("clients only") << "SRL" << true << false << QStringList{"O'BRIEN SRL"};
    QTest::newRow("suppliers only") << "SRL" << true << true << QStringList{"FURNIZOR SRL"};
    QTest::newRow("every partner") << "SRL" << false << false << QStringList{"FIRMA MEA SRL", "FURNIZOR SRL", "O'BRIEN SRL"};
    QTest::newRow("injection stays text") << "' or 1=1 --" << false << false << QStringList{};
}

void TestUtil::searchClients()
{
    QFETCH(QString, text);
    QFETCH(bool, roleFilter);
    QFETCH(bool, supplier);
    QFETCH(QStringList, found);
    Modules m;
    m.addPartner(QStringLiteral("O'BRIEN SRL"));
    m.addPartner(QStringLiteral("100% BIO"));
    m.addPartner(QStringLiteral("A_B COM"));
    m.addPartner(QStringLiteral("AXB COM"));
    m.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    // A partner of another company is never found.
    m.cnc().insert(QStringLiteral("Clienti"), {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("client")},
                   {m.dm.companyId() + 100, QStringLiteral("ALTA O'BRIEN SRL"), true});
    ::searchClients(m.dm.adoClienti, QStringLiteral("NumeFirma"), roleFilter, SearchOperator::Contains, supplier, text,
                    m.dm.companyId());
    QStringList names;
    for (m.dm.adoClienti.first(); !m.dm.adoClienti.eof(); m.dm.adoClienti.next())
        names << m.dm.adoClienti.asString(QStringLiteral("NumeFirma"));
    QCOMPARE(names, found);
}

void TestUtil::searchFindsTheOwnCompanyAsBuyer()
{
    Modules m;
    const QString own = m.dm.adoSetari.asString(QStringLiteral("NumeFirma"));
    ::searchClients(m.dm.adoClienti, QStringLiteral("NumeFirma"), false, SearchOperator::Equals, false, own,
                    m.dm.companyId());
    QCOMPARE(m.dm.adoClienti.recordCount(), 1);
    QCOMPARE(m.dm.adoClienti.asInteger(QStringLiteral("id")), m.dm.companyId());
    QCOMPARE(m.state.currentClientId, m.dm.companyId());
    QVERIFY_THROWS_EXCEPTION(DbError, ::searchClients(m.dm.adoClienti, QStringLiteral("NumeFirma; drop table x"), false,
                                                      SearchOperator::Equals, false, own, m.dm.companyId()));
}

void TestUtil::sortByColumnToggles()
{
    Modules m;
    m.addPartner(QStringLiteral("B"));
    m.addPartner(QStringLiteral("A"));
    m.dm.adoClienti.setParam(0, m.dm.companyId());
    m.dm.adoClienti.open();
    bool ascending = true;
    sortByColumn(m.dm.adoClienti, QStringLiteral("NumeFirma"), ascending, m.prompter);
    m.dm.adoClienti.first();
    QCOMPARE(m.dm.adoClienti.asString(QStringLiteral("NumeFirma")), QStringLiteral("A"));
    QVERIFY(!ascending);
    sortByColumn(m.dm.adoClienti, QStringLiteral("NumeFirma"), ascending, m.prompter);
    m.dm.adoClienti.first();
    QCOMPARE(m.dm.adoClienti.asString(QStringLiteral("NumeFirma")), QStringLiteral("FIRMA MEA SRL"));
    QVERIFY(ascending);
    sortByColumn(m.dm.adoClienti, QStringLiteral("NuExista"), ascending, m.prompter);
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("error: Eroare la sortare:NuExista")});
}

void TestUtil::pickListWarnsWithoutADefault()
{
    Modules m;
    Dataset currencies(m.cnc(), QStringLiteral("Select * from Monede Order By BifaDefault desc, Ordine ASC"));
    QList<PickItem> items = fillPickList(currencies, QStringLiteral("CodIso"), QStringLiteral("ID"), m.prompter);
    QCOMPARE(items.size(), 3);
    QCOMPARE(items.first().text, QStringLiteral("RON"));
    QVERIFY(items.first().object.has_value());
    QVERIFY(m.prompter.shown.isEmpty());
    Dataset units(m.cnc(), QStringLiteral("Select * from UM order by UM"));
    items = fillPickList(units, QStringLiteral("UM"), QString(), m.prompter);
    QCOMPARE(items.first().text, QStringLiteral("%"));
    QVERIFY(!items.first().object.has_value());
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Nu ati selectat nici o valoare implicita in setari pentru UM")});
}

void TestUtil::paymentRecordIsWrittenWithItsTypes()
{
    Modules m;
    PaymentRecord r;
    r.idFact = 12;
    r.idCumparator = 34;
    r.data = QDateTime(QDate(2026, 12, 11), QTime(0, 0));
    r.modPlata = QStringLiteral("Chitanta");
    r.suma = *Money::parse(QStringLiteral("1234.56"));
    r.sumaLiteral = QStringLiteral("unamiedouasutetreizecisipatruleisicincizecisisasebani");
    r.nrChit = 7;
    r.seria = QStringLiteral("CHT");
    r.moneda = QStringLiteral("RON");
    r.curs = 1;
    r.idFirma = m.dm.companyId();
    r.sumaMM = r.suma;
    r.monedaMM = QStringLiteral("RON");
    r.idPunctLucru = m.state.currentWorkPointId;
    const qint64 id = insertPaymentRecord(m.cnc(), QStringLiteral("Incasari"), r);
    Dataset ds(m.cnc(), QStringLiteral("select * from Incasari where id=:id"));
    ds.setParam(0, id);
    ds.open();
    QCOMPARE(ds.asMoney(QStringLiteral("Suma")).toString(2), QStringLiteral("1234.56"));
    QCOMPARE(ds.asDate(QStringLiteral("Data")), QDate(2026, 12, 11));
    QCOMPARE(ds.asInteger(QStringLiteral("NrChit")), 7);
    QCOMPARE(ds.asInteger(QStringLiteral("Anulata")), 0);
    QVERIFY_THROWS_EXCEPTION(DbError, insertPaymentRecord(m.cnc(), QStringLiteral("Clienti"), r));
}

void TestUtil::decimalKey()
{
    QCOMPARE(normaliseDecimalKey(QStringLiteral("."), u','), QStringLiteral(","));
    QCOMPARE(normaliseDecimalKey(QStringLiteral("."), u'.'), QStringLiteral("."));
    QCOMPARE(normaliseDecimalKey(QStringLiteral("5"), u','), QStringLiteral("5"));
}

QTEST_GUILESS_MAIN(TestUtil)
#include "tst_util.moc"
