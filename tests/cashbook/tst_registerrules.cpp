#include "cashbook/registerrules.h"
#include "cashbook/sheets.h"
#include "cashfixture.h"
#include "db/dberror.h"

#include <QTest>

using cash::book;
using cash::lineOn;
using cash::sheetOn;

class TestRegisterRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesViewFollowsTheSheet();
    void editedOrDeletedLineRechainsTheSheetsAfterIt();
    void lineInAnotherCurrencyIsRefused();
    void deletedSheetTakesItsLinesAndRechains();
    void movedSheetTakesItsPlaceInTheChain();
};

namespace {

// Three sheets of January with a line on the first two, the views open on
// the first sheet.
struct January
{
    explicit January(Modules &m) : m(m)
    {
        CashRegisterRules::attach(m.rc);
        tenth = sheetOn(m, QDate(2026, 1, 10), 1, QStringLiteral("1000"));
        eleventh = sheetOn(m, QDate(2026, 1, 11), 2, QStringLiteral("1000"));
        twelfth = sheetOn(m, QDate(2026, 1, 12), 3, QStringLiteral("1000"));
        tenthLine = lineOn(m, tenth, QStringLiteral("100"), QStringLiteral("0"));
        lineOn(m, eleventh, QStringLiteral("0"), QStringLiteral("40"));
        sheets::reindexSheets(m.cnc(), tenth);
        sheets::openSheetsOfYear(m.rc.adoFisa, m.dm.companyId(), m.state.currentWorkPointId,
                                 QStringLiteral("RON"), 2026);
    }
    Modules &m;
    qint64 tenth = 0;
    qint64 eleventh = 0;
    qint64 twelfth = 0;
    qint64 tenthLine = 0;
};

const QStringList Rechained{QStringLiteral("10.01.2026 #1 1000.00+100.00-0.00=1100.00"),
                            QStringLiteral("11.01.2026 #2 1100.00+0.00-40.00=1060.00"),
                            QStringLiteral("12.01.2026 #3 1060.00+0.00-0.00=1060.00")};

} // namespace

void TestRegisterRules::linesViewFollowsTheSheet()
{
    Modules m;
    January jan(m);
    Dataset &lines = m.rc.adoDetaliiFisa;
    QCOMPARE(lines.recordCount(), 1);
    QCOMPARE(lines.asMoney(QStringLiteral("incasari")), Money::fromInt(100));
    m.rc.adoFisa.last();
    QVERIFY(lines.isOpen());
    QVERIFY(lines.isEmpty());
    m.rc.adoFisa.close();
    QVERIFY(!lines.isOpen());
}

void TestRegisterRules::editedOrDeletedLineRechainsTheSheetsAfterIt()
{
    Modules m;
    January jan(m);
    QCOMPARE(book(m), Rechained);
    Dataset &lines = m.rc.adoDetaliiFisa;
    lines.edit();
    lines.setValue(QStringLiteral("incasari"), cash::amount(QStringLiteral("300")));
    lines.post();
    QCOMPARE(book(m), (QStringList{QStringLiteral("10.01.2026 #1 1000.00+300.00-0.00=1300.00"),
                                   QStringLiteral("11.01.2026 #2 1300.00+0.00-40.00=1260.00"),
                                   QStringLiteral("12.01.2026 #3 1260.00+0.00-0.00=1260.00")}));
    // The sheets view shows it at once, still on the same sheet.
    QCOMPARE(m.rc.adoFisa.asInteger(QStringLiteral("id")), jan.tenth);
    QCOMPARE(m.rc.adoFisa.asMoney(QStringLiteral("Total")), Money::fromInt(1300));

    QVERIFY(lines.remove());
    QCOMPARE(book(m), (QStringList{QStringLiteral("10.01.2026 #1 1000.00+0.00-0.00=1000.00"),
                                   QStringLiteral("11.01.2026 #2 1000.00+0.00-40.00=960.00"),
                                   QStringLiteral("12.01.2026 #3 960.00+0.00-0.00=960.00")}));
    QCOMPARE(m.rc.adoFisa.asMoney(QStringLiteral("Total")), Money::fromInt(1000));
    QVERIFY(m.prompter.shown.isEmpty());
}

void TestRegisterRules::lineInAnotherCurrencyIsRefused()
{
    Modules m;
    January jan(m);
    Dataset &lines = m.rc.adoDetaliiFisa;
    lines.edit();
    lines.setValue(QStringLiteral("Moneda"), QStringLiteral("EUR"));
    QVERIFY_THROWS_EXCEPTION(SilentAbort, lines.post());
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Operatia este in EUR, iar fisa de casa in RON. "
                                        "Adaugati operatia pe o fisa in EUR.")});
    QCOMPARE(m.count(QStringLiteral("RegistrulCasaDetalii"), QStringLiteral("moneda='RON'")), 2);
}

void TestRegisterRules::deletedSheetTakesItsLinesAndRechains()
{
    Modules m;
    January jan(m);
    m.rc.adoFisa.locate(QStringLiteral("id"), jan.eleventh);
    QVERIFY(m.rc.adoFisa.remove());
    QCOMPARE(m.count(QStringLiteral("RegistrulCasaDetalii"), QStringLiteral("id_fisa=:s"),
                     {jan.eleventh}),
             0);
    QCOMPARE(book(m), (QStringList{QStringLiteral("10.01.2026 #1 1000.00+100.00-0.00=1100.00"),
                                   QStringLiteral("12.01.2026 #2 1100.00+0.00-0.00=1100.00")}));
    QCOMPARE(m.rc.adoFisa.recordCount(), 2);
    m.rc.adoFisa.last();
    QCOMPARE(m.rc.adoFisa.asInteger(QStringLiteral("NrFisa")), 2);

    // The first sheet goes: the next one opens the book with its own balance.
    m.rc.adoFisa.first();
    QVERIFY(m.rc.adoFisa.remove());
    QCOMPARE(book(m), QStringList{QStringLiteral("12.01.2026 #2 1100.00+0.00-0.00=1100.00")});
}

void TestRegisterRules::movedSheetTakesItsPlaceInTheChain()
{
    Modules m;
    January jan(m);
    Dataset &sheetsView = m.rc.adoFisa;
    sheetsView.locate(QStringLiteral("id"), jan.eleventh);
    sheetsView.edit();
    sheetsView.setValue(QStringLiteral("Data"), QDate(2026, 1, 12));
    QVERIFY_THROWS_EXCEPTION(SilentAbort, sheetsView.post());
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral(
                 "info: Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta.")});
    QCOMPARE(book(m), Rechained);

    sheetsView.setValue(QStringLiteral("Data"), QDate(2026, 1, 14));
    sheetsView.post();
    QCOMPARE(book(m), (QStringList{QStringLiteral("10.01.2026 #1 1000.00+100.00-0.00=1100.00"),
                                   QStringLiteral("12.01.2026 #2 1100.00+0.00-0.00=1100.00"),
                                   QStringLiteral("14.01.2026 #3 1100.00+0.00-40.00=1060.00")}));
}

QTEST_GUILESS_MAIN(TestRegisterRules)
#include "tst_registerrules.moc"
