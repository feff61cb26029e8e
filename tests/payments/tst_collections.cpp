#include "payments/collections.h"
#include "core/amountwords.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "sales/documentinserts.h"
#include "support/modules.h"

#include <QTest>

using namespace collections;

namespace {

Money m(const char *t)
{
    return *Money::parse(QString::fromLatin1(t));
}

// A validated invoice of `total` lei (VAT included) for a client.
qint64 invoice(Modules &mod, qint64 client, const char *total)
{
    const qint64 doc = mod.cnc().insert(QStringLiteral("Facturi"),
                                        {QStringLiteral("Nf"), QStringLiteral("SeriaF"), QStringLiteral("Data"), QStringLiteral("Tipavizfactura"),
                                         QStringLiteral("id_cump"), QStringLiteral("id_vanzator"), QStringLiteral("Validata"),
                                         QStringLiteral("MonedaFacturii"), QStringLiteral("id_punctlucru")},
                                        {17, QStringLiteral("FCT"), QDate::currentDate(), 0, client, mod.dm.companyId(), true,
                                         QStringLiteral("RON"), mod.state.currentWorkPointId});
    DocumentLine l;
    l.idFact = doc;
    l.denumire = QStringLiteral("Servicii");
    l.cnt = 1;
    l.totalOut = m(total);
    l.valOut = m(total);
    insertDocumentLine(mod.cnc(), QStringLiteral("ProdCumparate"), l);
    return doc;
}

Collection receipt(Modules &mod, qint64 client, qint64 doc, const char *amount, const QString &method = QStringLiteral("Chitanta"))
{
    Collection c;
    c.invoiceId = doc;
    c.clientId = client;
    c.method = method;
    c.amount = m(amount);
    c.amountInWords = amountInWords(c.amount, QStringLiteral("RON")).value_or(QString());
    c.reprezentand = QStringLiteral("Contravaloarea facturii 17");
    const Numbering n = proposedNumber(mod.dm, method, mod.state.currentWorkPointId);
    c.numberText = QString::number(n.number);
    c.series = n.series;
    c.currency = TMonedaPlata{QStringLiteral("RON"), 2};
    c.workPointId = mod.state.currentWorkPointId;
    return c;
}

bool paid(Modules &mod, qint64 doc)
{
    return mod.cnc().scalar(QStringLiteral("select Achitata from Facturi where id=:id"), {doc}).toBool();
}

} // namespace

class TestCollections : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void methods_data();
    void methods();
    void twoPartialCollections();
    void deletingOrCancellingReopensTheInvoice();
    void overpaymentAndRoundingClose();
    void cardCollectionTakesNoReceipt();
    void refusals();
    void cancelledFirstSheetWritesNothing();
};

void TestCollections::methods_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // none bank receipt disposition cash
    QTest::newRow("receipt") << "Chitanta" << "00101";
    QTest::newRow("card receipt is a card payment") << "Chitanta Card" << "01000";
    QTest::newRow("bank order") << "OP" << "01000";
    QTest::newRow("card") << "Card" << "01000";
    QTest::newRow("cash register receipt") << "Bon de casa" << "00001";
    QTest::newRow("disposition") << "Dispozitie de incasare" << "00011";
    QTest::newRow("nothing") << "--" << "10000";
}

void TestCollections::methods()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const Method method = classify(text);
    const QString actual = QString::number(method.none) + QString::number(method.bank) + QString::number(method.receipt)
                           + QString::number(method.disposition) + QString::number(method.cash);
    QCOMPARE(actual, expected);
}

void TestCollections::twoPartialCollections()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = invoice(mod, client, "100");
    mod.prompter.inputs.enqueue(QStringLiteral("500"));
    mod.prompter.inputs.enqueue(QStringLiteral("1"));
    const std::optional<Added> first = addCollection(mod.dm, receipt(mod, client, doc, "60"));
    QVERIFY(first);
    QVERIFY(!first->invoicePaid);
    QCOMPARE(first->remaining->toString(2), QStringLiteral("40.00"));
    QVERIFY(!paid(mod, doc));
    QCOMPARE(unpaidInvoices(mod.dm, client).size(), 1);
    QCOMPARE(unpaidInvoices(mod.dm, client).first().due().toString(2), QStringLiteral("40.00"));

    const std::optional<Added> second = addCollection(mod.dm, receipt(mod, client, doc, "40"));
    QVERIFY(second->invoicePaid);
    QVERIFY(paid(mod, doc));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select SumaAchitat from Facturi where id=:id"), {doc}).toDouble(), 100.0);
    QVERIFY(unpaidInvoices(mod.dm, client).isEmpty());
    // Receipts 1 and 2, the counter at 3; both on the day's cash sheet.
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select group_concat(NrChit) from Incasari")).toString(), QStringLiteral("1,2"));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrChitanta from SeriiActe")).toInt(), 3);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Sumaliteral from Incasari where id=:id"), {second->id}).toString(),
             QStringLiteral("patruzecilei"));
    Dataset sheet(mod.cnc(), QStringLiteral("select * from RegistruCasaSold"));
    sheet.open();
    QCOMPARE(sheet.recordCount(), 1);
    QCOMPARE(sheet.asMoney(QStringLiteral("Sold")).toString(2), QStringLiteral("500.00"));
    QCOMPARE(sheet.asMoney(QStringLiteral("Incasari")).toString(2), QStringLiteral("100.00"));
    QCOMPARE(sheet.asMoney(QStringLiteral("Total")).toString(2), QStringLiteral("600.00"));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii")).toInt(), 2);
}

void TestCollections::deletingOrCancellingReopensTheInvoice()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = invoice(mod, client, "100");
    mod.prompter.inputs.enqueue(QStringLiteral("0"));
    mod.prompter.inputs.enqueue(QStringLiteral("1"));
    const qint64 a = addCollection(mod.dm, receipt(mod, client, doc, "60"))->id;
    const qint64 b = addCollection(mod.dm, receipt(mod, client, doc, "40"))->id;
    QVERIFY(paid(mod, doc));
    deleteCollection(mod.dm, b);
    QVERIFY(!paid(mod, doc));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select SumaAchitat from Facturi where id=:id"), {doc}).toDouble(), 60.0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii where id_incasare_Vorlesk=:id"), {b}).toInt(), 0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii where id_incasare_Vorlesk=:id"), {a}).toInt(), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Total from RegistruCasaSold")).toDouble(), 60.0);
    // A cancelled collection no longer counts and leaves the cash book.
    cancelCollection(mod.dm, a);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select SumaAchitat from Facturi where id=:id"), {doc}).toDouble(), 0.0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Anulata from Incasari where id=:id"), {a}).toInt(), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii")).toInt(), 0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select Total from RegistruCasaSold")).toDouble(), 0.0);
}

void TestCollections::overpaymentAndRoundingClose()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 over = invoice(mod, client, "100");
    QVERIFY(addCollection(mod.dm, receipt(mod, client, over, "110", QStringLiteral("OP")))->invoicePaid);
    // A total kept with four decimals closes with the two that were paid.
    const qint64 rounded = invoice(mod, client, "99.9951");
    QVERIFY(addCollection(mod.dm, receipt(mod, client, rounded, "100", QStringLiteral("OP")))->invoicePaid);
}

void TestCollections::cardCollectionTakesNoReceipt()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = invoice(mod, client, "100");
    Collection c = receipt(mod, client, doc, "100", QStringLiteral("Chitanta Card"));
    QCOMPARE(c.numberText, QStringLiteral("0"));
    QVERIFY(addCollection(mod.dm, c));
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrChitanta from SeriiActe")).toInt(), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii")).toInt(), 0);
    QVERIFY(paid(mod, doc));
}

void TestCollections::refusals()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = invoice(mod, client, "100");
    Collection c = receipt(mod, client, doc, "10");
    c.method = QStringLiteral("--");
    QVERIFY(!addCollection(mod.dm, c));
    c = receipt(mod, client, doc, "10");
    c.numberText.clear();
    QVERIFY(!addCollection(mod.dm, c));
    c = receipt(mod, client, doc, "10");
    c.currency = TMonedaPlata{QStringLiteral("EUR"), 2};
    QVERIFY(!addCollection(mod.dm, c));
    c = receipt(mod, client, doc, "0");
    QVERIFY(!addCollection(mod.dm, c));
    QCOMPARE(mod.prompter.shown,
             (QStringList{QStringLiteral("info: Nu ati completat tipul incasarii"), QStringLiteral("info: Nu ati completat numarul incasarii"),
                          QStringLiteral("info: Cursul nu poate fi 1"), QStringLiteral("info: Nu ati completat suma incasarii")}));
    // A receipt number already given is refused, and nothing is written.
    mod.prompter.inputs.enqueue(QStringLiteral("0"));
    mod.prompter.inputs.enqueue(QStringLiteral("1"));
    Collection first = receipt(mod, client, doc, "10");
    QVERIFY(addCollection(mod.dm, first));
    first.amount = m("5");
    QVERIFY(!addCollection(mod.dm, first));
    QCOMPARE(mod.count(QStringLiteral("Incasari")), 1);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrChitanta from SeriiActe")).toInt(), 2);
}

void TestCollections::cancelledFirstSheetWritesNothing()
{
    Modules mod;
    const qint64 client = mod.addPartner(QStringLiteral("CLIENT SRL"));
    const qint64 doc = invoice(mod, client, "100");
    mod.prompter.inputs.enqueue(std::nullopt);
    QVERIFY_THROWS_EXCEPTION(SilentAbort, addCollection(mod.dm, receipt(mod, client, doc, "60")));
    QCOMPARE(mod.count(QStringLiteral("Incasari")), 0);
    QCOMPARE(mod.count(QStringLiteral("RegistruCasaSold")), 0);
    QCOMPARE(mod.cnc().scalar(QStringLiteral("select NrChitanta from SeriiActe")).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestCollections)
#include "tst_collections.moc"
