#include "stockissue.h"

#include "db/connection.h"
#include "db/values.h"

#include <QSqlQuery>

namespace stockissue {
namespace {

// Lots of a warehouse received up to the end of the document's day: the
// day after is the first moment left out.
const QString ProductsSql = QStringLiteral(
    "select pc.Denumire, pc.UM, sum(pc.Stoc) as Stoc, sum(pc.Stoc_Valoric) as StocValoric "
    "from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Stoc > 0 and pc.id_magazie = :idm and pc.id_cumparator = :idc and f.eNIR = true "
    "and f.Anulata = false and f.Stornata = false and f.id_punctlucru = :idp and f.Data < "
    ":dayafter "
    "group by pc.Denumire, pc.UM order by pc.Denumire, pc.UM");

const QString ProductStockSql = QStringLiteral(
    "select sum(pc.Stoc) from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.UM = :unit and pc.Stoc > 0 and pc.id_magazie = :idm "
    "and pc.id_cumparator = :idc and f.eNIR = true and f.Anulata = false and f.Stornata = false "
    "and f.id_punctlucru = :idp and f.Data < :dayafter");

const QString FirstLotSql = QStringLiteral(
    "select pc.id, pc.id_vanzator, pc.Denumire, pc.UM, pc.Serie, pc.PUOut, pc.PUnIn, pc.PUInMM, "
    "pc.monedaIn, "
    "pc.monedaOut, pc.nrzecOUT, pc.cotaTVAOut "
    "from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Stoc > 0 and pc.id_magazie = :idm and pc.id_cumparator = :idc and pc.adinStoc = true "
    "and f.Anulata = false and f.Stornata = false and f.id_punctlucru = :idp and f.Data < "
    ":dayafter "
    "and pc.Denumire = :name and pc.UM = :unit order by f.Data, pc.id limit 1");

} // namespace

QList<ProductInStock> productsInStock(Connection &connection, qint64 warehouseId, qint64 companyId,
                                      qint64 workPointId, QDate documentDate)
{
    QSqlQuery q =
        connection.run(ProductsSql, {warehouseId, companyId, workPointId, documentDate.addDays(1)});
    QList<ProductInStock> out;
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toDouble(),
                    moneyFromValue(q.value(3))});
    return out;
}

double stockOf(Connection &connection, qint64 warehouseId, qint64 companyId, qint64 workPointId,
               QDate documentDate, const QString &name, const QString &unit)
{
    return connection
        .scalar(ProductStockSql,
                {name, unit, warehouseId, companyId, workPointId, documentDate.addDays(1)})
        .toDouble();
}

std::optional<Lot> firstLot(Connection &connection, qint64 warehouseId, qint64 companyId,
                            qint64 workPointId, QDate documentDate, const QString &name,
                            const QString &unit)
{
    QSqlQuery q = connection.run(
        FirstLotSql, {warehouseId, companyId, workPointId, documentDate.addDays(1), name, unit});
    if (!q.next())
        return std::nullopt;
    Lot lot;
    lot.lineId = q.value(0).toLongLong();
    lot.supplierId = q.value(1).toLongLong();
    lot.name = q.value(2).toString();
    lot.unit = q.value(3).toString();
    lot.series = q.value(4).toString();
    lot.puOut = moneyFromValue(q.value(5));
    lot.puIn = moneyFromValue(q.value(6));
    lot.puInMM = moneyFromValue(q.value(7));
    lot.currencyIn = q.value(8).toString();
    lot.currencyOut = q.value(9).toString();
    lot.decimalsOut = q.value(10).toInt();
    lot.vatRateOut = moneyFromValue(q.value(11));
    return lot;
}

const QStringList &percentChoices()
{
    static const QStringList choices = {
        QStringLiteral("5"),   QStringLiteral("10"),  QStringLiteral("15"),  QStringLiteral("20"),
        QStringLiteral("50"),  QStringLiteral("100"), QStringLiteral("0"),   QStringLiteral("-5"),
        QStringLiteral("-10"), QStringLiteral("-15"), QStringLiteral("-20"), QStringLiteral("-50"),
        QStringLiteral("-100")};
    return choices;
}

} // namespace stockissue
