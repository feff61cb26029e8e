#include "db/dataset.h"
#include "reports/reportengine.h"
#include "sales/documentinserts.h"
#include "sales/validation.h"
#include "sales/workspace.h"
#include "settings/webclient.h"
#include "settings/webfetcher.h"
#include "settings/websettings.h"
#include "stock/stockstore.h"
#include "stock/supplierdocs.h"
#include "support/modules.h"
#include "../settings/loopbackserver.h"

#include <QDir>
#include <QProcess>
#include <QTest>

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

// Goods received on a supplier invoice: 10 kg of coffee at 40 and 5 at 44.
void receiveGoods(Modules &mod)
{
    supplierdocs::Workspace ws(mod.dm);
    ws.selectSupplier(mod.addPartner(QStringLiteral("FURNIZOR CAFEA SRL"), false, true));
    supplierdocs::Header h;
    h.kind = 0;
    h.goods = true;
    h.warehouseId = warehouseOf(mod);
    h.series = QStringLiteral("FC");
    h.number = QStringLiteral("501");
    h.date = QDateTime(QDate::currentDate().addDays(-2), QTime(10, 0));
    h.workPointId = mod.state.currentWorkPointId;
    ws.setHeader(h);
    for (const auto &[price, quantity] : QList<QPair<const char *, double>>{{"40", 10}, {"44", 5}}) {
        supplierdocs::Line l;
        l.name = QStringLiteral("Cafea boabe");
        l.unit = QStringLiteral("kg");
        l.price = m(price);
        l.quantity = quantity;
        l.vatRate = m("21");
        l.currencyIn = QStringLiteral("RON");
        l.amounts = supplierdocs::recalcInputPrices(l.price, quantity, l.vatRate, 2, false, Money(), Money(), 2);
        QVERIFY(ws.addLine(l));
    }
}

// An invoice selling 12 kg from stock and a licence priced in euro.
qint64 draftInvoice(Modules &mod, qint64 &stockLine)
{
    const qint64 sub = mod.cnc().scalar(QStringLiteral("select min(id) from Sortimente")).toLongLong();
    const qint64 licence = mod.cnc().insert(QStringLiteral("ListaProduse"),
                                            {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"), QStringLiteral("Pret"),
                                             QStringLiteral("cotaTVA"), QStringLiteral("moneda"), QStringLiteral("NrZecimale")},
                                            {sub, QStringLiteral("Licenta program"), QStringLiteral("buc"), QVariant::fromValue(m("100")),
                                             QVariant::fromValue(m("21")), QStringLiteral("EUR"), 2});
    DocumentWorkspace ws(mod.dm, [](const QString &) { return m("4.9767"); });
    ws.selectClient(mod.addPartner(QStringLiteral("CAFENEAUA VESELA SRL")));
    DocumentWorkspace::Header h;
    h.kind = 0;
    h.workPointId = mod.state.currentWorkPointId;
    h.currency = QStringLiteral("RON");
    h.mentionText = QStringLiteral("Cu TVA");
    h.payment = QStringLiteral("OP");
    ws.setHeader(h);
    ws.addProductLine(licence, QStringLiteral("1"), 0);
    // The line the stock page writes for goods taken from a warehouse.
    DocumentLine l;
    l.idFact = ws.documentId();
    l.idMagazie = warehouseOf(mod);
    l.denumire = QStringLiteral("Cafea boabe");
    l.um = QStringLiteral("kg");
    l.cnt = 12;
    l.puOut = m("60");
    l.valOut = m("720");
    l.valTvaOut = m("151.2");
    l.totalOut = m("871.2");
    l.cotaTvaOut = m("21");
    l.monedaOut = QStringLiteral("RON");
    l.monedaIn = QStringLiteral("RON");
    l.monedaMM = QStringLiteral("RON");
    l.idVanzator = mod.dm.companyId();
    l.adinStoc = true;
    stockLine = insertDocumentLine(mod.cnc(), QStringLiteral("ProdCumparate"), l);
    return ws.documentId();
}

QString value(Modules &mod, const QString &sql, const QVariantList &params)
{
    Dataset ds(mod.cnc(), sql);
    ds.setParams(params);
    ds.open();
    return ds.asMoney(ds.fieldName(0)).toString(2);
}

} // namespace

class TestPurchaseSale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void receiveSellValidatePrint();
    void shortageLeavesEverythingAsItWas();
};

void TestPurchaseSale::receiveSellValidatePrint()
{
    LoopbackServer<> server;
    const std::string feed = fixture(QFINDTESTDATA("../settings/fixtures/bnr/nbrfxrates.xml"));
    server.server.Get("/nbrfxrates.xml", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(feed, "text/xml");
    });
    server.start();
    Modules mod;
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17"));
    receiveGoods(mod);
    qint64 stockLine = 0;
    const qint64 invoice = draftInvoice(mod, stockLine);

    WebSettings settings;
    settings.rateFeedUrl = server.origin() + QStringLiteral("/nbrfxrates.xml");
    WebClient web(settings, mod.state, mod.prompter);
    WebFetcher rates(web);
    Tdm &dm = mod.dm;
    DocumentValidation validation(
        dm,
        [&rates](const QString &currency) -> std::optional<Money> {
            const auto quote = rates.fetchRate(currency);
            return quote ? std::optional<Money>(quote->rate) : std::nullopt;
        },
        [&dm](qint64 line, const QString &name, double quantity, int decimalsIn, int decimalsMM, qint64 workPoint) {
            stock::consumeStock(dm.cnc(), line, name, quantity, decimalsIn, decimalsMM, workPoint,
                                stock::valuationMethod(dm.cnc(), dm.companyId()));
        });
    mod.prompter.shown.clear();
    mod.prompter.answers.enqueue(true);
    mod.prompter.inputs.enqueue(QStringLiteral("4,9767"));
    QCOMPARE(validation.validate(invoice, {}), DocumentValidation::Outcome::Validated);
    // The fetched rate was offered to the user.
    QCOMPARE(mod.prompter.shown[1], QStringLiteral("input: Valoarea cursului valutar este de: / Introduceti cursul EUR: [4,9767]"));

    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {invoice}).toInt(), 17);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 18);
    QCOMPARE(value(mod, QStringLiteral("select ValoareCurs from Facturi where id=:id"), {invoice}), QStringLiteral("4.98"));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select ValoareCurs from Facturi where id=:id"), {invoice}).toDouble(), 4.9767);
    // The euro line converted once, the lei line left as it was.
    QCOMPARE(value(mod, QStringLiteral("select ValOut from ProdCumparate where id_fact=:f and Denumire='Licenta program'"), {invoice}),
             QStringLiteral("497.67"));
    QCOMPARE(value(mod, QStringLiteral("select TotalOut from ProdCumparate where id_fact=:f and Denumire='Licenta program'"), {invoice}),
             QStringLiteral("602.18"));
    QCOMPARE(value(mod, QStringLiteral("select TotaloutMM from ProdCumparate where id_fact=:f and Denumire='Licenta program'"), {invoice}),
             QStringLiteral("602.18"));
    QCOMPARE(value(mod, QStringLiteral("select ValOut from ProdCumparate where id=:id"), {stockLine}), QStringLiteral("720.00"));
    QCOMPARE(value(mod, QStringLiteral("select TotaloutMM from ProdCumparate where id=:id"), {stockLine}), QStringLiteral("871.20"));
    // FIFO: 10 kg at 40 and 2 at 44 went out; 3 kg at 44 stay.
    QCOMPARE(value(mod, QStringLiteral("select ValoareMagazieIesire from ProdCumparate where id=:id"), {stockLine}),
             QStringLiteral("488.00"));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select sum(Stoc) from ProdCumparate where adinStoc=true")).toDouble(), 3.0);
    QCOMPARE(value(mod, QStringLiteral("select sum(Stoc_Valoric) from ProdCumparate where adinStoc=true"), {}), QStringLiteral("132.00"));

    // The validated invoice prints.
    ReportEngine reports(mod.dm, mod.rc, mod.prompter);
    mod.dm.adoClienti.setParam(0, mod.dm.companyId());
    mod.dm.adoClienti.open();
    const qint64 client = mod.cnc().scalar(QStringLiteral("select id_cump from Facturi where id=:id"), {invoice}).toLongLong();
    mod.dm.adoClienti.locate(QStringLiteral("id"), client);
    mod.dm.adoNrFAct.close();
    mod.dm.adoNrFAct.setFiltered(false);
    mod.dm.adoNrFAct.setParams({client, mod.dm.companyId(), 0});
    mod.dm.adoNrFAct.open();
    const QString pdf = QDir(mod.program.path()).filePath(QStringLiteral("factura.pdf"));
    QVERIFY(reports.exportTemplate(mod.dm.companyId(), QStringLiteral("Factura"), pdf, QStringLiteral("titlul"), QStringLiteral("FACTURA")));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected : {"FACTURA", "17", "CAFENEAUA VESELA SRL", "Cafea boabe", "Licenta program", "497,67", "720,00",
                                 "1.217,67", "1.473,38"})
        QVERIFY2(printed.contains(QString::fromUtf8(expected)), expected);
}

void TestPurchaseSale::shortageLeavesEverythingAsItWas()
{
    Modules mod;
    mod.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17"));
    receiveGoods(mod);
    qint64 stockLine = 0;
    const qint64 invoice = draftInvoice(mod, stockLine);
    mod.cnc().exec(QStringLiteral("update ProdCumparate set Cnt=20 where id=:id"), {stockLine});
    const QString stockBefore = mod.cnc().scalar(QStringLiteral("select group_concat(Stoc || '/' || Stoc_Valoric) from ProdCumparate where adinStoc=true")).toString();
    Tdm &dm = mod.dm;
    DocumentValidation validation(
        dm, [](const QString &) { return m("4.9767"); },
        [&dm](qint64 line, const QString &name, double quantity, int decimalsIn, int decimalsMM, qint64 workPoint) {
            stock::consumeStock(dm.cnc(), line, name, quantity, decimalsIn, decimalsMM, workPoint, stock::Method::Fifo);
        });
    mod.prompter.shown.clear();
    mod.prompter.answers.enqueue(true);
    mod.prompter.inputs.enqueue(QStringLiteral("5"));
    QCOMPARE(validation.validate(invoice, {}), DocumentValidation::Outcome::Failed);
    QVERIFY(mod.prompter.shown.last().contains(QStringLiteral("Stoc insuficient pentru Cafea boabe")));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {invoice}).toInt(), 0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 17);
    QCOMPARE(value(mod, QStringLiteral("select ValOut from ProdCumparate where id_fact=:f and Denumire='Licenta program'"), {invoice}),
             QStringLiteral("100.00"));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select group_concat(Stoc || '/' || Stoc_Valoric) from ProdCumparate where adinStoc=true")).toString(),
             stockBefore);
}

QTEST_MAIN(TestPurchaseSale)
#include "tst_purchasesale.moc"
