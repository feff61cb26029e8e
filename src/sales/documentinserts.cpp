#include "documentinserts.h"

#include "db/connection.h"
#include "db/dberror.h"

namespace {

QVariant money(const Money &m)
{
    return QVariant::fromValue(m);
}

QVariant date(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

void checkTable(const QString &table, const char *expected)
{
    if (table.compare(QLatin1String(expected), Qt::CaseInsensitive) != 0)
        throw DbError::database(QStringLiteral("Invalid table: ") + table);
}

} // namespace

qint64 insertDocumentHeader(Connection &connection, const QString &table, const DocumentHeader &h)
{
    checkTable(table, "Facturi");
    static const QStringList columns = {
        QStringLiteral("nf"), QStringLiteral("seriaf"), QStringLiteral("data"), QStringLiteral("id_cump"),
        QStringLiteral("numedelegat"), QStringLiteral("delegatcnp"), QStringLiteral("seriabuletin"),
        QStringLiteral("nrbuletin"), QStringLiteral("sectia"), QStringLiteral("transport"), QStringLiteral("dataexped"),
        QStringLiteral("auto"), QStringLiteral("anulata"), QStringLiteral("contract"), QStringLiteral("sumaachitat"),
        QStringLiteral("modplata"), QStringLiteral("tipfact"), QStringLiteral("termenplata"), QStringLiteral("comentariu"),
        QStringLiteral("operator"), QStringLiteral("cnp"), QStringLiteral("achitata"), QStringLiteral("id_magazie"),
        QStringLiteral("tvatext"), QStringLiteral("nraviz"), QStringLiteral("datacomenzii"), QStringLiteral("monedafacturii"),
        QStringLiteral("valoarecurs"), QStringLiteral("monedacontract"), QStringLiteral("id_vanzator"),
        QStringLiteral("id_nrcontract"), QStringLiteral("tipavizfactura"), QStringLiteral("inout"),
        QStringLiteral("catcheltuiala"), QStringLiteral("enir"), QStringLiteral("actualizarestoc"),
        QStringLiteral("id_cont_client"), QStringLiteral("id_cont_furnizor"), QStringLiteral("seriaNir"),
        QStringLiteral("seriaBC"), QStringLiteral("id_punctlucru"), QStringLiteral("greutate"), QStringLiteral("volum"),
        QStringLiteral("licenta"), QStringLiteral("TermeniLivrare")};
    return connection.insert(
        table, columns,
        {h.nf, h.seriaF, date(h.data), h.idCump, h.numeDelegat, h.delegatCnp, h.seriaBuletin, h.nrBuletin, h.sectia,
         h.transport, date(h.dataExped), h.autoNr, h.anulata, h.contract, money(h.sumaAchitat), h.modPlata, h.tipFact,
         date(h.termenPlata), h.comentariu, h.operatorName, h.cnp, h.achitata, h.idMagazie, h.tvaText, h.nrAviz,
         date(h.dataComenzii), h.monedaFacturii, money(h.valoareCurs), h.monedaContract, h.idVanzator, h.idNrContract,
         h.tipAvizFactura, h.inOut, h.catCheltuiala, h.eNir, h.actualizareStoc, h.idContClient, h.idContFurnizor,
         h.seriaNir, h.seriaBc, h.idPunctLucru, h.greutate, h.volum, h.licenta, h.termeniLivrare});
}

qint64 insertDocumentLine(Connection &connection, const QString &table, const DocumentLine &l)
{
    checkTable(table, "ProdCumparate");
    static const QStringList columns = {
        QStringLiteral("id_fact"), QStringLiteral("id_magazie"), QStringLiteral("id_actin"), QStringLiteral("id_produs_lista"),
        QStringLiteral("Denumire"), QStringLiteral("Um"), QStringLiteral("cnt"), QStringLiteral("punin"),
        QStringLiteral("valoare"), QStringLiteral("valoaretva"), QStringLiteral("totalin"), QStringLiteral("cotatvain"),
        QStringLiteral("serie"), QStringLiteral("codm"), QStringLiteral("stoc"), QStringLiteral("PUInMM"),
        QStringLiteral("valinmm"), QStringLiteral("valtvainmm"), QStringLiteral("totalinmm"), QStringLiteral("PUnitaroutMM"),
        QStringLiteral("ValOutMM"), QStringLiteral("ValTVAOutMM"), QStringLiteral("TotaloutMM"), QStringLiteral("Adaos"),
        QStringLiteral("Puout"), QStringLiteral("ValOut"), QStringLiteral("ValTVAOut"), QStringLiteral("TotalOut"),
        QStringLiteral("monedaout"), QStringLiteral("cursout"), QStringLiteral("monedain"), QStringLiteral("cursin"),
        QStringLiteral("id_vanzator"), QStringLiteral("id_cumparator"), QStringLiteral("cotatvaout"), QStringLiteral("nrzecin"),
        QStringLiteral("nrzecout"), QStringLiteral("nrzecmm"), QStringLiteral("monedamm"), QStringLiteral("Stoc_Valoric"),
        QStringLiteral("adinstoc")};
    return connection.insert(
        table, columns,
        {l.idFact, l.idMagazie, l.idActin, l.idProdusLista, l.denumire, l.um, l.cnt, money(l.punIn), money(l.valoare),
         money(l.valoareTva), money(l.totalIn), money(l.cotaTvaIn), l.serie, l.codm, l.stoc, money(l.puInMM),
         money(l.valInMM), money(l.valTvaInMM), money(l.totalInMM), money(l.puOutMM), money(l.valOutMM),
         money(l.valTvaOutMM), money(l.totalOutMM), l.adaos, money(l.puOut), money(l.valOut), money(l.valTvaOut),
         money(l.totalOut), l.monedaOut, money(l.cursOut), l.monedaIn, money(l.cursIn), l.idVanzator, l.idCumparator,
         money(l.cotaTvaOut), l.nrzecIn, l.nrzecOut, l.nrzecMM, l.monedaMM, money(l.stocValoric), l.adinStoc});
}
