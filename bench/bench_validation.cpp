// Validating an invoice of 10, 100 and 1,000 lines in a database that
// already holds 100,000 documents: numbering, the rate of a euro line, every
// line recomputed and its stock issued, all in one transaction. The cost
// should follow the size of the invoice, not the size of the database.
// The floor reads what validation cannot do without (the counter, the lines,
// each line's oldest lot) and writes the same rows, with bare prepared
// statements in one transaction.
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "db/connection.h"
#include "db/transaction.h"
#include "floor.h"
#include "quiet.h"
#include "sales/documentinserts.h"
#include "sales/validation.h"
#include "stock/stockstore.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr int Documents = 100000;
constexpr int Products = 2000;

QString productName(int i)
{
    return QStringLiteral("Produs %1").arg(i, 4, 10, QLatin1Char('0'));
}

// A shop with years of documents: one in ten a supplier invoice whose two
// lines are lots of the shop's products (ten lots each), the others invoices
// of two lines.
struct Shop
{
    QTemporaryDir dir;
    AppState state;
    Quiet prompter;
    NoStore store;
    NoEditor editor;
    Tdm dm{state, prompter};
    qint64 client = 0;
    qint64 warehouse = 0;
    // Each draft starts further along the products, so that thousands of runs
    // spread over the whole stock instead of emptying the first few products.
    int firstProduct = 0;

    Shop()
    {
        if (!dm.start({dir.path(), store, editor}))
            throw std::runtime_error("the data modules did not start");
        Connection &c = dm.cnc();
        client = c.insert(
            QStringLiteral("Clienti"),
            {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("client")},
            {dm.companyId(), QStringLiteral("CLIENT SRL"), true});
        warehouse = c.scalar(QStringLiteral(
                                 "select min(id) from SubcategoriiStocuri where id_categorie=:w"),
                             {state.currentWorkPointId})
                        .toLongLong();

        Transaction t(c);
        QSqlQuery document(c.database());
        document.prepare(QStringLiteral(
            "insert into Facturi (Nf, SeriaF, Data, id_cump, id_vanzator, InOut, eNIR, Validata, "
            "tipavizfactura, id_punctlucru, MonedaFacturii) values (?, 'FCT', ?, ?, ?, ?, ?, 1, 0, "
            "?, 'RON')"));
        QSqlQuery line(c.database());
        line.prepare(QStringLiteral("insert into ProdCumparate (id_fact, id_magazie, adinStoc, "
                                    "Denumire, UM, Cnt, PUnIn, Valoare, "
                                    "PUInMM, ValInMM, PUOut, ValOut, TotalOut, PUnitaroutMM, "
                                    "ValOutMM, TotaloutMM, cotatvaout, "
                                    "monedaout, monedain, monedamm, nrzecIN, nrzecOut, nrzecMM, "
                                    "Stoc, Stoc_Valoric, Stoc_ValoricMM) "
                                    "values (?, ?, ?, ?, 'buc', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                    "21, 'RON', 'RON', 'RON', 2, 2, 2, ?, ?, ?)"));
        const QDateTime start(QDate(2017, 1, 1), QTime(8, 0));
        for (int i = 0; i < Documents; ++i) {
            const bool receipt = i % 10 == 0;
            document.addBindValue(receipt ? 0 : i + 1);
            document.addBindValue(
                start.addSecs(qint64(i) * 2400).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            document.addBindValue(client);
            document.addBindValue(dm.companyId());
            document.addBindValue(receipt ? 1 : 0);
            document.addBindValue(receipt ? 1 : 0);
            document.addBindValue(state.currentWorkPointId);
            if (!document.exec())
                throw std::runtime_error("document insert failed");
            const qint64 id = document.lastInsertId().toLongLong();
            for (int k = 0; k < 2; ++k) {
                const int product = ((receipt ? i / 10 : i) * 2 + k) % Products;
                const double quantity = receipt ? 1000 : 1;
                line.addBindValue(id);
                line.addBindValue(warehouse);
                line.addBindValue(receipt ? 1 : 0);
                line.addBindValue(productName(product));
                line.addBindValue(quantity);
                for (int v = 0; v < 4; ++v) // purchase prices and values
                    line.addBindValue(v % 2 == 0 ? 10.0 : 10.0 * quantity);
                line.addBindValue(15.0);
                line.addBindValue(15.0 * quantity);
                line.addBindValue(18.15 * quantity);
                line.addBindValue(15.0);
                line.addBindValue(15.0 * quantity);
                line.addBindValue(18.15 * quantity);
                line.addBindValue(receipt ? quantity : 0.0);
                line.addBindValue(receipt ? 10.0 * quantity : 0.0);
                line.addBindValue(receipt ? 10.0 * quantity : 0.0);
                if (!line.exec())
                    throw std::runtime_error("line insert failed");
            }
        }
        c.exec(QStringLiteral("update SeriiActe set NrFactura=:n"), {Documents + 1});
        t.commit();
        c.exec(QStringLiteral("analyze"));
    }

    // An unvalidated invoice of `lines` lines from stock, the last one priced in euro.
    qint64 draft(int lines)
    {
        Connection &c = dm.cnc();
        Transaction t(c);
        DocumentHeader h;
        h.seriaF = QStringLiteral("FCT");
        h.data = QDate(2030, 1, 1);
        h.idCump = client;
        h.idVanzator = dm.companyId();
        h.idMagazie = warehouse;
        h.tvaText = QStringLiteral("Cu TVA");
        h.monedaFacturii = QStringLiteral("RON");
        h.monedaContract = QStringLiteral("RON");
        h.idPunctLucru = state.currentWorkPointId;
        h.modPlata = QStringLiteral("OP");
        const qint64 id = insertDocumentHeader(c, QStringLiteral("Facturi"), h);
        for (int i = 0; i < lines; ++i) {
            const bool euro = i == lines - 1;
            DocumentLine l;
            l.idFact = id;
            l.idMagazie = warehouse;
            l.denumire = productName((firstProduct + i * 7) % Products);
            l.um = QStringLiteral("buc");
            l.cnt = 2;
            l.puOut = Money::fromInt(15);
            l.valOut = Money::fromInt(30);
            l.valTvaOut = Money::fromUnits(63000);
            l.totalOut = Money::fromUnits(363000);
            l.cotaTvaOut = Money::fromInt(21);
            l.monedaOut = euro ? QStringLiteral("EUR") : QStringLiteral("RON");
            l.monedaIn = QStringLiteral("RON");
            l.monedaMM = QStringLiteral("RON");
            l.idVanzator = dm.companyId();
            l.adinStoc = true;
            insertDocumentLine(c, QStringLiteral("ProdCumparate"), l);
        }
        t.commit();
        firstProduct = (firstProduct + lines) % Products;
        return id;
    }
};

std::unique_ptr<Shop> shop;

void validateInvoice(benchmark::State &state)
{
    if (!shop)
        shop = std::make_unique<Shop>();
    Tdm &dm = shop->dm;
    DocumentValidation validation(
        dm, [](const QString &) { return Money::parse(QStringLiteral("4.9767")); },
        [&dm](qint64 lineId, const QString &name, double quantity, int decimalsIn, int decimalsMM,
              qint64 workPointId) {
            stock::consumeStock(dm.cnc(), lineId, name, quantity, decimalsIn, decimalsMM,
                                workPointId, stock::Method::Fifo);
        });
    DocumentValidation::Options options;
    options.silent = true;
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 id = shop->draft(int(state.range(0)));
        state.ResumeTiming();
        if (validation.validate(id, options) != DocumentValidation::Outcome::Validated) {
            state.SkipWithError(validation.error().toStdString().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void exec(QSqlQuery &q)
{
    if (!q.exec())
        throw std::runtime_error(q.lastError().text().toStdString());
}

// What validating a draft cannot do without reading, through bare prepared
// statements: the counter, the document's lines, and the lot each line takes
// its two pieces from (FIFO, the oldest with stock) with that lot's new
// figures.
struct Writes
{
    struct Line
    {
        qint64 id = 0;
        qint64 lot = 0;
        double stock = 0;
        double value = 0;
        double valueMM = 0;
    };
    qint64 document = 0;
    qint64 number = 0;
    std::vector<Line> lines;

    Writes(Shop &shop, qint64 id) : document(id)
    {
        const QSqlDatabase db = shop.dm.cnc().database();
        const qint64 workPoint = shop.state.currentWorkPointId;
        QSqlQuery counter(db);
        counter.prepare(QStringLiteral("select NrFactura from SeriiActe where id=?"));
        counter.addBindValue(workPoint);
        exec(counter);
        counter.next();
        number = counter.value(0).toLongLong();
        std::vector<QString> names;
        QSqlQuery line(db);
        line.setForwardOnly(true);
        line.prepare(
            QStringLiteral("select id, Denumire from ProdCumparate where id_fact=? order by id"));
        line.addBindValue(id);
        exec(line);
        while (line.next()) {
            lines.push_back({line.value(0).toLongLong(), 0, 0, 0, 0});
            names.push_back(line.value(1).toString());
        }
        QSqlQuery lot(db);
        lot.setForwardOnly(true);
        lot.prepare(QStringLiteral(
            "select pc.id, pc.Stoc, pc.Stoc_Valoric, pc.Stoc_ValoricMM from ProdCumparate pc "
            "inner join Facturi f on f.id = pc.id_fact where pc.Denumire = ? and pc.adinStoc = 1 "
            "and pc.id_magazie > 0 and pc.Stoc > 0 and f.id_punctlucru = ? "
            "and (f.InOut = 1 or f.eNIR = 1) and f.Anulata = 0 and f.Stornata = 0 "
            "order by f.Data, pc.id limit 1"));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lot.addBindValue(names[i]);
            lot.addBindValue(workPoint);
            exec(lot);
            if (!lot.next())
                throw std::runtime_error("no lot left for the floor");
            lines[i].lot = lot.value(0).toLongLong();
            lines[i].stock = lot.value(1).toDouble() - 2;
            lines[i].value = lot.value(2).toDouble() - 20;
            lines[i].valueMM = lot.value(3).toDouble() - 20;
            lot.finish();
        }
    }
};

void validateInvoice_floor(benchmark::State &state)
{
    if (!shop)
        shop = std::make_unique<Shop>();
    Connection &c = shop->dm.cnc();
    const QSqlDatabase db = c.database();
    const qint64 workPoint = shop->state.currentWorkPointId;
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 draft = shop->draft(int(state.range(0)));
        state.ResumeTiming();
        Transaction t(c);
        const Writes w(*shop, draft);
        QSqlQuery counter(db);
        counter.prepare(QStringLiteral("update SeriiActe set NrFactura=? where id=?"));
        counter.addBindValue(w.number + 1);
        counter.addBindValue(workPoint);
        exec(counter);
        QSqlQuery number(db);
        number.prepare(QStringLiteral("update Facturi set Nf=?, ValoareCurs=? where id=?"));
        number.addBindValue(w.number);
        number.addBindValue(4.9767);
        number.addBindValue(w.document);
        exec(number);
        QSqlQuery sale(db);
        sale.prepare(QStringLiteral(
            "update ProdCumparate set PUnIn=?, Valoare=?, ValoareTVA=?, PUInMM=?, ValInMM=?, "
            "ValTVAInMM=?, PUnitaroutMM=?, ValOutMM=?, ValTVAOutMM=?, TotaloutMM=?, PUOut=?, "
            "ValOut=?, ValTVAOut=?, TotalOut=?, monedaOut=?, CursOut=?, nrzecOUT=?, monedaMM=?, "
            "nrzecMM=? where id=?"));
        QSqlQuery lot(db);
        lot.prepare(QStringLiteral(
            "update ProdCumparate set Stoc=?, Stoc_Valoric=?, Stoc_ValoricMM=? where id=?"));
        QSqlQuery issue(db);
        issue.prepare(QStringLiteral(
            "update ProdCumparate set ValoareMagazieIesire=?, ValoareMagazieIesireMM=?, "
            "Stoc_Istoric=?, Stoc_Valoric_Istoric=?, Stoc_Valoric_IstoricMM=? where id=?"));
        for (const Writes::Line &l : w.lines) {
            for (double v :
                 {10.0, 20.0, 4.2, 10.0, 20.0, 4.2, 15.0, 30.0, 6.3, 36.3, 15.0, 30.0, 6.3, 36.3})
                sale.addBindValue(v);
            sale.addBindValue(QStringLiteral("RON"));
            sale.addBindValue(1.0);
            sale.addBindValue(2);
            sale.addBindValue(QStringLiteral("RON"));
            sale.addBindValue(2);
            sale.addBindValue(l.id);
            exec(sale);
            lot.addBindValue(l.stock);
            lot.addBindValue(l.value);
            lot.addBindValue(l.valueMM);
            lot.addBindValue(l.lot);
            exec(lot);
            issue.addBindValue(20.0);
            issue.addBindValue(20.0);
            issue.addBindValue(l.stock);
            issue.addBindValue(l.value);
            issue.addBindValue(l.valueMM);
            issue.addBindValue(l.id);
            exec(issue);
        }
        QSqlQuery validated(db);
        validated.prepare(QStringLiteral("update Facturi set Validata=1 where id=?"));
        validated.addBindValue(w.document);
        exec(validated);
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerWithFloor("validateInvoice", validateInvoice, validateInvoice_floor, {{10}, {100}});
    // Longer, so that the largest invoice is validated more than once or twice.
    registerWithFloor("validateInvoice", validateInvoice, validateInvoice_floor, {{1000}}, 1.5);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shop.reset();
    return 0;
}
