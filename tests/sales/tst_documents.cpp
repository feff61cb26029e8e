#include "db/dberror.h"
#include "db/transaction.h"
#include "sales/linecalc.h"
#include "sales/numbering.h"
#include "sales/workspace.h"
#include "support/modules.h"

#include <QTest>

namespace {

Money m(const char *text)
{
    return *Money::parse(QString::fromLatin1(text));
}

qint64 addProduct(Modules &mod, const QString &name, const char *price, const char *vat, const QString &currency = QStringLiteral("RON"))
{
    const qint64 sub = mod.cnc().scalar(QStringLiteral("select min(id) from Sortimente")).toLongLong();
    return mod.cnc().insert(QStringLiteral("ListaProduse"),
                            {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"), QStringLiteral("Pret"),
                             QStringLiteral("cotaTVA"), QStringLiteral("moneda"), QStringLiteral("NrZecimale")},
                            {sub, name, QStringLiteral("buc"), QVariant::fromValue(m(price)), QVariant::fromValue(m(vat)), currency, 2});
}

DocumentWorkspace::Header header(Modules &mod, int kind = 0)
{
    DocumentWorkspace::Header h;
    h.kind = kind;
    h.workPointId = mod.state.currentWorkPointId;
    h.date = QDate(2026, 12, 11);
    h.currency = QStringLiteral("RON");
    h.mentionText = QStringLiteral("Cu TVA");
    h.payment = QStringLiteral("OP");
    return h;
}

qint64 insertDocument(Modules &mod, int kind, QDate date, int nf, bool validated)
{
    return mod.cnc().insert(QStringLiteral("Facturi"),
                            {QStringLiteral("Nf"), QStringLiteral("Data"), QStringLiteral("Tipavizfactura"), QStringLiteral("id_vanzator"),
                             QStringLiteral("id_punctlucru"), QStringLiteral("Validata"), QStringLiteral("SeriaF"), QStringLiteral("id_cump")},
                            {nf, date, kind, mod.dm.companyId(), mod.state.currentWorkPointId, validated, QStringLiteral("FCT"), 0});
}

qint64 counter(Modules &mod, const char *column)
{
    return mod.cnc().scalar(QStringLiteral("select ") + QLatin1String(column) + QStringLiteral(" from SeriiActe where id=:id"),
                            {mod.state.currentWorkPointId}).toLongLong();
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void priceListLine_data();
    void priceListLine();
    void generalLineFollowsRateAndCurrency();
    void totalsLeaveThePercentLinesOut();
    void headerAndFirstLineGoTogether();
    void generalLinesPerVatRate();
    void feeLineStaysSingle();
    void validatedDocumentsKeepTheirLines();
    void refusedInputs();
    void foreignProductAsksTheRateWhenItCannotBeFetched();
    void consumptionNoteIsIssuedToTheCompany();
    void counterGivesTheNumberAndAdvances();
    void abandonedValidationConsumesNothing();
    void typedNumbers();
    void dateOrder_data();
    void dateOrder();
};

void TestDocuments::priceListLine_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<int>("discount");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QStringList>("sale");   // puOut, valOut, valTvaOut, totalOut
    QTest::addColumn<QStringList>("main");   // puOutMM, valOutMM, valTvaOutMM, totalOutMM
    QTest::newRow("discount -10 at 19%") << "10" << 2.0 << -10 << "1" << "19" << 2
                                         << QStringList{"9.00", "18.00", "3.42", "21.42"}
                                         << QStringList{"9.00", "18.00", "3.42", "21.42"};
    QTest::newRow("mark-up rounds half away") << "0.125" << 1.0 << 0 << "1" << "21" << 2
                                              << QStringList{"0.13", "0.13", "0.03", "0.16"}
                                              << QStringList{"0.13", "0.13", "0.03", "0.16"};
    QTest::newRow("euro product at 4.9767") << "100" << 3.0 << 0 << "4.9767" << "21" << 2
                                            << QStringList{"100.00", "300.00", "63.00", "363.00"}
                                            << QStringList{"497.67", "1493.01", "313.53", "1806.54"};
    QTest::newRow("decimal quantity") << "15.555" << 1.5 << 0 << "1" << "21" << 2
                                      << QStringList{"15.56", "23.34", "4.90", "28.24"}
                                      << QStringList{"15.56", "23.34", "4.90", "28.24"};
    QTest::newRow("currency without decimals") << "333.4" << 3.0 << 5 << "1" << "11" << 0
                                               << QStringList{"350", "1050", "116", "1166"}
                                               << QStringList{"350.00", "1050.00", "115.50", "1165.50"};
}

void TestDocuments::priceListLine()
{
    QFETCH(QString, price);
    QFETCH(double, quantity);
    QFETCH(int, discount);
    QFETCH(QString, rate);
    QFETCH(QString, vat);
    QFETCH(int, decimals);
    QFETCH(QStringList, sale);
    QFETCH(QStringList, main);
    const linecalc::SaleAmounts a = linecalc::priceListLine(*Money::parse(price), quantity, discount, *Money::parse(rate),
                                                            *Money::parse(vat), decimals, 2);
    QCOMPARE((QStringList{a.puOut.toString(decimals), a.valOut.toString(decimals), a.valTvaOut.toString(decimals),
                          a.totalOut.toString(decimals)}),
             sale);
    QCOMPARE((QStringList{a.puOutMM.toString(2), a.valOutMM.toString(2), a.valTvaOutMM.toString(2), a.totalOutMM.toString(2)}),
             main);
}

void TestDocuments::generalLineFollowsRateAndCurrency()
{
    linecalc::Group g;
    g.currency = QStringLiteral("RON");
    g.vatRate = m("21");
    g.decimals = 2;
    g.value = m("200");
    g.valueMM = m("200");
    const linecalc::SaleAmounts a = linecalc::generalLine(g, m("-5"), g.vatRate, 2);
    QCOMPARE(a.valOut.toString(2), QStringLiteral("-10.00"));
    QCOMPARE(a.valTvaOut.toString(2), QStringLiteral("-2.10"));
    QCOMPARE(a.totalOut.toString(2), QStringLiteral("-12.10"));
    QCOMPARE(a.valOutMM.toString(2), QStringLiteral("-10.00"));
}

void TestDocuments::totalsLeaveThePercentLinesOut()
{
    QList<linecalc::TotalsLine> lines;
    lines << linecalc::TotalsLine{m("18"), m("3.42"), m("21.42"), 2, QStringLiteral("buc"), -10, 2}
          << linecalc::TotalsLine{m("50"), m("0"), m("50"), 1, QStringLiteral("buc"), -100, 2}
          << linecalc::TotalsLine{m("-3.4"), m("-0.65"), m("-4.05"), -5, QStringLiteral("%"), -5, 2};
    const linecalc::Totals t = linecalc::documentTotals(lines);
    QCOMPARE(t.value.toString(2), QStringLiteral("64.60"));
    QCOMPARE(t.vat.toString(2), QStringLiteral("2.77"));
    QCOMPARE(t.total.toString(2), QStringLiteral("67.37"));
    QCOMPARE(t.quantity, 3.0);
    // 18 before a 10% discount was 20; the line at -100% has no value to recover.
    QCOMPARE(t.valueBeforeDiscount.toString(2), QStringLiteral("20.00"));
    QCOMPARE(t.totalBeforeDiscount.toString(2), QStringLiteral("23.80"));
    QCOMPARE(t.decimals, 2);

    // A currency without decimals is summed, and shown, in whole units.
    const linecalc::Totals whole = linecalc::documentTotals(
        {linecalc::TotalsLine{m("1250"), m("238"), m("1488"), 1, QStringLiteral("buc"), 0, 0},
         linecalc::TotalsLine{m("310"), m("59"), m("369"), 1, QStringLiteral("buc"), 0, 0}});
    QCOMPARE(whole.decimals, 0);
    QCOMPARE(whole.total.toString(whole.decimals), QStringLiteral("1857"));
}

void TestDocuments::headerAndFirstLineGoTogether()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Cafea"), "10", "21");
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    QVERIFY(ws.setHeader(header(mod)));
    QVERIFY(!ws.docOpen());
    // A failing line leaves neither the line nor the header behind.
    mod.cnc().exec(QStringLiteral("create trigger refuz before insert on ProdCumparate begin select raise(abort, 'refuzat'); end"));
    QVERIFY_THROWS_EXCEPTION(DbError, ws.addProductLine(product, QStringLiteral("2"), 0));
    QVERIFY(!ws.docOpen());
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 0);
    mod.cnc().exec(QStringLiteral("drop trigger refuz"));

    const std::optional<qint64> line = ws.addProductLine(product, QStringLiteral("2"), 0);
    QVERIFY(line);
    QVERIFY(ws.docOpen());
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select id_fact from ProdCumparate where id=:id"), {*line}).toLongLong(), ws.documentId());
    ws.addProductLine(product, QStringLiteral("1"), 0);
    QCOMPARE(mod.count(QStringLiteral("Facturi")), 1);
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate"), QStringLiteral("id_fact=:d"), {ws.documentId()}), 2);
    Dataset doc(mod.cnc(), QStringLiteral("select * from Facturi where id=:id"));
    doc.setParam(0, ws.documentId());
    doc.open();
    QCOMPARE(doc.asInteger(QStringLiteral("Nf")), 0);
    QCOMPARE(doc.asString(QStringLiteral("SeriaF")), QStringLiteral("FCT"));
    QCOMPARE(doc.asInteger(QStringLiteral("id_cump")), client);
    QCOMPARE(doc.asInteger(QStringLiteral("id_punctlucru")), mod.state.currentWorkPointId);
    QCOMPARE(doc.asString(QStringLiteral("Operator")), QStringLiteral("Administrator "));
    QCOMPARE(doc.asInteger(QStringLiteral("id_cont_client")), -1);
    QCOMPARE(mod.dm.adoNrFAct.asInteger(QStringLiteral("fid")), ws.documentId());
    QCOMPARE(mod.dm.adoPrCump.recordCount(), 2);
}

void TestDocuments::generalLinesPerVatRate()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    ws.setHeader(header(mod));
    ws.addProductLine(addProduct(mod, QStringLiteral("A"), "100", "21"), QStringLiteral("1"), 0);
    ws.addProductLine(addProduct(mod, QStringLiteral("B"), "50", "11"), QStringLiteral("2"), 0);
    QVERIFY(ws.addGeneralLine(QStringLiteral("-10")));
    Dataset lines(mod.cnc(), QStringLiteral("select * from ProdCumparate where id_fact=:f and UM='%' order by cotaTVAOut"));
    lines.setParam(0, ws.documentId());
    lines.open();
    QCOMPARE(lines.recordCount(), 2);
    QCOMPARE(lines.asString(QStringLiteral("Denumire")), QStringLiteral("Discount"));
    QCOMPARE(lines.asMoney(QStringLiteral("ValOut")).toString(2), QStringLiteral("-10.00"));
    QCOMPARE(lines.asMoney(QStringLiteral("ValTVAOut")).toString(2), QStringLiteral("-1.10"));
    QCOMPARE(lines.asFloat(QStringLiteral("Cnt")), -10.0);
    lines.next();
    QCOMPARE(lines.asMoney(QStringLiteral("ValOut")).toString(2), QStringLiteral("-10.00"));
    QCOMPARE(lines.asMoney(QStringLiteral("ValTVAOut")).toString(2), QStringLiteral("-2.10"));
    // A second general line counts only the product lines.
    QVERIFY(ws.addGeneralLine(QStringLiteral("5")));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select sum(ValOut) from ProdCumparate where id_fact=:f and Denumire='Adaos'"),
                              {ws.documentId()}).toDouble(), 10.0);
    const linecalc::Totals t = ws.totals();
    QCOMPARE(t.value.toString(2), QStringLiteral("190.00"));
    QCOMPARE(t.quantity, 3.0);
}

void TestDocuments::feeLineStaysSingle()
{
    Modules mod;
    mod.cnc().exec(QStringLiteral("update Clienti set tipTaxa=true where emitent=true"));
    mod.dm.adoSetari.requeryKeepingPosition();
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Cazare"), "200", "11");
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    ws.setHeader(header(mod));
    ws.addProductLine(product, QStringLiteral("1"), 0);
    ws.addProductLine(product, QStringLiteral("2"), 0);
    Dataset fee(mod.cnc(), QStringLiteral("select * from ProdCumparate where id_fact=:f and Denumire='Taxa'"));
    fee.setParam(0, ws.documentId());
    fee.open();
    QCOMPARE(fee.recordCount(), 1);
    QCOMPARE(fee.asMoney(QStringLiteral("ValOut")).toString(2), QStringLiteral("6.00"));
    QCOMPARE(fee.asMoney(QStringLiteral("ValTVAOut")).toString(2), QStringLiteral("0.00"));
}

void TestDocuments::validatedDocumentsKeepTheirLines()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Cafea"), "10", "21");
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    ws.setHeader(header(mod));
    const qint64 line = *ws.addProductLine(product, QStringLiteral("1"), 0);
    mod.cnc().exec(QStringLiteral("update Facturi set Nf=4, Validata=true where id=:id"), {ws.documentId()});
    QVERIFY(!ws.addProductLine(product, QStringLiteral("1"), 0));
    QVERIFY(!ws.addGeneralLine(QStringLiteral("-5")));
    QVERIFY(!ws.removeLine(line));
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 1);
    QCOMPARE(mod.prompter.shown,
             (QStringList{QStringLiteral("info: Factura e validata. Nu mai puteti adauga produse."),
                          QStringLiteral("info: Factura e validata. Nu mai puteti adauga produse."),
                          QStringLiteral("info: Factura e validata. Nu puteti sterge inregistrarea curenta. Treceti-i numarul pe 0 dupa care  puteti sterge.")}));
    mod.cnc().exec(QStringLiteral("update Facturi set Nf=0, Validata=false where id=:id"), {ws.documentId()});
    QVERIFY(ws.removeLine(line));
    QCOMPARE(mod.count(QStringLiteral("ProdCumparate")), 0);
}

void TestDocuments::refusedInputs()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Cafea"), "10", "21");
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    ws.setHeader(header(mod));
    QVERIFY(!ws.addProductLine(product, QStringLiteral("doi"), 0));
    QVERIFY(!ws.addProductLine(product, QStringLiteral("1"), -100));
    QVERIFY(!ws.addGeneralLine(QStringLiteral("-5")));
    ws.addProductLine(product, QStringLiteral("1,5"), 0);
    QVERIFY(!ws.addGeneralLine(QStringLiteral("0")));
    QVERIFY(!ws.addGeneralLine(QStringLiteral("x")));
    QCOMPARE(mod.prompter.shown,
             (QStringList{QStringLiteral("info: Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit"),
                          QStringLiteral("info: Un discount de 100% sau mai mare nu se poate aplica. Alegeti alta valoare."),
                          QStringLiteral("info: Nu ati adaugat nimic pe factura/aviz/bc."),
                          QStringLiteral("info: Nu puteti pune valoare 0.Alegeti alta valoare"),
                          QStringLiteral("info: Eroare la introducerea discountului. Poate separatorul zecimal e gresit")}));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Cnt from ProdCumparate")).toDouble(), 1.5);
}

void TestDocuments::foreignProductAsksTheRateWhenItCannotBeFetched()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Licenta"), "10", "21", QStringLiteral("EUR"));
    DocumentWorkspace ws(mod.dm, [](const QString &) { return std::optional<Money>(); });
    ws.selectClient(client);
    ws.setHeader(header(mod));
    mod.prompter.inputs.enqueue(QStringLiteral("4,95"));
    const std::optional<qint64> line = ws.addProductLine(product, QStringLiteral("2"), 0);
    QVERIFY(line);
    Dataset l(mod.cnc(), QStringLiteral("select * from ProdCumparate where id=:id"));
    l.setParam(0, *line);
    l.open();
    QCOMPARE(l.asMoney(QStringLiteral("CursOut")).toString(2), QStringLiteral("4.95"));
    QCOMPARE(l.asMoney(QStringLiteral("CursIn")).toString(2), QStringLiteral("4.95"));
    QCOMPARE(l.asMoney(QStringLiteral("PUnitaroutMM")).toString(2), QStringLiteral("49.50"));
    QCOMPARE(l.asMoney(QStringLiteral("ValOutMM")).toString(2), QStringLiteral("99.00"));
    QCOMPARE(l.asString(QStringLiteral("monedaOut")), QStringLiteral("EUR"));
    QCOMPARE(mod.prompter.shown.first(), QStringLiteral("info: Eroare la introducerea cursului"));
    QCOMPARE(mod.prompter.shown.last(), QStringLiteral("input: Curs valutar / Introduceti cursul [1]"));
    // A fetched rate is used without asking.
    DocumentWorkspace fetched(mod.dm, [](const QString &) { return Money::parse(QStringLiteral("4.9767")); });
    fetched.selectClient(client);
    fetched.setHeader(header(mod));
    QVERIFY(fetched.addProductLine(product, QStringLiteral("1"), 0));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select PUnitaroutMM from ProdCumparate order by id desc limit 1")).toDouble(), 49.77);
}

void TestDocuments::consumptionNoteIsIssuedToTheCompany()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 product = addProduct(mod, QStringLiteral("Hartie"), "10", "21");
    DocumentWorkspace ws(mod.dm, {});
    ws.selectClient(client);
    QVERIFY(ws.setHeader(header(mod, numbering::ConsumptionNote)));
    ws.addProductLine(product, QStringLiteral("1"), 0);
    Dataset doc(mod.cnc(), QStringLiteral("select * from Facturi where id=:id"));
    doc.setParam(0, ws.documentId());
    doc.open();
    QCOMPARE(doc.asInteger(QStringLiteral("id_cump")), mod.dm.companyId());
    QCOMPARE(doc.asString(QStringLiteral("SeriaBC")), QStringLiteral("BC"));
    QCOMPARE(doc.asInteger(QStringLiteral("Tipavizfactura")), 2);
}

void TestDocuments::counterGivesTheNumberAndAdvances()
{
    Modules mod;
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17, nrbc=3 where id=:id"), {mod.state.currentWorkPointId});
    const qint64 invoice = insertDocument(mod, 0, QDate(2026, 12, 11), 0, false);
    {
        Transaction t(mod.cnc());
        QCOMPARE(numbering::allocateNumber(mod.cnc(), invoice, 0, mod.state.currentWorkPointId, std::nullopt), 17);
        t.commit();
    }
    QCOMPARE(counter(mod, "NrFactura"), 18);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {invoice}).toInt(), 17);
    const qint64 note = insertDocument(mod, 2, QDate(2026, 12, 11), 0, false);
    QCOMPARE(numbering::allocateNumber(mod.cnc(), note, 2, mod.state.currentWorkPointId, std::nullopt), 3);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select BC from Facturi where id=:id"), {note}).toInt(), 3);
    QCOMPARE(counter(mod, "nrbc"), 4);
}

void TestDocuments::abandonedValidationConsumesNothing()
{
    Modules mod;
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17 where id=:id"), {mod.state.currentWorkPointId});
    const qint64 invoice = insertDocument(mod, 0, QDate(2026, 12, 11), 0, false);
    {
        Transaction t(mod.cnc());
        numbering::allocateNumber(mod.cnc(), invoice, 0, mod.state.currentWorkPointId, std::nullopt);
        // The validation is abandoned before it commits.
    }
    QCOMPARE(counter(mod, "NrFactura"), 17);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {invoice}).toInt(), 0);
}

void TestDocuments::typedNumbers()
{
    Modules mod;
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17 where id=:id"), {mod.state.currentWorkPointId});
    insertDocument(mod, 0, QDate(2026, 12, 1), 5, true);
    const qint64 invoice = insertDocument(mod, 0, QDate(2026, 12, 11), 0, false);
    QVERIFY_THROWS_EXCEPTION(ActionRefused, numbering::allocateNumber(mod.cnc(), invoice, 0, mod.state.currentWorkPointId, 5));
    QVERIFY_THROWS_EXCEPTION(ActionRefused, numbering::allocateNumber(mod.cnc(), invoice, 0, mod.state.currentWorkPointId, 0));
    QCOMPARE(numbering::allocateNumber(mod.cnc(), invoice, 0, mod.state.currentWorkPointId, 6), 6);
    QCOMPARE(counter(mod, "NrFactura"), 17);
    // The counter meeting a typed number is refused too, instead of repeating it.
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=6 where id=:id"), {mod.state.currentWorkPointId});
    const qint64 next = insertDocument(mod, 0, QDate(2026, 12, 12), 0, false);
    QVERIFY_THROWS_EXCEPTION(ActionRefused, numbering::allocateNumber(mod.cnc(), next, 0, mod.state.currentWorkPointId, std::nullopt));
    QCOMPARE(counter(mod, "NrFactura"), 6);
}

void TestDocuments::dateOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("existing");
    QTest::addColumn<bool>("validated");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("asked");
    QTest::newRow("later validated of the same kind") << 1 << QDate(2026, 12, 10) << true << QDate(2026, 12, 9) << true;
    QTest::newRow("same day passes") << 0 << QDate(2026, 12, 10) << true << QDate(2026, 12, 10) << false;
    QTest::newRow("earlier passes") << 0 << QDate(2026, 12, 1) << true << QDate(2026, 12, 10) << false;
    QTest::newRow("unvalidated does not count") << 0 << QDate(2026, 12, 20) << false << QDate(2026, 12, 10) << false;
    QTest::newRow("another kind does not count") << 2 << QDate(2026, 12, 20) << true << QDate(2026, 12, 10) << false;
}

void TestDocuments::dateOrder()
{
    QFETCH(int, kind);
    QFETCH(QDate, existing);
    QFETCH(bool, validated);
    QFETCH(QDate, date);
    QFETCH(bool, asked);
    Modules mod;
    insertDocument(mod, kind, existing, validated ? 9 : 0, validated);
    const int checked = kind == 2 ? 0 : kind;
    const auto later = numbering::laterValidatedDocument(mod.cnc(), checked, date, mod.dm.companyId(), mod.state.currentWorkPointId);
    QCOMPARE(later.has_value(), asked);
    if (later) {
        QCOMPARE(numbering::dateOrderQuestion(checked, *later),
                 QStringLiteral("Aveti Aviz validat(a) emise pe 10.12.2026. Validare respinsa. Puteti sa continuati si "
                                "validati (YES) sau NO si corectati data (din tabelul de mai sus) si reveniti "));
    }
}

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
