// A generated shop must be one the program could have written: the same
// seed gives the same database, and its books add up.
#include "db/connection.h"
#include "generator.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

namespace {

generator::Options small(quint32 seed)
{
    generator::Options o;
    o.seed = seed;
    o.companies = 2;
    o.workPoints = 2;
    o.clients = 25;
    o.suppliers = 4;
    o.goods = 15;
    o.services = 12;
    o.documents = 240;
    o.documentsPerDay = 12;
    o.lastDay = QDate(2026, 1, 10); // the documents cross a year end
    return o;
}

// Everything the generator wrote, in a stable order.
QByteArray fingerprint(const QString &folder)
{
    Connection c;
    c.openSqlite(folder + QStringLiteral("/db/tarabix.db"));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char *table :
         {"Clienti", "SeriiActe", "Conturi", "ListaProduse", "Facturi", "ProdCumparate", "Incasari",
          "RegistruCasaSold", "RegistrulCasaDetalii"}) {
        c.read(QStringLiteral("select * from ") + QLatin1String(table) +
                   QStringLiteral(" order by 1"),
               {}, [&hash](QSqlQuery &q) {
                   while (q.next()) {
                       for (int i = 0; i < q.record().count(); ++i)
                           hash.addData(QByteArray(q.value(i).toString().toUtf8() + '|'));
                   }
               });
    }
    return hash.result().toHex();
}

QList<QVariantList> rows(Connection &c, const QString &sql)
{
    QList<QVariantList> out;
    c.read(sql, {}, [&out](QSqlQuery &q) {
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            out << row;
        }
    });
    return out;
}

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sameSeedSameShop();
    void booksAddUp();
    void existingDatabaseIsNeverReplaced();

private:
    QTemporaryDir m_dir;
    QString m_shop;
    generator::Summary m_summary;
};

void TestGenerator::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_shop = m_dir.filePath(QStringLiteral("shop"));
    m_summary = generator::generate(m_shop, small(7));
    QCOMPARE(m_summary.salesDocuments, 240);
    QCOMPARE(m_summary.companies, 2);
    QCOMPARE(m_summary.workPoints, 4);
    QVERIFY(m_summary.supplierDocuments > 0);
    QVERIFY(m_summary.collections > 0);
}

void TestGenerator::sameSeedSameShop()
{
    const QString again = m_dir.filePath(QStringLiteral("again"));
    const QString other = m_dir.filePath(QStringLiteral("other"));
    generator::generate(again, small(7));
    generator::generate(other, small(8));
    QCOMPARE(fingerprint(again), fingerprint(m_shop));
    QVERIFY(fingerprint(other) != fingerprint(m_shop));
}

void TestGenerator::booksAddUp()
{
    Connection c;
    c.openSqlite(m_shop + QStringLiteral("/db/tarabix.db"));

    // Lots never go below zero nor above what came in.
    QCOMPARE(
        c
            .scalar(QStringLiteral(
                "select count(*) from ProdCumparate pc join Facturi f on f.id=pc.id_fact "
                "where f.InOut=true and pc.adinStoc=true and (pc.Stoc < 0 or pc.Stoc > pc.Cnt)"))
            .toInt(),
        0);
    // What remains is what came in less what went out, per product and work point.
    QCOMPARE(
        c
            .scalar(QStringLiteral(
                "select count(*) from (select pc.Denumire, f.id_punctlucru, "
                "sum(case when f.InOut=true then pc.Cnt else 0 end) - "
                "sum(case when f.InOut=false and f.Validata=true then pc.Cnt else 0 end) as "
                "expected, "
                "sum(case when f.InOut=true then pc.Stoc else 0 end) as remaining "
                "from ProdCumparate pc join Facturi f on f.id=pc.id_fact where pc.adinStoc=true "
                "group by pc.Denumire, f.id_punctlucru) where abs(expected - remaining) > 0.0001"))
            .toInt(),
        0);

    // Numbers run without gaps or repeats per company, work point and kind,
    // and each counter stands right after its last number.
    for (const QVariantList &r : rows(
             c, QStringLiteral(
                    "select f.id_vanzator, f.id_punctlucru, f.Tipavizfactura, count(*), min(f.Nf), "
                    "max(f.Nf), count(distinct f.Nf), max(case f.Tipavizfactura when 0 then "
                    "s.NrFactura "
                    "when 1 then s.NrAviz else s.nrbc end) from Facturi f join SeriiActe s on "
                    "s.id=f.id_punctlucru where f.InOut=false and f.Validata=true group by 1, 2, "
                    "3"))) {
        QCOMPARE(r[3].toInt(), r[6].toInt());
        QCOMPARE(r[4].toInt(), 1);
        QCOMPARE(r[5].toInt(), r[3].toInt());
        QCOMPARE(r[7].toInt(), r[5].toInt() + 1);
    }

    // An invoice is marked paid exactly when its collections reach its total.
    QCOMPARE(
        c
            .scalar(QStringLiteral(
                "select count(*) from (select f.id, f.Achitata, "
                "(select coalesce(sum(Suma), 0) from Incasari i where i.id_fact=f.id and "
                "i.Anulata=0) as paid, "
                "(select sum(TotaloutMM) from ProdCumparate p where p.id_fact=f.id) as total "
                "from Facturi f where f.InOut=false and f.Tipavizfactura=0 and f.Validata=true) "
                "where (Achitata=1) <> (paid >= total - 0.00001)"))
            .toInt(),
        0);
    QVERIFY(c.scalar(QStringLiteral("select count(*) from Facturi where Achitata=true")).toInt() >
            0);

    // Every cash sheet adds up and opens with the total of the one before.
    double previousTotal = 0;
    QVariantList previousKey;
    int sheets = 0;
    for (const QVariantList &r :
         rows(c, QStringLiteral("select id_firma, id_punctlucru, Moneda, Data, NrFisa, Sold, "
                                "Incasari, PLati, Total, id from RegistruCasaSold "
                                "order by id_firma, id_punctlucru, Moneda, Data, NrFisa"))) {
        const QVariantList key{r[0], r[1], r[2]};
        QVERIFY(qAbs(r[5].toDouble() + r[6].toDouble() - r[7].toDouble() - r[8].toDouble()) <
                0.00001);
        const QVariantList lines =
            rows(c, QStringLiteral("select coalesce(sum(incasari), 0), coalesce(sum(plati), 0) "
                                   "from RegistrulCasaDetalii where id_fisa=%1")
                        .arg(r[9].toLongLong()))
                .first();
        QVERIFY(qAbs(lines[0].toDouble() - r[6].toDouble()) < 0.00001);
        QVERIFY(qAbs(lines[1].toDouble() - r[7].toDouble()) < 0.00001);
        // Cash is paid out only as far as the drawer holds it.
        QVERIFY(r[8].toDouble() >= 0);
        if (key == previousKey)
            QVERIFY(qAbs(r[5].toDouble() - previousTotal) < 0.00001);
        previousKey = key;
        previousTotal = r[8].toDouble();
        ++sheets;
    }
    QVERIFY(sheets > 1);
    // The day's cash goes to the bank and pays small expenses.
    QVERIFY(c.scalar(QStringLiteral("select count(*) from RegistrulCasaDetalii where plati > 0 "
                                    "and Explicatii='Depunere numerar la banca'"))
                .toInt() > 0);
    // Only cash collections are in the register.
    QCOMPARE(c.scalar(QStringLiteral(
                          "select count(*) from Incasari where ModPlata<>'Chitanta' and id in "
                          "(select id_incasare_Vorlesk from RegistrulCasaDetalii)"))
                 .toInt(),
             0);
    // Receipts written wrong were cancelled: they stay listed, without a cash line.
    QVERIFY(m_summary.cancelledCollections > 0);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Incasari where Anulata=1")).toInt(),
             m_summary.cancelledCollections);
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from Incasari where Anulata=1 and id in "
                                     "(select id_incasare_Vorlesk from RegistrulCasaDetalii)"))
                 .toInt(),
             0);
}

void TestGenerator::existingDatabaseIsNeverReplaced()
{
    const QByteArray before = fingerprint(m_shop);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, generator::generate(m_shop, small(9)));
    QCOMPARE(fingerprint(m_shop), before);
}

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
