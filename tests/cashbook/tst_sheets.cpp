#include "cashbook/sheets.h"
#include "cashfixture.h"
#include "db/dberror.h"

#include <QTest>

using cash::book;
using cash::lineOn;
using cash::sheetOn;

class TestSheets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstSheetAsksBalanceAndNumber_data();
    void firstSheetAsksBalanceAndNumber();
    void secondSheetOfTheDayIsRefused();
    void newYearCarriesTheBalanceAndAsksTheNumber();
    void backDatedSheetTakesItsPlaceInTheChain();
    void reindexCarriesOverTheYearEnd();
    void failedReindexChangesNothing();
    void onlyLinesOfTheSheetCurrencyCount();
    void lineOnDayCreatesItsSheet();
    void lineOnDayIsAllOrNothing();
};

namespace {

const QString NoSheetYet =
    QStringLiteral("info: Nu aveti inregistrari in RON registrul de casa, de aceea in fereastra "
                   "urmatoare introduceti soldul initial "
                   "de la care incepeti.");
const QString BalanceBox = QStringLiteral(
    "input: Soldul initial inRON / Introduceti soldul initial in RON (de ex: 1000) [1000]");
const QString NoSheetThisYear =
    QStringLiteral("info: Nu aveti inregistrari in RON registrul de casa pe acest an, de aceea in "
                   "fereastra urmatoare introduceti nr "
                   "de fisa cu care incepeti.");
const QString NumberBox = QStringLiteral("input: Nr de fisa cu care incepeti / Introduceti numarul "
                                         "de fisa de la care incepeti (de ex: 12) [1]");
const QString Added = QStringLiteral("info: Fisa introdusa.");
const QString Cancel = QStringLiteral("<cancel>");

TMonedaPlata ron()
{
    return {QStringLiteral("RON"), 2};
}

std::optional<qint64> addSheet(Modules &m, QDate day, const QStringList &answers = {})
{
    for (const QString &a : answers)
        m.prompter.inputs.enqueue(a == Cancel ? std::nullopt : std::optional<QString>(a));
    return sheets::addSheet(m.cnc(), m.prompter, m.dm.companyId(), m.state.currentWorkPointId,
                            ron(), day);
}

sheets::RegisterLine line(const QString &in, const QString &out,
                          const QString &currency = QStringLiteral("RON"))
{
    sheets::RegisterLine l;
    l.nrActCasa = QStringLiteral("CHT-7");
    l.explicatii = QStringLiteral("Client SRL factura 12");
    l.incasari = Money::parse(in).value();
    l.plati = Money::parse(out).value();
    l.currency = {currency, 2};
    return l;
}

} // namespace

void TestSheets::firstSheetAsksBalanceAndNumber_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("expectedBook");
    QTest::addColumn<QStringList>("expectedShown");
    QTest::addColumn<bool>("throws");

    QTest::newRow("typed") << QStringList{QStringLiteral("1500,5"), QStringLiteral("7")}
                           << QStringList{QStringLiteral("02.03.2026 #7 1500.50+0.00-0.00=1500.50")}
                           << QStringList{NoSheetYet, BalanceBox, NoSheetThisYear, NumberBox, Added}
                           << false;
    // Nothing is made up when a question is cancelled.
    QTest::newRow("balance cancelled")
        << QStringList{Cancel} << QStringList{} << QStringList{NoSheetYet, BalanceBox} << false;
    QTest::newRow("number cancelled")
        << QStringList{QStringLiteral("1000"), Cancel} << QStringList{}
        << QStringList{NoSheetYet, BalanceBox, NoSheetThisYear, NumberBox} << false;
    QTest::newRow("balance not a number") << QStringList{QStringLiteral("o mie")} << QStringList{}
                                          << QStringList{NoSheetYet, BalanceBox} << true;
    QTest::newRow("number not a number")
        << QStringList{QStringLiteral("1000"), QStringLiteral("x")} << QStringList{}
        << QStringList{NoSheetYet, BalanceBox, NoSheetThisYear, NumberBox} << true;
}

void TestSheets::firstSheetAsksBalanceAndNumber()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, expectedBook);
    QFETCH(QStringList, expectedShown);
    QFETCH(bool, throws);
    Modules m;
    bool thrown = false;
    try {
        const std::optional<qint64> id = addSheet(m, QDate(2026, 3, 2), answers);
        QCOMPARE(id.has_value(), !expectedBook.isEmpty());
    } catch (const DbError &e) {
        thrown = true;
        QCOMPARE(e.className(), QStringLiteral("EConvertError"));
    }
    QCOMPARE(thrown, throws);
    QCOMPARE(book(m), expectedBook);
    QCOMPARE(m.prompter.shown, expectedShown);
}

void TestSheets::secondSheetOfTheDayIsRefused()
{
    Modules m;
    const QDate day(2026, 3, 2);
    sheetOn(m, day, 4, QStringLiteral("100"));
    QVERIFY(!addSheet(m, day));
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral(
                 "info: Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta.")});
    QCOMPARE(book(m).size(), 1);
}

void TestSheets::newYearCarriesTheBalanceAndAsksTheNumber()
{
    Modules m;
    const qint64 december = sheetOn(m, QDate(2025, 12, 30), 250, QStringLiteral("1000"));
    lineOn(m, december, QStringLiteral("200"), QStringLiteral("50.25"));
    sheets::recomputeSheet(m.cnc(), december);
    QVERIFY(addSheet(m, QDate(2026, 1, 2), {QStringLiteral("1")}));
    QCOMPARE(m.prompter.shown, (QStringList{NoSheetThisYear, NumberBox, Added}));
    QCOMPARE(book(m), (QStringList{QStringLiteral("30.12.2025 #250 1000.00+200.00-50.25=1149.75"),
                                   QStringLiteral("02.01.2026 #1 1149.75+0.00-0.00=1149.75")}));
}

void TestSheets::backDatedSheetTakesItsPlaceInTheChain()
{
    Modules m;
    sheetOn(m, QDate(2025, 12, 31), 250, QStringLiteral("900"));
    const qint64 tenth = sheetOn(m, QDate(2026, 1, 10), 1, QStringLiteral("900"));
    const qint64 twentieth = sheetOn(m, QDate(2026, 1, 20), 2, QStringLiteral("900"));
    lineOn(m, tenth, QStringLiteral("100"), QStringLiteral("0"));
    lineOn(m, twentieth, QStringLiteral("0"), QStringLiteral("30"));
    sheets::reindexSheets(m.cnc(), tenth);

    // Between two sheets of the year: the next number, and the later sheet
    // moves on by one.
    QVERIFY(addSheet(m, QDate(2026, 1, 15)));
    QCOMPARE(m.prompter.shown, QStringList{Added});
    // Before the year's first sheet: its number is asked for.
    QVERIFY(addSheet(m, QDate(2026, 1, 5), {QStringLiteral("1")}));
    QCOMPARE(book(m), (QStringList{QStringLiteral("31.12.2025 #250 900.00+0.00-0.00=900.00"),
                                   QStringLiteral("05.01.2026 #1 900.00+0.00-0.00=900.00"),
                                   QStringLiteral("10.01.2026 #2 900.00+100.00-0.00=1000.00"),
                                   QStringLiteral("15.01.2026 #3 1000.00+0.00-0.00=1000.00"),
                                   QStringLiteral("20.01.2026 #4 1000.00+0.00-30.00=970.00")}));
}

void TestSheets::reindexCarriesOverTheYearEnd()
{
    Modules m;
    const qint64 dec30 = sheetOn(m, QDate(2025, 12, 30), 250, QStringLiteral("1000"));
    const qint64 dec31 = sheetOn(m, QDate(2025, 12, 31), 251, QStringLiteral("1000"));
    const qint64 jan2 = sheetOn(m, QDate(2026, 1, 2), 1, QStringLiteral("1000"));
    sheetOn(m, QDate(2026, 1, 3), 9, QStringLiteral("1000"));
    lineOn(m, dec30, QStringLiteral("300"), QStringLiteral("0"));
    lineOn(m, dec31, QStringLiteral("0"), QStringLiteral("120.5"));
    lineOn(m, jan2, QStringLiteral("10"), QStringLiteral("0"));
    sheets::reindexSheets(m.cnc(), dec30);
    // The year's first sheet keeps the number it was given; the ones after
    // it follow it.
    QCOMPARE(book(m), (QStringList{QStringLiteral("30.12.2025 #250 1000.00+300.00-0.00=1300.00"),
                                   QStringLiteral("31.12.2025 #251 1300.00+0.00-120.50=1179.50"),
                                   QStringLiteral("02.01.2026 #1 1179.50+10.00-0.00=1189.50"),
                                   QStringLiteral("03.01.2026 #2 1189.50+0.00-0.00=1189.50")}));
    QVERIFY(m.prompter.shown.isEmpty());
}

void TestSheets::failedReindexChangesNothing()
{
    Modules m;
    const qint64 dec31 = sheetOn(m, QDate(2025, 12, 31), 251, QStringLiteral("1000"));
    const qint64 jan2 = sheetOn(m, QDate(2026, 1, 2), 1, QStringLiteral("1000"));
    sheetOn(m, QDate(2026, 1, 3), 2, QStringLiteral("1000"));
    lineOn(m, dec31, QStringLiteral("300"), QStringLiteral("0"));
    cash::blockUpdatesOf(m, jan2);
    const QStringList before = book(m);
    QVERIFY_THROWS_EXCEPTION(DbError, sheets::reindexSheets(m.cnc(), dec31));
    QCOMPARE(book(m), before);
}

void TestSheets::onlyLinesOfTheSheetCurrencyCount()
{
    Modules m;
    const qint64 first = sheetOn(m, QDate(2026, 2, 2), 1, QStringLiteral("1000"));
    sheetOn(m, QDate(2026, 2, 3), 2, QStringLiteral("1000"));
    // A line in another currency is refused...
    QVERIFY_THROWS_EXCEPTION(SilentAbort,
                             sheets::addRegisterLine(m.cnc(), m.prompter, first,
                                                     line(QStringLiteral("50"), QStringLiteral("0"),
                                                          QStringLiteral("EUR"))));
    QCOMPARE(m.prompter.shown,
             QStringList{QStringLiteral("info: Operatia este in EUR, iar fisa de casa in RON. "
                                        "Adaugati operatia pe o fisa in EUR.")});
    QCOMPARE(m.count(QStringLiteral("RegistrulCasaDetalii")), 0);
    // ...and one already there from before is not counted.
    lineOn(m, first, QStringLiteral("70"), QStringLiteral("0"), QStringLiteral("EUR"));
    sheets::addRegisterLine(m.cnc(), m.prompter, first,
                            line(QStringLiteral("0"), QStringLiteral("250")));
    QCOMPARE(book(m), (QStringList{QStringLiteral("02.02.2026 #1 1000.00+0.00-250.00=750.00"),
                                   QStringLiteral("03.02.2026 #2 750.00+0.00-0.00=750.00")}));
}

void TestSheets::lineOnDayCreatesItsSheet()
{
    Modules m;
    m.prompter.inputs << QStringLiteral("1000") << QStringLiteral("1");
    sheets::RegisterLine collected = line(QStringLiteral("120"), QStringLiteral("0"));
    collected.source = sheets::RegisterLine::Source{m.dm.companyId(), 41};
    const std::optional<qint64> id =
        sheets::addRegisterLineOnDay(m.cnc(), m.prompter, m.dm.companyId(),
                                     m.state.currentWorkPointId, QDate(2026, 4, 1), collected);
    QVERIFY(id);
    QCOMPARE(m.prompter.shown,
             (QStringList{NoSheetYet, BalanceBox, NoSheetThisYear, NumberBox, Added}));
    QCOMPARE(book(m), QStringList{QStringLiteral("01.04.2026 #1 1000.00+120.00-0.00=1120.00")});
    QCOMPARE(m.count(QStringLiteral("RegistrulCasaDetalii"),
                     QStringLiteral(
                         "id=:id and id_firma=:f and id_incasare_Vorlesk=41 and nractcasa='CHT-7'"),
                     {*id, m.dm.companyId()}),
             1);

    // The day has its sheet now: no more questions.
    m.prompter.shown.clear();
    QVERIFY(sheets::addRegisterLineOnDay(m.cnc(), m.prompter, m.dm.companyId(),
                                         m.state.currentWorkPointId, QDate(2026, 4, 1),
                                         line(QStringLiteral("0"), QStringLiteral("20"))));
    QVERIFY(m.prompter.shown.isEmpty());
    QCOMPARE(book(m), QStringList{QStringLiteral("01.04.2026 #1 1000.00+120.00-20.00=1100.00")});
}

void TestSheets::lineOnDayIsAllOrNothing()
{
    Modules m;
    // Cancelled questions: no sheet, no line.
    m.prompter.inputs << std::nullopt;
    QVERIFY(!sheets::addRegisterLineOnDay(m.cnc(), m.prompter, m.dm.companyId(),
                                          m.state.currentWorkPointId, QDate(2026, 4, 1),
                                          line(QStringLiteral("120"), QStringLiteral("0"))));
    QCOMPARE(m.count(QStringLiteral("RegistruCasaSold")), 0);

    // A line that cannot be written takes its new sheet with it, and the
    // sheet is not announced.
    m.cnc().exec(QStringLiteral("create trigger block_line before insert on RegistrulCasaDetalii "
                                "begin select raise(abort, 'disc plin'); end"));
    m.prompter.shown.clear();
    m.prompter.inputs << QStringLiteral("1000") << QStringLiteral("1");
    QVERIFY_THROWS_EXCEPTION(
        DbError, sheets::addRegisterLineOnDay(m.cnc(), m.prompter, m.dm.companyId(),
                                              m.state.currentWorkPointId, QDate(2026, 4, 1),
                                              line(QStringLiteral("120"), QStringLiteral("0"))));
    QCOMPARE(m.count(QStringLiteral("RegistruCasaSold")), 0);
    QVERIFY(!m.prompter.shown.contains(Added));
}

QTEST_GUILESS_MAIN(TestSheets)
#include "tst_sheets.moc"
