#include "db/dberror.h"
#include "db/transaction.h"
#include "stock/stockstore.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QTest>

using namespace stock;

Q_DECLARE_METATYPE(stock::Method)

namespace {

QDateTime march(int day, int hour = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, 0));
}

// Stock documents of one product written as the supplier screens and the
// sales screens leave them; sales are validated as validation does it.
class Shop
{
public:
    Shop() : c(db.connection()), workPoint(db.workPointId()) {}

    qint64 document(const QDateTime &date, bool received, bool validated)
    {
        return c.insert(QStringLiteral("Facturi"),
                        {QStringLiteral("Data"), QStringLiteral("InOut"), QStringLiteral("eNIR"),
                         QStringLiteral("Validata"), QStringLiteral("id_punctlucru")},
                        {date, received, received, validated, workPoint});
    }

    // A validated receipt of `quantity` at `price`; the main currency is worth
    // a fifth of the input currency. Its stock history is written by a replay,
    // as the receipt's validation leaves it.
    qint64 receive(const QDateTime &date, double quantity, const char *price,
                   Method method = Method::Fifo)
    {
        const Money unit = *Money::parse(QString::fromLatin1(price));
        const Money value = unit.times(quantity, 2);
        const qint64 line = c.insert(
            QStringLiteral("ProdCumparate"),
            {QStringLiteral("id_fact"), QStringLiteral("id_magazie"), QStringLiteral("adinStoc"),
             QStringLiteral("Denumire"), QStringLiteral("Cnt"), QStringLiteral("PUnIn"),
             QStringLiteral("Valoare"), QStringLiteral("PUInMM"), QStringLiteral("ValInMM"),
             QStringLiteral("nrzecIN"), QStringLiteral("nrzecMM"), QStringLiteral("Stoc"),
             QStringLiteral("Stoc_Valoric"), QStringLiteral("Stoc_ValoricMM")},
            {document(date, true, true), 1, true, Name, quantity, QVariant::fromValue(unit),
             QVariant::fromValue(value), QVariant::fromValue(unit.mulDiv(5, 1, 2)),
             QVariant::fromValue(value.mulDiv(5, 1, 2)), 2, 2, quantity, QVariant::fromValue(value),
             QVariant::fromValue(value.mulDiv(5, 1, 2))});
        replay(method);
        return line;
    }

    qint64 saleLine(const QDate &date, double quantity, bool fromStock = true)
    {
        return c.insert(
            QStringLiteral("ProdCumparate"),
            {QStringLiteral("id_fact"), QStringLiteral("id_magazie"), QStringLiteral("adinStoc"),
             QStringLiteral("Denumire"), QStringLiteral("Cnt"), QStringLiteral("nrzecIN"),
             QStringLiteral("nrzecMM")},
            {document(date.startOfDay(), false, false), 1, fromStock, Name, quantity, 2, 2});
    }

    // Validation: the stock issued and the document flagged, in one transaction.
    void validate(qint64 line, double quantity, Method method = Method::Fifo)
    {
        Transaction t(c);
        consumeStock(c, line, Name, quantity, 2, 2, workPoint, method);
        c.exec(QStringLiteral("update Facturi set Validata = true where id = :id"),
               {documentOf(line)});
        t.commit();
    }

    qint64 sell(const QDate &date, double quantity, Method method = Method::Fifo)
    {
        const qint64 line = saleLine(date, quantity);
        validate(line, quantity, method);
        return line;
    }

    int replay(Method method = Method::Fifo)
    {
        Transaction t(c);
        const int changed = replayStock(c, Name, workPoint, method);
        t.commit();
        return changed;
    }

    void flagDocument(qint64 line, const char *flag)
    {
        c.exec(QStringLiteral("update Facturi set ") + QLatin1String(flag) +
                   QStringLiteral(" = true where id = :id"),
               {documentOf(line)});
    }

    qint64 documentOf(qint64 line)
    {
        return c.scalar(QStringLiteral("select id_fact from ProdCumparate where id = :id"), {line})
            .toLongLong();
    }

    // Stoc, Stoc_Valoric, Stoc_ValoricMM | Stoc_Istoric, Stoc_Valoric_Istoric(MM) | exit values.
    QString columns(qint64 line)
    {
        QSqlQuery q = c.run(
            QStringLiteral("select Stoc, Stoc_Valoric, Stoc_ValoricMM, Stoc_Istoric, "
                           "Stoc_Valoric_Istoric, Stoc_Valoric_IstoricMM, ValoareMagazieIesire, "
                           "ValoareMagazieIesireMM from ProdCumparate where id = :id"),
            {line});
        q.next();
        auto money = [&](int i) { return Money::fromDouble(q.value(i).toDouble()).toString(2); };
        return QString::number(q.value(0).toDouble()) + u' ' + money(1) + u' ' + money(2) +
               QStringLiteral(" | ") + QString::number(q.value(3).toDouble()) + u' ' + money(4) +
               u' ' + money(5) + QStringLiteral(" | ") + money(6) + u' ' + money(7);
    }

    QString refusal(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const StockError &e) {
            return e.message();
        }
        return QStringLiteral("no error");
    }

    static inline const QString Name = QStringLiteral("Cuie 50mm");
    TestDb db;
    Connection &c;
    qint64 workPoint;
};

} // namespace

class TestStockStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void consumingAndReplayingWriteTheStockColumns();
    void replayRightAfterConsumingChangesNothing_data();
    void replayRightAfterConsumingChangesNothing();
    void shortageIsRefusedAndRolledBack();
    void whatCountsAsALot_data();
    void whatCountsAsALot();
    void lotsAreReadInDateOrder_data();
    void lotsAreReadInDateOrder();
    void cancellingAReceiptReplaysTheLaterSales();
    void linesOutsideStockAndEmptyHistories();
    void valuationMethodIsTheCompanys();
};

void TestStockStore::consumingAndReplayingWriteTheStockColumns()
{
    Shop shop;
    const qint64 first = shop.receive(march(1, 9), 3, "2.00");
    const qint64 second = shop.receive(march(2, 9), 10, "3.00");
    QCOMPARE(shop.columns(second), QStringLiteral("10 30.00 150.00 | 13 36.00 180.00 | 0.00 0.00"));

    const qint64 sold = shop.sell(QDate(2026, 3, 3), 5);
    QCOMPARE(shop.columns(first), QStringLiteral("0 0.00 0.00 | 3 6.00 30.00 | 0.00 0.00"));
    QCOMPARE(shop.columns(second), QStringLiteral("8 24.00 120.00 | 13 36.00 180.00 | 0.00 0.00"));
    // 3 × 2.00 and 2 × 3.00 left stock; 8 units worth 24.00 stay.
    QCOMPARE(shop.columns(sold), QStringLiteral("0 0.00 0.00 | 8 24.00 120.00 | 12.00 60.00"));

    // Cancelling the sale gives its goods back to the lots.
    shop.flagDocument(sold, "Anulata");
    QCOMPARE(shop.replay(), 2);
    QCOMPARE(shop.columns(first), QStringLiteral("3 6.00 30.00 | 3 6.00 30.00 | 0.00 0.00"));
    QCOMPARE(shop.columns(second), QStringLiteral("10 30.00 150.00 | 13 36.00 180.00 | 0.00 0.00"));
}

void TestStockStore::replayRightAfterConsumingChangesNothing_data()
{
    QTest::addColumn<Method>("method");
    QTest::newRow("FIFO") << Method::Fifo;
    QTest::newRow("LIFO") << Method::Lifo;
    QTest::newRow("PMP") << Method::Average;
}

void TestStockStore::replayRightAfterConsumingChangesNothing()
{
    QFETCH(Method, method);
    Shop shop;
    shop.receive(march(1, 9), 4, "1.10", method);
    shop.receive(march(1, 10), 6, "1.35", method);
    shop.sell(QDate(2026, 3, 2), 5, method);
    shop.receive(march(3, 9), 3, "1.99", method);
    shop.sell(QDate(2026, 3, 4), 2.5, method);
    shop.sell(QDate(2026, 3, 4), 3, method);
    const QString consumed = shop.db.dump();
    QCOMPARE(shop.replay(method), 0);
    QCOMPARE(shop.db.dump(), consumed);
}

void TestStockStore::shortageIsRefusedAndRolledBack()
{
    Shop shop;
    shop.receive(march(1, 9), 3, "2.00");
    shop.receive(march(2, 9), 2, "2.00");
    const qint64 line = shop.saleLine(QDate(2026, 3, 3), 6);
    const QString before = shop.db.dump();
    QCOMPARE(shop.refusal([&] { shop.validate(line, 6); }),
             QStringLiteral("Stoc insuficient pentru Cuie 50mm: disponibil 5, cerut 6"));
    QCOMPARE(shop.db.dump(), before);

    // Lots that were there and are empty: a shortage, not an unknown product.
    shop.sell(QDate(2026, 3, 3), 5);
    QCOMPARE(shop.refusal([&] { shop.sell(QDate(2026, 3, 4), 1); }),
             QStringLiteral("Stoc insuficient pentru Cuie 50mm: disponibil 0, cerut 1"));
}

void TestStockStore::whatCountsAsALot_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("isLot");

    QTest::newRow("received at price 0")
        << "update ProdCumparate set PUnIn = 0, Valoare = 0, Stoc_Valoric = 0" << true;
    QTest::newRow("an Aviz received") << "update Facturi set eNIR = false" << true;
    QTest::newRow("received the same day, later")
        << "update Facturi set Data = '2026-03-03 17:00:00'" << true;
    // A goods-receipt document stands in stock as soon as it is entered.
    QTest::newRow("received, not yet validated") << "update Facturi set Validata = false" << true;
    QTest::newRow("cancelled") << "update Facturi set Anulata = true" << false;
    QTest::newRow("reversed") << "update Facturi set Stornata = true" << false;
    QTest::newRow("another work point")
        << "update Facturi set id_punctlucru = id_punctlucru + 100" << false;
    QTest::newRow("received after the sale")
        << "update Facturi set Data = '2026-03-04 08:00:00'" << false;
    QTest::newRow("a services line") << "update ProdCumparate set adinStoc = false" << false;
    QTest::newRow("another product") << "update ProdCumparate set Denumire = 'Cuie 60mm'" << false;
}

void TestStockStore::whatCountsAsALot()
{
    QFETCH(QString, change);
    QFETCH(bool, isLot);
    Shop shop;
    const qint64 lot = shop.receive(march(1, 9), 5, "2.00");
    shop.c.exec(change);
    if (isLot) {
        shop.sell(QDate(2026, 3, 3), 1);
        QCOMPARE(
            shop.c.scalar(QStringLiteral("select Stoc from ProdCumparate where id = :id"), {lot})
                .toDouble(),
            4.0);
        // The replay tells the lot from the sale the same way.
        shop.replay();
        QCOMPARE(
            shop.c.scalar(QStringLiteral("select Stoc from ProdCumparate where id = :id"), {lot})
                .toDouble(),
            4.0);
    } else {
        QCOMPARE(shop.refusal([&] { shop.sell(QDate(2026, 3, 3), 1); }),
                 QStringLiteral("Nu gasesc produsul de intrare. Actualizarea stocului a esuat."));
    }
}

void TestStockStore::lotsAreReadInDateOrder_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<QString>("later");
    QTest::addColumn<QString>("earlier");

    QTest::newRow("FIFO takes the lot of 1 March") << Method::Fifo << "5 45.00"
                                                   << "3 3.00";
    QTest::newRow("LIFO takes the lot of 5 March") << Method::Lifo << "3 27.00"
                                                   << "5 5.00";
}

void TestStockStore::lotsAreReadInDateOrder()
{
    QFETCH(Method, method);
    QFETCH(QString, later);
    QFETCH(QString, earlier);
    Shop shop;
    // Entered out of date order: the lot of 5 March has the smaller id.
    const qint64 fifth = shop.receive(march(5, 9), 5, "9.00", method);
    const qint64 first = shop.receive(march(1, 9), 5, "1.00", method);
    shop.sell(QDate(2026, 3, 6), 2, method);
    QCOMPARE(shop.columns(fifth).left(later.size()), later);
    QCOMPARE(shop.columns(first).left(earlier.size()), earlier);
}

void TestStockStore::cancellingAReceiptReplaysTheLaterSales()
{
    Shop shop;
    const qint64 first = shop.receive(march(1, 9), 5, "2.00");
    const qint64 second = shop.receive(march(2, 9), 5, "3.00");
    const qint64 sold = shop.sell(QDate(2026, 3, 3), 4);
    QCOMPARE(shop.columns(sold), QStringLiteral("0 0.00 0.00 | 6 17.00 85.00 | 8.00 40.00"));

    shop.flagDocument(first, "Anulata");
    shop.replay();
    QCOMPARE(shop.columns(second), QStringLiteral("1 3.00 15.00 | 5 15.00 75.00 | 0.00 0.00"));
    QCOMPARE(shop.columns(sold), QStringLiteral("0 0.00 0.00 | 1 3.00 15.00 | 12.00 60.00"));

    // With no receipt left the sales cannot stand: cancelling the other
    // receipt too is refused as a whole.
    shop.sell(QDate(2026, 3, 4), 1);
    const QString before = shop.db.dump();
    QCOMPARE(shop.refusal([&] {
        Transaction t(shop.c);
        shop.flagDocument(second, "Anulata");
        replayStock(shop.c, Shop::Name, shop.workPoint, Method::Fifo);
        t.commit();
    }),
             QStringLiteral("Nu gasesc produsul de intrare. Actualizarea stocului a esuat."));
    QCOMPARE(shop.db.dump(), before);
}

void TestStockStore::linesOutsideStockAndEmptyHistories()
{
    Shop shop;
    const qint64 lot = shop.receive(march(1, 9), 5, "2.00");

    // A storno document's copy of a line does not come from stock: the replay
    // that reversed the original already gave its goods back.
    const qint64 storno = shop.saleLine(QDate(2026, 3, 2), -2, false);
    {
        Transaction t(shop.c);
        consumeStock(shop.c, storno, Shop::Name, -2, 2, 2, shop.workPoint, Method::Fifo);
        t.commit();
    }
    QCOMPARE(shop.columns(lot), QStringLiteral("5 10.00 50.00 | 5 10.00 50.00 | 0.00 0.00"));

    const qint64 line = shop.saleLine(QDate(2026, 3, 2), 1);
    QVERIFY_THROWS_EXCEPTION(
        DbError, consumeStock(shop.c, line, Shop::Name, 1, 2, 2, shop.workPoint, Method::Fifo));

    Transaction t(shop.c);
    QCOMPARE(shop.refusal([&] {
        replayStock(shop.c, QStringLiteral("Surub"), shop.workPoint, Method::Fifo);
    }),
             QStringLiteral("Produsele de pe factura nu au istoric de actualizat."));
    // The only receipt of a product cancelled: nothing is left to replay.
    shop.flagDocument(lot, "Anulata");
    QCOMPARE(replayStock(shop.c, Shop::Name, shop.workPoint, Method::Lifo), 0);
}

void TestStockStore::valuationMethodIsTheCompanys()
{
    Shop shop;
    const qint64 company = shop.db.companyId();
    const std::pair<int, Method> methods[] = {
        {0, Method::Fifo}, {1, Method::Lifo}, {2, Method::Average}};
    for (const auto &[code, method] : methods) {
        shop.c.exec(QStringLiteral("update Clienti set tipstoc = :t where id = :id"),
                    {code, company});
        QCOMPARE(valuationMethod(shop.c, company), method);
    }
    shop.c.exec(QStringLiteral("update Clienti set tipstoc = 7 where id = :id"), {company});
    QVERIFY_THROWS_EXCEPTION(DbError, valuationMethod(shop.c, company));
}

QTEST_GUILESS_MAIN(TestStockStore)
#include "tst_stockstore.moc"
