#include "clientbalance.h"

#include "db/adapter.h"
#include "db/connection.h"
#include "db/dataset.h"

namespace {

Money sum(Connection &c, const QString &sql, qint64 first, qint64 second)
{
    Dataset ds(c, sql);
    adaptDataset(ds);
    ds.setParams({first, second});
    ds.open();
    return ds.isEmpty() ? Money() : ds.asMoney(ds.fieldName(0));
}

} // namespace

Money clientBalance(Connection &c, qint64 company, qint64 partner)
{
    const Money invoiced = sum(
        c,
        QStringLiteral("SELECT DISTINCTROW  Sum([ProdCumparate].[TotaloutMM]) AS [Sum Of TotaloutMM]  FROM ProdCumparate "
                       "Inner Join Facturi On Facturi.id=ProdCumparate.id_fact  Where  Tipavizfactura=0 and "
                       "facturi.nf>0 and facturi.anulata<>true and facturi.stornata<>true  and "
                       "facturi.id_vanzator=:c and facturi.id_cump=:p"),
        company, partner);
    const Money supplied = sum(
        c,
        QStringLiteral("SELECT DISTINCTROW  Sum([ProdCumparate].[Totalinmm]) AS [Sum Of TotaloutMM]  FROM ProdCumparate "
                       "Inner Join Facturi On Facturi.id=ProdCumparate.id_fact  Where  Tipavizfactura=0 and "
                       "facturi.nf>0 and facturi.anulata<>true  and facturi.id_vanzator=:p and facturi.id_cump=:c"),
        partner, company);
    const Money collected = sum(
        c, QStringLiteral("select sum(sumamm) from incasari where anulata<>true and id_firma=:c and id_cumparator=:p"),
        company, partner);
    const Money paid = sum(
        c, QStringLiteral("select sum(sumamm) from plati where anulata<>true and id_firma=:c and id_cumparator=:p"),
        company, partner);
    return (invoiced - collected) - (supplied - paid);
}
