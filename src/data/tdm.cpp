#include "tdm.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "db/adapter.h"
#include "db/connectionstring.h"
#include "db/database.h"
#include "db/dberror.h"
#include "tdmrc.h"

#include <QLocale>

namespace {

void name(Dataset &ds, const char *objectName)
{
    ds.setObjectName(QString::fromLatin1(objectName));
}

} // namespace

QString Tdm::partnerDocumentsSql()
{
    return QStringLiteral(
        "Select facturi.id as fid, \r\nfacturi.comentariu as comentariu,\r\nfacturi.seriabuletin as "
        "seriabuletin,\r\nfacturi.sectia as sectia,\r\nfacturi.nrbuletin as nrbuletin,\r\n*,\r\n 'x' as "
        "Categorie from Facturi \r\nInner Join Clienti On Clienti.id=Facturi.id_cump \r\nWhere id_Cump =:pic "
        "and facturi.id_vanzator=:idf and facturi.Tipavizfactura=:ptip\r\n\r\nOrder by data DESC, facturi.id "
        "desc");
}

// Flags are stored as 0/1, so "desc" lists the flagged (default) row first.
Tdm::Tdm(AppState &state)
    : m_state(state),
      adoSetari(m_cnc),
      adoClienti(m_cnc, QStringLiteral("select * from clienti\r\nwhere id_firma=:idf \r\norder by NumeFirma")),
      adoSeriiF(m_cnc, QStringLiteral("select id, id_firma, NrChitanta, NrFactura, SerieChitanta, SerieFactura,SerieAviz, "
                                      "NrAviz, BifaDefault, Dispozitiedeincasareplata, SerieDispozdeincasare, nrnir, "
                                      "nrbc,serienir, seriebc, AbrevierePunctLucru, AdresaPunctLucru, "
                                      "DenumirePunctLucru, NrFisaService, CaleFPRINT  from SeriiActe\r\nwhere "
                                      "id_firma=:idf\r\nOrder By bifadefault desc")),
      adoMoneda(m_cnc, QStringLiteral("Select * from Monede\r\nOrder By BifaDefault desc, Ordine ASC")),
      tblMentiuniFacturi(m_cnc),
      tblIntvFact(m_cnc, QStringLiteral("Select * from IntervalFacturare")),
      adoAngajati(m_cnc, QStringLiteral("select * from Angajati\r\nwhere bifa =true and id_firma=:idf\r\nOrder by Nume")),
      delegati(m_cnc, QStringLiteral("Select * from Delegati\r\nWhere id_firma=:idc or id_firma=:idf")),
      adoDetaliiClienti(m_cnc, QStringLiteral("select * from DetaliiClienti\r\nwhere id_client=:idc")),
      adoRapoarte(m_cnc, QStringLiteral("select id_firma, ID, Raport, titluRaport from Rapoarte\r\nwhere "
                                        "id_firma=:idf and titluRaport=:tR")),
      adoNrFAct(m_cnc, partnerDocumentsSql()),
      adoPrCump(m_cnc, QStringLiteral("select * from ProdCumparate\r\nWhere id_fact =:pnf\r\n\r\n order by id asc")),
      adoIncasari(m_cnc, QStringLiteral("Select * from Incasari \r\nWhere id_cumparator=:idc\r\nand "
                                        "id_firma=:idf\r\norder by data desc")),
      adoFactNeach(m_cnc, QStringLiteral("Select * from FActuri\r\nWhere id_cump=:idc and achitata=0 and anulata=0 "
                                         "and nf>0 \r\nand id_vanzator=:idfirma\r\norder by data desc")),
      adocategorii(m_cnc, QStringLiteral("select *  from Categorii\r\nwhere id_firma=:idf")),
      adoSortim(m_cnc, QStringLiteral("select * from Sortimente where id_categorie=:idc\r\n")),
      adoProdSort(m_cnc, QStringLiteral("Select * from ListaProduse \r\nWhere id_sort =:psrt\r\n")),
      adoClientContracte(m_cnc, QStringLiteral("select * from Contracte\r\nwhere id_cump=:idc and "
                                               "id_firma=:idf\r\norder by data desc")),
      adoContract(m_cnc, QStringLiteral("select * from ServiciipeContract\r\nwhere  id_contract =:id_c")),
      ContractDetaliat(m_cnc, QStringLiteral("select * from ServiciipeContractDetaliat\r\nwhere  id_contract =:id_c")),
      adoModeleContract(m_cnc, QStringLiteral("select * from ModeleContract\r\nwhere id_firma=:idf")),
      ADOcmd(m_cnc)
{
    name(adoSetari, "adoSetari");
    name(adoClienti, "adoClienti");
    name(adoSeriiF, "adoSeriiF");
    name(adoMoneda, "adoMoneda");
    name(tblMentiuniFacturi, "tblMentiuniFacturi");
    name(tblIntvFact, "tblIntvFact");
    name(adoAngajati, "adoAngajati");
    name(delegati, "delegati");
    name(adoDetaliiClienti, "adoDetaliiClienti");
    name(adoRapoarte, "adoRapoarte");
    name(adoNrFAct, "adoNrFAct");
    name(adoPrCump, "adoPrCump");
    name(adoIncasari, "adoIncasari");
    name(adoFactNeach, "adoFactNeach");
    name(adocategorii, "adocategorii");
    name(adoSortim, "adoSortim");
    name(adoProdSort, "adoProdSort");
    name(adoClientContracte, "adoClientContracte");
    name(adoContract, "adoContract");
    name(ContractDetaliat, "ContractDetaliat");
    name(adoModeleContract, "adoModeleContract");
    name(ADOcmd, "ADOcmd");

    adoNrFAct.setUpdateTable(QStringLiteral("Facturi"), QStringLiteral("fid"), QStringLiteral("id"));
    adoSetari.afterScroll = [this](Dataset &) { adoSetariAfterScroll(); };
}

Tdm::~Tdm() = default;

qint64 Tdm::companyId() const
{
    return adoSetari.isOpen() && !adoSetari.isEmpty() ? adoSetari.asInteger(QStringLiteral("id")) : 0;
}

bool Tdm::start(const Environment &env)
{
    m_state.sqlServerMode = startup::databaseKind(env.programDir) != 0;
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));

    try {
        if (m_state.sqlServerMode) {
            const bool connected = startup::connectSqlServer(
                env.connectionStore, env.connectionEditor, env.prompter,
                [this](const QString &connectionString) { openServer(m_cnc, connectionString); });
            if (!connected)
                return false;
        } else {
            try {
                database::openOrCreate(m_cnc, startup::databasePath(env.programDir));
            } catch (const DbError &e) {
                env.prompter.error(QStringLiteral("Eroare la conectarea bazei de date mdb. Verificati daca exista "
                                                  "fisierul db\\tarabix.mdb")
                                   + QStringLiteral("\n\n") + e.message());
                return false;
            }
        }
    } catch (const std::exception &e) {
        env.prompter.error(QStringLiteral("Eroare la conectarea bazei de date mdb. Verificati conexiunea cu baza de date")
                           + QStringLiteral("\n\n") + errorDisplayText(e));
        return false;
    }

    try {
        adoSetari.close();
        adoSetari.setSql(QStringLiteral("select * from Clienti\r\n where emitent=true"));
        adaptDataset(adoSetari);
        adoSetari.open();
        m_state.startCompanyId = companyId();
        tblMentiuniFacturi.setSql(QStringLiteral("select * from Mentiuni_Facturi\r\nOrder by BifaDefault desc"));
        tblMentiuniFacturi.open();
        m_state.supplierSideSearch = false;
    } catch (const std::exception &e) {
        env.prompter.error(QStringLiteral("Eroare la conectarea bazei de date mdb. Verificati directorul DB si daca "
                                          "exista fisierul tarabix.mdb")
                           + QStringLiteral("\n\n") + errorDisplayText(e));
        return false;
    }
    return true;
}

void Tdm::adoSetariAfterScroll()
{
    const qint64 company = companyId();
    openForCompany(adoSeriiF, company);
    openForCompany(adoAngajati, company);
    if (m_rc) {
        m_rc->adoConturi.close();
        m_rc->adoConturi.setParam(0, company);
        m_rc->adoConturi.open();
    }
}
