#include "db/dataset.h"
#include "stock/supplierdocs.h"
#include "stock/supplierpage.h"
#include "reports/reportengine.h"
#include "support/modules.h"
#include "widgets/dbgrid.h"
#include "widgets/picklistcombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace supplierdocs;

namespace {

Money m(const char *t)
{
    return *Money::parse(QString::fromLatin1(t));
}

qint64 warehouseOf(Modules &mod)
{
    return mod.cnc().scalar(QStringLiteral("select min(id) from SubcategoriiStocuri where id_categorie=:w"),
                            {mod.state.currentWorkPointId}).toLongLong();
}

Header header(Modules &mod, int kind = 0, bool goods = true)
{
    Header h;
    h.kind = kind;
    h.goods = goods;
    h.warehouseId = goods ? warehouseOf(mod) : -1;
    h.series = QStringLiteral("FZ");
    h.number = QStringLiteral("1234");
    h.date = QDateTime(QDate(2026, 12, 1), QTime(9, 30));
    h.dueDate = QDate(2026, 12, 31);
    h.mentionText = QStringLiteral("Cu TVA");
    h.workPointId = mod.state.currentWorkPointId;
    return h;
}

Line line(const QString &name, const char *price, double quantity, const QString &currency = QStringLiteral("RON"),
          const char *rate = "1")
{
    Line l;
    l.name = name;
    l.unit = QStringLiteral("buc");
    l.price = m(price);
    l.quantity = quantity;
    l.vatRate = m("21");
    l.currencyIn = currency;
    l.rateIn = m(rate);
    l.currencyOut = currency;
    l.amounts = recalcInputPrices(l.price, quantity, l.vatRate, 2, false, Money(), Money(), 2);
    return l;
}

// The page on its lines step, with a supplier chosen and a header filled in,
// or set to add lines to the supplier's documents.
void toLinesStep(SupplierPage &page, bool modifying = false)
{
    page.show();
    QTest::keyClicks(page.searchName(), QStringLiteral("furnizor"));
    QTest::keyClick(page.searchName(), Qt::Key_Return);
    QTest::mouseClick(page.nextFromSupplier(), Qt::LeftButton);
    if (modifying) {
        page.mode()->setCurrentIndex(1);
    } else {
        QTest::keyClicks(page.series(), QStringLiteral("FI"));
        QTest::keyClicks(page.number(), QStringLiteral("88"));
    }
    QTest::mouseClick(page.nextFromHeader(), Qt::LeftButton);
}

// Two goods invoices of one supplier, the older with two lines.
struct TwoDocuments
{
    qint64 older = 0, newer = 0;
};

TwoDocuments twoDocuments(Modules &mod, qint64 supplier)
{
    TwoDocuments docs;
    Workspace ws(mod.dm);
    ws.selectSupplier(supplier);
    Header h = header(mod);
    h.date = QDateTime(QDate(2026, 11, 2), QTime(10, 0));
    ws.setHeader(h);
    ws.addLine(line(QStringLiteral("Cafea"), "10", 2));
    ws.addLine(line(QStringLiteral("Zahar"), "4", 5));
    docs.older = ws.documentId();
    ws.startNewDocument();
    h.number = QStringLiteral("1300");
    h.date = QDateTime(QDate(2026, 11, 20), QTime(10, 0));
    ws.setHeader(h);
    ws.addLine(line(QStringLiteral("Ceai"), "7", 3));
    docs.newer = ws.documentId();
    return docs;
}

QStringList shownNames(const DbGrid *grid)
{
    QStringList names;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        names << grid->model()->index(r, 0).data().toString();
    return names;
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

} // namespace

class TestSupplierDocs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inputAndSalePrices_data();
    void inputAndSalePrices();
    void headerChecks();
    void noHeaderWithoutSeriesAndNumber_data();
    void noHeaderWithoutSeriesAndNumber();
    void nextFollowsSeriesAndNumber();
    void linesFollowTheDocumentList();
    void newDocumentIsListedAlone();
    void firstLineWritesTheHeaderOnce();
    void servicesNeverTouchStock();
    void foreignLineIsValuedInTheMainCurrency();
    void ratesTypedOnThePage_data();
    void ratesTypedOnThePage();
    void soldLotsStay();
    void supplierRoundingIsKept_data();
    void supplierRoundingIsKept();
    void typedAmountNotANumber_data();
    void typedAmountNotANumber();
    void priceAndQuantityProposeAmounts();
    void pageWalkthrough();
};

void TestSupplierDocs::inputAndSalePrices_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QStringList>("expected"); // pu, value, vat, total, puOut, valueOut, vatOut, totalOut
    QTest::newRow("without a sale price") << "10.125" << 3.0 << QString()
                                          << QStringList{"10.13", "30.39", "6.38", "36.77", "0.00", "0.00", "0.00", "0.00"};
    QTest::newRow("with a 25% mark-up") << "10.125" << 3.0 << "25"
                                        << QStringList{"10.13", "30.39", "6.38", "36.77", "12.66", "37.98", "7.98", "45.96"};
}

void TestSupplierDocs::inputAndSalePrices()
{
    QFETCH(QString, price);
    QFETCH(double, quantity);
    QFETCH(QString, markup);
    QFETCH(QStringList, expected);
    const bool sale = !markup.isEmpty();
    const LineAmounts a = recalcInputPrices(*Money::parse(price), quantity, m("21"), 2, sale,
                                            sale ? *Money::parse(markup) : Money(), m("21"), 2);
    QCOMPARE((QStringList{a.unitPrice.toString(2), a.value.toString(2), a.vat.toString(2), a.total.toString(2),
                          a.unitPriceOut.toString(2), a.valueOut.toString(2), a.vatOut.toString(2), a.totalOut.toString(2)}),
             expected);
    // A sale price typed by hand replaces the marked-up one.
    const LineAmounts typed = recalcOutputPrices(a, m("15"), quantity, m("21"), 2, true);
    QCOMPARE(typed.valueOut.toString(2), QStringLiteral("45.00"));
    QCOMPARE(typed.totalOut.toString(2), QStringLiteral("54.45"));
    QCOMPARE(typed.value.toString(2), QStringLiteral("30.39"));
}

void TestSupplierDocs::headerChecks()
{
    Modules mod;
    Workspace ws(mod.dm);
    Header h = header(mod);
    h.number.clear();
    QVERIFY(!ws.checkHeader(h, false));
    QVERIFY(ws.checkHeader(h, true));
    Header aviz = header(mod, 1, false);
    QVERIFY(!ws.checkHeader(aviz, false));
    QVERIFY(ws.checkHeader(aviz, true));
    Header letters = header(mod);
    letters.number = QStringLiteral("12a");
    QVERIFY(!ws.checkHeader(letters, false));
    QCOMPARE(mod.prompter.shown,
             (QStringList{QStringLiteral("info: Nu ati completat NR"), QStringLiteral("info: Nu ati bifat NIR pentru acest aviz"),
                          QStringLiteral("info: Numarul documentului furnizorului trebuie sa fie un numar intreg pozitiv.")}));
}

void TestSupplierDocs::noHeaderWithoutSeriesAndNumber_data()
{
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::newRow("no series") << ""
                               << "1234"
                               << "info: Introduceti seria si numarul documentului.";
    QTest::newRow("blank series") << "   "
                                  << "1234"
                                  << "info: Introduceti seria si numarul documentului.";
    QTest::newRow("no number") << "FZ"
                               << ""
                               << "info: Nu ati completat NR";
}

void TestSupplierDocs::noHeaderWithoutSeriesAndNumber()
{
    QFETCH(QString, series);
    QFETCH(QString, number);
    QFETCH(QString, message);
    Modules mod;
    Workspace ws(mod.dm);
    ws.selectSupplier(mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true));
    Header h = header(mod);
    h.series = series;
    h.number = number;
    QVERIFY(!ws.checkHeader(h, false));
    // Modify mode skips the page check; a line that still has to open a
    // document is refused all the same.
    QVERIFY(ws.checkHeader(h, true));
    ws.setHeader(h);
    QVERIFY(!ws.addLine(line(QStringLiteral("Cafea"), "10", 1)));
    QCOMPARE(mod.prompter.shown, (QStringList{message, message}));
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 0);
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 0);
}

void TestSupplierDocs::nextFollowsSeriesAndNumber()
{
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    page.show();
    QTest::keyClicks(page.searchName(), QStringLiteral("furnizor"));
    QTest::keyClick(page.searchName(), Qt::Key_Return);
    QTest::mouseClick(page.nextFromSupplier(), Qt::LeftButton);
    QCOMPARE(page.steps()->currentIndex(), 1);
    QPushButton *next = page.nextFromHeader();
    QVERIFY(!next->isEnabled());
    QTest::keyClicks(page.number(), QStringLiteral("88"));
    QVERIFY(!next->isEnabled());
    QTest::keyClicks(page.series(), QStringLiteral("FI"));
    QVERIFY(next->isEnabled());
    retype(page.series(), QStringLiteral(" "));
    QVERIFY(!next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(page.steps()->currentIndex(), 1);
    // Lines added to an existing document need no series of their own.
    page.mode()->setCurrentIndex(1);
    QVERIFY(next->isEnabled());
    page.mode()->setCurrentIndex(0);
    QVERIFY(!next->isEnabled());
    retype(page.series(), QStringLiteral("FI"));
    page.number()->clear();
    QVERIFY(!next->isEnabled());
    QTest::keyClicks(page.number(), QStringLiteral("9"));
    QVERIFY(next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(page.steps()->currentIndex(), 2);
}

void TestSupplierDocs::linesFollowTheDocumentList()
{
    Modules mod;
    const TwoDocuments docs =
        twoDocuments(mod, mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true));
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page, true);
    QCOMPARE(page.steps()->currentIndex(), 2);
    Dataset &list = mod.rc.adoNrFAct;
    QCOMPARE(list.recordCount(), 2);
    QCOMPARE(list.asInteger(QStringLiteral("fid")), docs.newer);
    QCOMPARE(shownNames(page.lineGrid()), QStringList{QStringLiteral("Ceai")});
    list.next();
    QCOMPARE(shownNames(page.lineGrid()),
             (QStringList{QStringLiteral("Cafea"), QStringLiteral("Zahar")}));
    // A line added now goes to the document shown, and the totals are its own.
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Lapte"));
    retype(page.field(QStringLiteral("Pret")), QStringLiteral("3"));
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    QCOMPARE(list.asInteger(QStringLiteral("fid")), docs.older);
    QCOMPARE(
        shownNames(page.lineGrid()),
        (QStringList{QStringLiteral("Cafea"), QStringLiteral("Zahar"), QStringLiteral("Lapte")}));
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate"), QStringLiteral("id_fact=:d"), {docs.newer}),
             1);
    page.chooseStep(3);
    QCOMPARE(page.totalBox(QStringLiteral("Valoare"))->text(), QStringLiteral("43.00"));
    list.prior();
    QCOMPARE(shownNames(page.lineGrid()), QStringList{QStringLiteral("Ceai")});
}

void TestSupplierDocs::newDocumentIsListedAlone()
{
    Modules mod;
    const TwoDocuments docs =
        twoDocuments(mod, mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true));
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page);
    Dataset &list = mod.rc.adoNrFAct;
    QCOMPARE(list.recordCount(), 2);
    QCOMPARE(shownNames(page.lineGrid()), QStringList{QStringLiteral("Ceai")});
    list.next();
    QCOMPARE(shownNames(page.lineGrid()),
             (QStringList{QStringLiteral("Cafea"), QStringLiteral("Zahar")}));
    // The first line opens a document of its own, whatever the list shows.
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Lapte"));
    retype(page.field(QStringLiteral("Pret")), QStringLiteral("3"));
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    const qint64 created = page.workspace().documentId();
    QVERIFY(created != docs.older && created != docs.newer);
    QCOMPARE(list.recordCount(), 1);
    QCOMPARE(list.asInteger(QStringLiteral("fid")), created);
    QCOMPARE(shownNames(page.lineGrid()), QStringList{QStringLiteral("Lapte")});
    // Back from validation the list still holds the new document alone.
    page.chooseStep(3);
    page.chooseStep(2);
    QCOMPARE(list.recordCount(), 1);
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Miere"));
    retype(page.field(QStringLiteral("Pret")), QStringLiteral("20"));
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QCOMPARE(shownNames(page.lineGrid()),
             (QStringList{QStringLiteral("Lapte"), QStringLiteral("Miere")}));
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 3);
}

void TestSupplierDocs::firstLineWritesTheHeaderOnce()
{
    Modules mod;
    const qint64 supplier = mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    Workspace ws(mod.dm);
    ws.selectSupplier(supplier);
    ws.setHeader(header(mod));
    QVERIFY(!ws.addLine(line(QStringLiteral("Cafea"), "0", 1)));
    QCOMPARE(mod.prompter.shown, QStringList{QStringLiteral("info: Nu ati introdus pretul produsului.")});
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 0);
    const qint64 first = *ws.addLine(line(QStringLiteral("Cafea"), "12.5", 10));
    ws.addLine(line(QStringLiteral("Zahar"), "4", 5));
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 1);
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate"), QStringLiteral("id_fact=:d"), {ws.documentId()}), 2);
    Dataset doc(mod.cnc(), QStringLiteral("select * from Facturi where id=:id"));
    doc.setParam(0, ws.documentId());
    doc.open();
    QCOMPARE(doc.asInteger(QStringLiteral("Nf")), 1234);
    QCOMPARE(doc.asString(QStringLiteral("SeriaF")), QStringLiteral("FZ"));
    QCOMPARE(doc.asInteger(QStringLiteral("id_vanzator")), supplier);
    QCOMPARE(doc.asInteger(QStringLiteral("id_cump")), mod.dm.companyId());
    QVERIFY(doc.asBoolean(QStringLiteral("InOut")));
    QVERIFY(doc.asBoolean(QStringLiteral("eNIR")));
    QCOMPARE(doc.asString(QStringLiteral("SeriaNIR")), QStringLiteral("SED"));
    QCOMPARE(doc.asInteger(QStringLiteral("id_magazie")), warehouseOf(mod));
    QCOMPARE(doc.asDateTime(QStringLiteral("Data")), QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
    Dataset lot(mod.cnc(), QStringLiteral("select * from ProdCumparate where id=:id"));
    lot.setParam(0, first);
    lot.open();
    QCOMPARE(lot.asFloat(QStringLiteral("Stoc")), 10.0);
    QCOMPARE(lot.asMoney(QStringLiteral("Stoc_Valoric")).toString(2), QStringLiteral("125.00"));
    QCOMPARE(lot.asMoney(QStringLiteral("Stoc_ValoricMM")).toString(2), QStringLiteral("125.00"));
    QCOMPARE(lot.asMoney(QStringLiteral("TotalIn")).toString(2), QStringLiteral("151.25"));
    QVERIFY(lot.asBoolean(QStringLiteral("adinStoc")));
    QCOMPARE(lot.asInteger(QStringLiteral("id_magazie")), warehouseOf(mod));
    QCOMPARE(lot.asInteger(QStringLiteral("id_cumparator")), mod.dm.companyId());
    const Workspace::Totals t = ws.totals();
    QCOMPARE(t.value.toString(2), QStringLiteral("145.00"));
    QCOMPARE(t.total.toString(2), QStringLiteral("175.45"));
    QCOMPARE(t.quantity, 15.0);
}

void TestSupplierDocs::servicesNeverTouchStock()
{
    Modules mod;
    Workspace ws(mod.dm);
    ws.selectSupplier(mod.addPartner(QStringLiteral("ENERGIE SA"), false, true));
    ws.setHeader(header(mod, 0, false));
    ws.addLine(line(QStringLiteral("Energie electrica"), "850", 1));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select id_magazie from Facturi")).toInt(), -1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select id_magazie from ProdCumparate")).toInt(), -1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select adinStoc from ProdCumparate")).toInt(), 0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select SeriaNIR from Facturi")).toString(), QStringLiteral(" "));
    // A delivery note takes a line at price 0.
    Workspace aviz(mod.dm);
    aviz.selectSupplier(mod.addPartner(QStringLiteral("DEPOZIT SRL"), false, true));
    aviz.setHeader(header(mod, 1));
    QVERIFY(aviz.addLine(line(QStringLiteral("Mostra"), "0", 2)));
}

void TestSupplierDocs::foreignLineIsValuedInTheMainCurrency()
{
    Modules mod;
    Workspace ws(mod.dm);
    ws.selectSupplier(mod.addPartner(QStringLiteral("IMPORT GMBH"), false, true));
    ws.setHeader(header(mod));
    const qint64 id = *ws.addLine(line(QStringLiteral("Piese"), "10", 3, QStringLiteral("EUR"), "4.9767"));
    Dataset l(mod.cnc(), QStringLiteral("select * from ProdCumparate where id=:id"));
    l.setParam(0, id);
    l.open();
    QCOMPARE(l.asMoney(QStringLiteral("PUInMM")).toString(2), QStringLiteral("49.77"));
    // 30.00 EUR and 6.30 EUR of VAT at the rate.
    QCOMPARE(l.asMoney(QStringLiteral("ValInMM")).toString(2), QStringLiteral("149.31"));
    QCOMPARE(l.asMoney(QStringLiteral("ValTVAInMM")).toString(2), QStringLiteral("31.36"));
    QCOMPARE(l.asMoney(QStringLiteral("TotalInMM")).toString(2), QStringLiteral("180.67"));
    QCOMPARE(l.asMoney(QStringLiteral("Stoc_ValoricMM")).toString(2), QStringLiteral("149.31"));
    QCOMPARE(l.asString(QStringLiteral("monedaMM")), QStringLiteral("RON"));
    // The line that opens the document gives it its currency; later lines do not change it.
    ws.addLine(line(QStringLiteral("Manopera"), "100", 1));
    Dataset doc(mod.cnc(), QStringLiteral("select MonedaFacturii, MonedaContract from Facturi"));
    doc.open();
    QCOMPARE(doc.asString(QStringLiteral("MonedaFacturii")), QStringLiteral("EUR"));
    QCOMPARE(doc.asString(QStringLiteral("MonedaContract")), QStringLiteral("EUR"));
}

void TestSupplierDocs::ratesTypedOnThePage_data()
{
    QTest::addColumn<bool>("sale"); // the rate of the sale side, else of the purchase
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored"); // 0 when the line is refused
    QTest::newRow("decimal comma") << false << "4,9767" << 4.9767;
    QTest::newRow("decimal point") << false << "4.9767" << 4.9767;
    QTest::newRow("sale rate with a comma") << true << "5,1" << 5.1;
    QTest::newRow("letters") << false << "4,97a" << 0.0;
    QTest::newRow("two decimal marks") << false << "4,9.7" << 0.0;
    QTest::newRow("empty") << false << "" << 0.0;
    QTest::newRow("zero") << false << "0" << 0.0;
    QTest::newRow("negative") << false << "-4,97" << 0.0;
    QTest::newRow("sale rate not a number") << true << "x" << 0.0;
}

void TestSupplierDocs::ratesTypedOnThePage()
{
    QFETCH(bool, sale);
    QFETCH(QString, text);
    QFETCH(double, stored);
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR IMPORT SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page);
    QCOMPARE(page.steps()->currentIndex(), 2);
    page.currencyIn()->setCurrentIndex(page.currencyIn()->findText(QStringLiteral("EUR")));
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Piese"));
    retype(page.field(QStringLiteral("Pret")), QStringLiteral("10"));
    retype(page.field(sale ? QStringLiteral("CursIesire") : QStringLiteral("Curs")), text);
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    if (stored == 0) {
        QCOMPARE(mod.prompter.shown,
                 QStringList{QStringLiteral("info: Cursul nu e introdus corect. "
                                            "Posibil separatorul zecimal sa fie gresit")});
        QCOMPARE(mod.count(QStringLiteral("Facturi")), 0);
        QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 0);
        return;
    }
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    Dataset l(mod.cnc(), QStringLiteral("select * from ProdCumparate"));
    l.open();
    QCOMPARE(l.recordCount(), 1);
    QCOMPARE(l.asMoney(sale ? QStringLiteral("CursOut") : QStringLiteral("CursIn")).toDouble(),
             stored);
    // The document is in the currency chosen for its line.
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select MonedaFacturii from Facturi")).toString(),
             QStringLiteral("EUR"));
}

void TestSupplierDocs::soldLotsStay()
{
    Modules mod;
    Workspace ws(mod.dm);
    ws.selectSupplier(mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true));
    ws.setHeader(header(mod));
    const qint64 sold = *ws.addLine(line(QStringLiteral("Cafea"), "10", 10));
    const qint64 untouched = *ws.addLine(line(QStringLiteral("Zahar"), "4", 5));
    mod.cnc().exec(QStringLiteral("update ProdCumparate set Stoc=6 where id=:id"), {sold});
    QVERIFY(!ws.removeLine(sold));
    mod.cnc().exec(QStringLiteral("update Facturi set Validata=true"));
    mod.prompter.answers.enqueue(false);
    QVERIFY(!ws.removeLine(untouched));
    mod.prompter.answers.enqueue(true);
    QVERIFY(ws.removeLine(untouched));
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 1);
    QCOMPARE(mod.prompter.shown.first(), QStringLiteral("info: Din acest lot s-a iesit deja din stoc. Linia nu poate fi stearsa."));
}

void TestSupplierDocs::supplierRoundingIsKept_data()
{
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QStringList>("proposed"); // value, VAT, total shown after price and quantity
    QTest::addColumn<QStringList>("typed");    // value, VAT, total as on the paper
    QTest::addColumn<QStringList>("main");     // ValInMM, ValTVAInMM, TotalInMM, Stoc_ValoricMM
    // Valued on the unrounded price: 3.333 x 3 = 9.999, a ban over 9.99.
    QTest::newRow("value on the exact price")
        << "RON"
        << "1"
        << "3,333"
        << "3" << QStringList{"9,99", "2,10", "12,09"} << QStringList{"10,00", "2.10", "12,10"}
        << QStringList{"10.00", "2.10", "12.10", "10.00"};
    // In another currency the typed amounts are kept as they are; the
    // main-currency ones come from the unit price at the rate: 3.33 x 4.9767
    // = 16.57 a piece.
    QTest::newRow("in a foreign currency")
        << "EUR"
        << "4,9767"
        << "3,333"
        << "3" << QStringList{"9,99", "2,10", "12,09"} << QStringList{"10.00", "2,10", "12,10"}
        << QStringList{"49.71", "10.44", "60.15", "49.71"};
    // VAT of 0.26 a piece: 0.52 against 21% of 2.50 = 0.53.
    QTest::newRow("VAT per piece")
        << "RON"
        << "1"
        << "1,25"
        << "2" << QStringList{"2,50", "0,53", "3,03"} << QStringList{"2,50", "0,52", "3,02"}
        << QStringList{"2.50", "0.52", "3.02", "2.50"};
}

// The amounts on the supplier's paper are kept as typed, even a ban away
// from what the page proposes, and the lot is valued at them.
void TestSupplierDocs::supplierRoundingIsKept()
{
    QFETCH(QString, currency);
    QFETCH(QString, rate);
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(QStringList, proposed);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, main);
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page);
    page.currencyIn()->setCurrentIndex(page.currencyIn()->findText(currency));
    retype(page.field(QStringLiteral("Curs")), rate);
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Surub"));
    retype(page.field(QStringLiteral("Cantitate")), quantity);
    retype(page.field(QStringLiteral("Pret")), price);
    const QStringList boxes{QStringLiteral("Valoare"), QStringLiteral("TVA"),
                            QStringLiteral("Total")};
    QStringList shownNow;
    for (const QString &box : boxes)
        shownNow << page.field(box)->text();
    QCOMPARE(shownNow, proposed);
    for (int i = 0; i < boxes.size(); ++i)
        retype(page.field(boxes[i]), typed[i]);
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    Dataset l(mod.cnc(), QStringLiteral("select * from ProdCumparate"));
    l.open();
    QCOMPARE(l.recordCount(), 1);
    const auto money = [&](const char *column) {
        return l.asMoney(QString::fromLatin1(column)).toString(2);
    };
    QStringList stored = typed;
    stored.replaceInStrings(QStringLiteral(","), QStringLiteral("."));
    QCOMPARE((QStringList{money("Valoare"), money("ValoareTVA"), money("TotalIn")}), stored);
    QCOMPARE(money("Stoc_Valoric"), stored[0]);
    QCOMPARE((QStringList{money("ValInMM"), money("ValTVAInMM"), money("TotalInMM"),
                          money("Stoc_ValoricMM")}),
             main);
    page.chooseStep(3);
    QCOMPARE(page.totalBox(QStringLiteral("Total"))->text(), stored[2]);
}

void TestSupplierDocs::typedAmountNotANumber_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("VAT with a letter") << "TVA"
                                       << "2,1o";
    QTest::newRow("VAT with two decimal marks") << "TVA"
                                                << "2,1.0";
    QTest::newRow("VAT cleared") << "TVA"
                                 << "";
    QTest::newRow("value with a letter") << "Valoare"
                                         << "1O,00";
    QTest::newRow("total as a sign") << "Total"
                                     << "-";
}

void TestSupplierDocs::typedAmountNotANumber()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page);
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Surub"));
    retype(page.field(QStringLiteral("Pret")), QStringLiteral("10"));
    retype(page.field(box), text);
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QCOMPARE(mod.prompter.shown,
             QStringList{QStringLiteral(
                 "info: Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit")});
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 0);
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 0);
    QVERIFY(!page.workspace().docOpen());
    QCOMPARE(page.field(box)->text(), text);
}

void TestSupplierDocs::priceAndQuantityProposeAmounts()
{
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    toLinesStep(page);
    const auto proposed = [&] {
        return QStringList{page.field(QStringLiteral("Valoare"))->text(),
                           page.field(QStringLiteral("TVA"))->text(),
                           page.field(QStringLiteral("Total"))->text()};
    };
    QLineEdit *price = page.field(QStringLiteral("Pret"));
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Surub"));
    retype(page.field(QStringLiteral("Cantitate")), QStringLiteral("2"));
    retype(price, QStringLiteral("3,5"));
    QCOMPARE(proposed(), (QStringList{"7,00", "1,47", "8,47"}));
    // A typed value gives way to a new quantity.
    retype(page.field(QStringLiteral("Valoare")), QStringLiteral("7,01"));
    retype(page.field(QStringLiteral("Cantitate")), QStringLiteral("4"));
    QCOMPARE(proposed(), (QStringList{"14,00", "2,94", "16,94"}));
    // Half typed, the price proposes nothing yet...
    QTest::keyClick(price, Qt::Key_Backspace);
    QCOMPARE(price->text(), QStringLiteral("3,"));
    QCOMPARE(proposed(), (QStringList{"14,00", "2,94", "16,94"}));
    // ...and the line is added with the amounts of the price it carries.
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    Dataset l(mod.cnc(), QStringLiteral("select * from ProdCumparate"));
    l.open();
    QCOMPARE(l.asMoney(QStringLiteral("PUnIn")).toString(2), QStringLiteral("3.00"));
    QCOMPARE(l.asMoney(QStringLiteral("Valoare")).toString(2), QStringLiteral("12.00"));
    QCOMPARE(l.asMoney(QStringLiteral("TotalIn")).toString(2), QStringLiteral("14.52"));
}

void TestSupplierDocs::pageWalkthrough()
{
    Modules mod;
    mod.addPartner(QStringLiteral("FURNIZOR CAFEA SRL"), false, true);
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    SupplierPage page(WindowContext{mod.dm, mod.rc, mod.prompter, reports});
    page.show();
    QTest::keyClicks(page.searchName(), QStringLiteral("cafea"));
    QTest::keyClick(page.searchName(), Qt::Key_Return);
    QTest::mouseClick(page.nextFromSupplier(), Qt::LeftButton);
    QCOMPARE(page.steps()->currentIndex(), 1);
    QTest::keyClicks(page.series(), QStringLiteral("FC"));
    QTest::keyClicks(page.number(), QStringLiteral("77"));
    QVERIFY(page.goods()->isChecked());
    QCOMPARE(page.warehouse()->currentText(), QStringLiteral("Magazie"));
    QTest::mouseClick(page.nextFromHeader(), Qt::LeftButton);
    QCOMPARE(page.steps()->currentIndex(), 2);
    QTest::keyClicks(page.field(QStringLiteral("Denumire")), QStringLiteral("Cafea boabe 1kg"));
    page.field(QStringLiteral("Cantitate"))->clear();
    QTest::keyClicks(page.field(QStringLiteral("Cantitate")), QStringLiteral("20"));
    page.field(QStringLiteral("Pret"))->clear();
    QTest::keyClicks(page.field(QStringLiteral("Pret")), QStringLiteral("45,5"));
    QCOMPARE(page.field(QStringLiteral("Valoare"))->text(), QStringLiteral("910,00"));
    QCOMPARE(page.field(QStringLiteral("Total"))->text(), QStringLiteral("1101,10"));
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QVERIFY2(mod.prompter.shown.isEmpty(), qPrintable(mod.prompter.shown.join(u'\n')));
    QCOMPARE(page.lineGrid()->model()->rowCount(), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Stoc from ProdCumparate where Denumire='Cafea boabe 1kg'")).toDouble(), 20.0);
    page.chooseStep(3);
    QCOMPARE(page.totalBox(QStringLiteral("Total"))->text(), QStringLiteral("1101.10"));
}

QTEST_MAIN(TestSupplierDocs)
#include "tst_supplierdocs.moc"
