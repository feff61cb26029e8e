#include "tdmrc.h"

#include "tdm.h"

#include "cashbook/registerrules.h"

#include "core/appstate.h"

#include <QDate>

namespace {

void name(Dataset &ds, const char *objectName)
{
    ds.setObjectName(QString::fromLatin1(objectName));
}

} // namespace

TdmRC::TdmRC(Tdm &dm)
    : m_dm(dm),
      adoConturi(dm.cnc(), QStringLiteral("Select  * from Conturi Where\r\nid_firma=:idf")),
      adoconturiFurnizor(dm.cnc(), QStringLiteral("Select  * from Conturi Where\r\nid_firma=:idf")),
      adoCatFactIn(dm.cnc(), QStringLiteral("select CategorieFacturi, Cod, venit, id, id_firma from "
                                            "CatFactIn\r\nwhere id_firma=:idf")),
      adoSortim(dm.cnc(), QStringLiteral("select * from SubcategoriiStocuri where id_categorie=:idc\r\n")),
      // A period is [first day, day after the last).
      adoFacturi(dm.cnc(), QStringLiteral("Select  facturi.id as fid, \r\nfacturi.comentariu as comentariu,\r\n"
                                          "facturi.seriabuletin as seriabuletin,\r\nfacturi.sectia as sectia,\r\n"
                                          "facturi.nrbuletin as nrbuletin, * from Facturi\r\nInner Join Clienti On "
                                          "Clienti.id=Facturi.id_cump \r\n\r\nWhere facturi.id_vanzator=:idf and "
                                          "facturi.Tipavizfactura=:ptip\r\nand facturi.id_punctlucru=:idc\r\nand "
                                          "facturi.data >= :pd1 and facturi.data < :pd2\r\n\r\nOrder by data DESC")),
      adoTotal(dm.cnc()),
      adoFacturiEmiseContract(dm.cnc(), QStringLiteral("Select * from Facturi Where id_vanzator=:idf and id_cump=:idc "
                                                       "and id_nrcontract=:idn order by data desc")),
      adoNrFAct(dm.cnc(), Tdm::partnerDocumentsSql()),
      adoFisa(dm.cnc(), QStringLiteral("select * from RegistruCasaSold\r\nwhere id_firma=:pid and moneda=:idm and "
                                       "id_punctlucru=:idp\r\nOrder By data asc, nrfisa")),
      adoDetaliiFisa(dm.cnc(), QStringLiteral("Select * from RegistrulCasaDetalii\r\nWhere id_fisa=:pidf\r\nOrder by id Asc")),
      adoFisaService(dm.cnc(), QStringLiteral("select *, Clienti.NumeFirma from Fise \r\nInner Join Clienti On "
                                              "Clienti.id=Fise.id_client\r\nwhere fise.id_firma=:idf\r\norder by nr "
                                              "desc\r\n\r\n")),
      adoCategActeExpira(dm.cnc(), QStringLiteral("select *  from CategActeExpira\r\nwhere id_firma=:idf")),
      adoActeExpira(dm.cnc(), QStringLiteral("select * from ActeExpira\r\nwhere id_Vanzator=:idv and "
                                             "id_categorie=:idc\r\nOrder By dataexp desc"))
{
    name(adoConturi, "adoConturi");
    name(adoconturiFurnizor, "adoconturiFurnizor");
    name(adoTotal, "adoTotal");
    name(adoFacturiEmiseContract, "adoFacturiEmiseContract");
    name(adoCatFactIn, "adoCatFactIn");
    name(adoSortim, "adoSortim");
    name(adoFacturi, "adoFacturi");
    name(adoNrFAct, "adoNrFAct");
    name(adoFisa, "adoFisa");
    name(adoDetaliiFisa, "adoDetaliiFisa");
    name(adoFisaService, "adoFisaService");
    name(adoCategActeExpira, "adoCategActeExpira");
    name(adoActeExpira, "adoActeExpira");

    adoFacturi.setUpdateTable(QStringLiteral("Facturi"), QStringLiteral("fid"), QStringLiteral("id"));
    adoNrFAct.setUpdateTable(QStringLiteral("Facturi"), QStringLiteral("fid"), QStringLiteral("id"));
    adoFisaService.setUpdateTable(QStringLiteral("Fise"), QStringLiteral("id"));
    wireRules();
    m_dm.setSecondModule(this);
}

TdmRC::~TdmRC()
{
    m_dm.setSecondModule(nullptr);
}

void TdmRC::wireRules()
{
    AppState &state = m_dm.state();
    auto reopen = [](Dataset &ds, const QVariantList &params) {
        ds.close();
        ds.setParams(params);
        ds.open();
    };
    adoSortim.onNewRecord = [&state](Dataset &ds) { ds.setValue(QStringLiteral("id_categorie"), state.currentWorkPointId); };
    adoFacturi.afterScroll = [this](Dataset &) { adoFacturiAfterScroll(); };
    adoFacturi.beforeDelete = [this](Dataset &ds) { return m_dm.documentBeforeDelete(ds); };
    adoFacturi.afterDelete = [](Dataset &ds) { ds.requery(); };
    adoNrFAct.beforeDelete = [this](Dataset &ds) { return m_dm.documentBeforeDelete(ds); };
    adoNrFAct.afterDelete = [](Dataset &ds) { ds.requery(); };
    adoConturi.onNewRecord = [&state](Dataset &ds) { ds.setValue(QStringLiteral("id_firma"), state.currentClientId); };
    adoconturiFurnizor.onNewRecord = [&state](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"), state.currentClientId);
    };
    adoCatFactIn.onNewRecord = [this](Dataset &ds) { ds.setValue(QStringLiteral("id_firma"), m_dm.companyId()); };
    adoCategActeExpira.onNewRecord = [this](Dataset &ds) { ds.setValue(QStringLiteral("id_firma"), m_dm.companyId()); };
    adoCategActeExpira.afterScroll = [this, reopen](Dataset &ds) {
        reopen(adoActeExpira, {m_dm.companyId(), ds.isEmpty() ? QVariant() : ds.value(QStringLiteral("ID"))});
    };
    adoActeExpira.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_vanzator"), m_dm.companyId());
        ds.setValue(QStringLiteral("id_categorie"),
                    adoCategActeExpira.isEmpty() ? QVariant() : adoCategActeExpira.value(QStringLiteral("ID")));
    };
    adoFisaService.onNewRecord = [&state](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"), state.currentWorkPointId);
        ds.setValue(QStringLiteral("DataIn"), QDate::currentDate());
        ds.setValue(QStringLiteral("id_client"), state.currentClientId);
    };
    adoFacturiEmiseContract.afterScroll = [this](Dataset &) { adoFacturiEmiseContractAfterScroll(); };
    CashRegisterRules::attach(*this);
}

void TdmRC::adoFacturiAfterScroll()
{
    Dataset &lines = m_dm.adoPrCump;
    if (adoFacturi.isEmpty()) {
        lines.close();
        return;
    }
    const QVariant document = adoFacturi.value(QStringLiteral("fid"));
    lines.close();
    lines.setParam(0, document);
    lines.open();
    adoTotal.close();
    adoTotal.setSql(listShowsReceived
                        ? QStringLiteral("select sum(valoare) as Expr1000, sum(valoaretva) as Expr1001, sum(totalin) as "
                                         "Expr1002 from ProdCumparate where id_fact=:f")
                        : QStringLiteral("select sum(valout) as Expr1000, sum(valtvaout) as Expr1001, sum(totalout) as "
                                         "Expr1002 from ProdCumparate where id_fact=:f"));
    adoTotal.setParam(0, document);
    adoTotal.open();
}

void TdmRC::adoFacturiEmiseContractAfterScroll()
{
    if (adoFacturiEmiseContract.isEmpty())
        return;
    const QVariant invoice = adoFacturiEmiseContract.value(QStringLiteral("id"));
    Dataset &lines = m_dm.adoPrCump;
    lines.close();
    lines.setParam(0, invoice);
    lines.open();
    if (lines.isEmpty())
        lines.close();
    Dataset &collections = m_dm.adoIncasari;
    collections.close();
    collections.setSql(QStringLiteral("Select * from Incasari Where id_cumparator=:idc and id_firma=:idf  order by data desc"));
    collections.setParams({adoFacturiEmiseContract.value(QStringLiteral("id_cump")), m_dm.companyId()});
    collections.setFilter(QStringLiteral("id_fact=") + QString::number(invoice.toLongLong()));
    collections.setFiltered(true);
    collections.open();
}
