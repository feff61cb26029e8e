// Goods given out from a warehouse on a sales document: what the warehouse
// offers on the document's day and how the line is priced for each kind.
#include "db/dataset.h"
#include "sales/documentinserts.h"
#include "sales/numbering.h"
#include "sales/workspace.h"
#include "stock/stockissue.h"
#include "support/modules.h"
#include "support/stocklots.h"

#include <QTest>

namespace {

// One warehouse and one supplier; lots are received into it.
class Shop
{
public:
    Modules mod;
    qint64 warehouse = 0;
    qint64 supplier = 0;

    Shop()
        : warehouse(firstWarehouse(mod)),
          supplier(mod.addPartner(QStringLiteral("FURNIZOR SRL"), false, true))
    {
    }

    qint64 receive(const QString &name, double quantity, QDate date,
                   LotPrices prices = {"12.5", "8", "8"})
    {
        return receiveLot(mod, warehouse, supplier, name, quantity, date, prices);
    }

    DocumentWorkspace draft(int kind, QDate date = QDate::currentDate())
    {
        DocumentWorkspace ws(mod.dm, {});
        ws.selectClient(mod.addPartner(QStringLiteral("CLIENT SRL")));
        DocumentWorkspace::Header h;
        h.kind = kind;
        h.workPointId = mod.state.currentWorkPointId;
        h.date = date;
        h.currency = QStringLiteral("RON");
        h.mentionText = QStringLiteral("Cu TVA");
        h.payment = QStringLiteral("OP");
        ws.setHeader(h);
        return ws;
    }

    QVariant column(qint64 line, const char *name)
    {
        return mod.cnc().scalar(QStringLiteral("select ") + QLatin1String(name) +
                                    QStringLiteral(" from ProdCumparate where id=:id"),
                                {line});
    }
    QString amount(qint64 line, const char *name)
    {
        Dataset ds(mod.cnc(), QStringLiteral("select ") + QLatin1String(name) +
                                  QStringLiteral(" from ProdCumparate where id=:id"));
        ds.setParam(0, line);
        ds.open();
        return ds.asMoney(QString::fromLatin1(name)).toString(2);
    }
};

} // namespace

class TestStockIssue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stockOfTheDocumentsDay();
    void quantityAgainstStock();
    void prices_data();
    void prices();
    void lineWritesTheHeaderWithItsWarehouse();
    void refusals();
};

// Lots of 3 and 4 make 7; a lot received after the document's day is not
// offered, one received late on that day is.
void TestStockIssue::stockOfTheDocumentsDay()
{
    Shop shop;
    const QDate day(2026, 3, 31);
    shop.receive(QStringLiteral("Surub"), 3, day.addDays(-10));
    shop.receive(QStringLiteral("Surub"), 4, day);
    shop.receive(QStringLiteral("Surub"), 5, day.addDays(1));
    shop.receive(QStringLiteral("Piulita"), 2, day.addDays(1));
    const QList<stockissue::ProductInStock> products =
        stockissue::productsInStock(shop.mod.cnc(), shop.warehouse, shop.mod.dm.companyId(),
                                    shop.mod.state.currentWorkPointId, day);
    QCOMPARE(products.size(), 1);
    QCOMPARE(products.first().name, QStringLiteral("Surub"));
    QCOMPARE(products.first().stock, 7.0);
    QCOMPARE(products.first().value.toString(2), QStringLiteral("56.00"));
    const auto stockOn = [&shop](QDate d) {
        return stockissue::stockOf(shop.mod.cnc(), shop.warehouse, shop.mod.dm.companyId(),
                                   shop.mod.state.currentWorkPointId, d, QStringLiteral("Surub"),
                                   QStringLiteral("buc"));
    };
    QCOMPARE(stockOn(day), 7.0);
    QCOMPARE(stockOn(day.addDays(-1)), 3.0);
    QCOMPARE(stockOn(day.addDays(1)), 12.0);
}

void TestStockIssue::quantityAgainstStock()
{
    Shop shop;
    shop.receive(QStringLiteral("Surub"), 3, QDate::currentDate().addDays(-2));
    shop.receive(QStringLiteral("Surub"), 4, QDate::currentDate().addDays(-1));
    DocumentWorkspace ws = shop.draft(numbering::Invoice);
    QVERIFY(!ws.addStockLine(shop.warehouse, QStringLiteral("Surub"), QStringLiteral("buc"),
                             QStringLiteral("7,5"), QStringLiteral("0")));
    QCOMPARE(shop.mod.prompter.shown.last(),
             QStringLiteral("info: Cantitatea de scazut este mai mare decat cea de pe stoc"));
    QVERIFY(!ws.docOpen());
    const std::optional<qint64> line =
        ws.addStockLine(shop.warehouse, QStringLiteral("Surub"), QStringLiteral("buc"),
                        QStringLiteral("6,5"), QStringLiteral("0"));
    QVERIFY(line);
    QCOMPARE(shop.column(*line, "Cnt").toDouble(), 6.5);
    // Nothing leaves the lots before validation.
    QCOMPARE(
        shop.mod.cnc().scalar(QStringLiteral("select sum(Stoc) from ProdCumparate")).toDouble(),
        7.0);
}

void TestStockIssue::prices_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("puOut");
    QTest::addColumn<QString>("pu");
    QTest::addColumn<QString>("puMM");
    QTest::addColumn<QString>("total"); // two pieces, VAT 21%

    QTest::newRow("invoice at the sale price") << int(numbering::Invoice) << "0"
                                               << "12.5"
                                               << "12.50"
                                               << "12.50"
                                               << "30.25";
    QTest::newRow("invoice with a mark-up") << int(numbering::Invoice) << "10"
                                            << "12.5"
                                            << "13.75"
                                            << "13.75"
                                            << "33.28";
    QTest::newRow("invoice with a discount") << int(numbering::Invoice) << "-10"
                                             << "12.5"
                                             << "11.25"
                                             << "11.25"
                                             << "27.23";
    QTest::newRow("invoice given away") << int(numbering::Invoice) << "-100"
                                        << "12.5"
                                        << "0.00"
                                        << "0.00"
                                        << "0.00";
    QTest::newRow("invoice, lot without a sale price") << int(numbering::Invoice) << "0"
                                                       << "0"
                                                       << "8.00"
                                                       << "8.00"
                                                       << "19.36";
    QTest::newRow("delivery note, lot without a sale price") << int(numbering::DeliveryNote) << "0"
                                                             << "0"
                                                             << "0.00"
                                                             << "0.00"
                                                             << "0.00";
    QTest::newRow("consumption note at cost") << int(numbering::ConsumptionNote) << "0"
                                              << "12.5"
                                              << "8.00"
                                              << "8.00"
                                              << "19.36";
    QTest::newRow("consumption note, percent on the main price only")
        << int(numbering::ConsumptionNote) << "10"
        << "12.5"
        << "8.00"
        << "8.80"
        << "19.36";
}

void TestStockIssue::prices()
{
    QFETCH(int, kind);
    QFETCH(QString, percent);
    QFETCH(QString, puOut);
    QFETCH(QString, pu);
    QFETCH(QString, puMM);
    QFETCH(QString, total);
    Shop shop;
    const QByteArray lotPrice = puOut.toLatin1();
    const qint64 lot = shop.receive(QStringLiteral("Surub"), 5, QDate::currentDate().addDays(-1),
                                    {lotPrice.constData(), "8", "8"});
    DocumentWorkspace ws = shop.draft(kind);
    const std::optional<qint64> line =
        ws.addStockLine(shop.warehouse, QStringLiteral("Surub"), QStringLiteral("buc"),
                        QStringLiteral("2"), percent);
    QVERIFY(line);
    QCOMPARE(shop.amount(*line, "PUOut"), pu);
    QCOMPARE(shop.amount(*line, "PUnitaroutMM"), puMM);
    QCOMPARE(shop.amount(*line, "TotalOut"), total);
    QCOMPARE(shop.column(*line, "id_produs_lista").toLongLong(), lot);
    QCOMPARE(shop.column(*line, "id_vanzator").toLongLong(), shop.supplier);
    QCOMPARE(shop.column(*line, "id_cumparator").toLongLong(), shop.mod.dm.companyId());
    QCOMPARE(shop.column(*line, "Adaos").toInt(), percent.toInt());
    QCOMPARE(shop.column(*line, "Stoc").toDouble(), 0.0);
    QCOMPARE(shop.amount(*line, "PUnIn"), QStringLiteral("0.00"));
    QVERIFY(shop.column(*line, "adinStoc").toBool());
}

void TestStockIssue::lineWritesTheHeaderWithItsWarehouse()
{
    Shop shop;
    shop.receive(QStringLiteral("Surub"), 5, QDate::currentDate().addDays(-1));
    DocumentWorkspace ws = shop.draft(numbering::Invoice);
    QVERIFY(ws.addStockLine(shop.warehouse, QStringLiteral("Surub"), QStringLiteral("buc"),
                            QStringLiteral("1"), QStringLiteral("0")));
    QVERIFY(ws.docOpen());
    QCOMPARE(shop.mod.cnc()
                 .scalar(QStringLiteral("select id_magazie from Facturi where id=:id"),
                         {ws.documentId()})
                 .toLongLong(),
             shop.warehouse);
    QVERIFY(ws.addStockLine(shop.warehouse, QStringLiteral("Surub"), QStringLiteral("buc"),
                            QStringLiteral("1"), QStringLiteral("5")));
    QCOMPARE(ws.lineCount(), 2);
    QCOMPARE(shop.mod.count(QStringLiteral("Facturi"), QStringLiteral("InOut=false")), 1);
}

void TestStockIssue::refusals()
{
    Shop shop;
    shop.receive(QStringLiteral("Surub"), 5, QDate::currentDate().addDays(-1));
    DocumentWorkspace ws = shop.draft(numbering::Invoice);
    struct Case
    {
        QString name, quantity, percent, message;
    };
    const QList<Case> cases = {
        {QStringLiteral("Surub"), QStringLiteral("doi"), QStringLiteral("0"),
         QStringLiteral(
             "info: Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit")},
        {QStringLiteral("Surub"), QStringLiteral("1"), QStringLiteral("7"),
         QStringLiteral("info: Alegeti procentul de discount/adaos din lista.")},
        {QStringLiteral("Cui"), QStringLiteral("1"), QStringLiteral("0"),
         QStringLiteral("info: Cantitatea de scazut este mai mare decat cea de pe stoc")},
        {QStringLiteral("Cui"), QStringLiteral("0"), QStringLiteral("0"),
         QStringLiteral("info: Nu aveti produse ")},
    };
    for (const Case &c : cases) {
        QVERIFY2(
            !ws.addStockLine(shop.warehouse, c.name, QStringLiteral("buc"), c.quantity, c.percent),
            qPrintable(c.message));
        QCOMPARE(shop.mod.prompter.shown.last(), c.message);
    }
    QCOMPARE(shop.mod.count(QStringLiteral("Facturi"), QStringLiteral("InOut=false")), 0);
}

QTEST_MAIN(TestStockIssue)
#include "tst_stockissue.moc"
