#include "tdmrc.h"

#include "tdm.h"

namespace {

void name(Dataset &ds, const char *objectName)
{
    ds.setObjectName(QString::fromLatin1(objectName));
}

} // namespace

TdmRC::TdmRC(Tdm &dm)
    : m_dm(dm),
      adoConturi(dm.cnc(), QStringLiteral("Select  * from Conturi Where\r\nid_firma=:idf")),
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
    m_dm.setSecondModule(this);
}

TdmRC::~TdmRC()
{
    m_dm.setSecondModule(nullptr);
}
