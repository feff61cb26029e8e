#include "tdm.h"

#include "clientbalance.h"
#include "companies.h"
#include "core/appstate.h"
#include "core/password.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "db/adapter.h"
#include "db/command.h"
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
    return QStringLiteral("Select facturi.id as fid, \r\nfacturi.comentariu as "
                          "comentariu,\r\nfacturi.seriabuletin as "
                          "seriabuletin,\r\nfacturi.sectia as sectia,\r\nfacturi.nrbuletin as "
                          "nrbuletin,\r\n*,\r\n 'x' as "
                          "Categorie from Facturi \r\nInner Join Clienti On "
                          "Clienti.id=Facturi.id_cump \r\nWhere id_Cump =:pic "
                          "and facturi.id_vanzator=:idf and "
                          "facturi.Tipavizfactura=:ptip\r\n\r\nOrder by data DESC, facturi.id "
                          "desc");
}

namespace {

// The partner's documents narrowed to one id, in the same columns.
QString partnerDocumentSql()
{
    QString sql = Tdm::partnerDocumentsSql();
    sql.replace(QStringLiteral("facturi.Tipavizfactura=:ptip"),
                QStringLiteral("facturi.Tipavizfactura=:ptip and facturi.id=:pfid"));
    return sql;
}

} // namespace

void Tdm::openPartnerDocument(Dataset &documents, const QVariant &buyer, const QVariant &seller,
                              int kind, qint64 document)
{
    documents.close();
    documents.setSql(partnerDocumentSql());
    documents.setParams({buyer, seller, kind, document});
    documents.setFilter(QStringLiteral("fid=") + QString::number(document));
    documents.setFiltered(true);
    documents.open();
}

// Flags are stored as 0/1, so "desc" lists the flagged (default) row first.
Tdm::Tdm(AppState &state, Prompter &prompter)
    : m_state(state), m_prompter(prompter), adoSetari(m_cnc),
      adoClienti(m_cnc, QStringLiteral(
                            "select * from clienti\r\nwhere id_firma=:idf \r\norder by NumeFirma")),
      adoSeriiF(
          m_cnc,
          QStringLiteral(
              "select id, id_firma, NrChitanta, NrFactura, SerieChitanta, SerieFactura,SerieAviz, "
              "NrAviz, BifaDefault, Dispozitiedeincasareplata, SerieDispozdeincasare, nrnir, "
              "nrbc,serienir, seriebc, AbrevierePunctLucru, AdresaPunctLucru, "
              "DenumirePunctLucru, NrFisaService, CaleFPRINT  from SeriiActe\r\nwhere "
              "id_firma=:idf\r\nOrder By bifadefault desc")),
      adoMoneda(m_cnc,
                QStringLiteral("Select * from Monede\r\nOrder By BifaDefault desc, Ordine ASC")),
      tblMentiuniFacturi(m_cnc),
      tblIntvFact(m_cnc, QStringLiteral("Select * from IntervalFacturare")),
      adoAngajati(
          m_cnc,
          QStringLiteral(
              "select * from Angajati\r\nwhere bifa =true and id_firma=:idf\r\nOrder by Nume")),
      delegati(m_cnc,
               QStringLiteral("Select * from Delegati\r\nWhere id_firma=:idc or id_firma=:idf")),
      adoDetaliiClienti(m_cnc,
                        QStringLiteral("select * from DetaliiClienti\r\nwhere id_client=:idc")),
      adoRapoarte(m_cnc,
                  QStringLiteral("select id_firma, ID, Raport, titluRaport from Rapoarte\r\nwhere "
                                 "id_firma=:idf and titluRaport=:tR")),
      adoNrFAct(m_cnc, partnerDocumentsSql()),
      adoPrCump(m_cnc,
                QStringLiteral(
                    "select * from ProdCumparate\r\nWhere id_fact =:pnf\r\n\r\n order by id asc")),
      adoIncasari(m_cnc,
                  QStringLiteral("Select * from Incasari \r\nWhere id_cumparator=:idc\r\nand "
                                 "id_firma=:idf\r\norder by data desc")),
      adoFactNeach(
          m_cnc,
          QStringLiteral("Select * from FActuri\r\nWhere id_cump=:idc and achitata=0 and anulata=0 "
                         "and nf>0 \r\nand id_vanzator=:idfirma\r\norder by data desc")),
      adocategorii(m_cnc, QStringLiteral("select *  from Categorii\r\nwhere id_firma=:idf")),
      adoSortim(m_cnc, QStringLiteral("select * from Sortimente where id_categorie=:idc\r\n")),
      adoProdSort(m_cnc, QStringLiteral("Select * from ListaProduse \r\nWhere id_sort =:psrt\r\n")),
      adoClientContracte(m_cnc, QStringLiteral("select * from Contracte\r\nwhere id_cump=:idc and "
                                               "id_firma=:idf\r\norder by data desc")),
      adoContract(m_cnc,
                  QStringLiteral("select * from ServiciipeContract\r\nwhere  id_contract =:id_c")),
      ContractDetaliat(
          m_cnc,
          QStringLiteral("select * from ServiciipeContractDetaliat\r\nwhere  id_contract =:id_c")),
      adoModeleContract(m_cnc,
                        QStringLiteral("select * from ModeleContract\r\nwhere id_firma=:idf")),
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

    adoNrFAct.setUpdateTable(QStringLiteral("Facturi"), QStringLiteral("fid"),
                             QStringLiteral("id"));
    adoClienti.addCalculatedField(QStringLiteral("SoldCalculat"));
    wireRules();
}

Tdm::~Tdm() = default;

qint64 Tdm::companyId() const
{
    return adoSetari.isOpen() && !adoSetari.isEmpty() ? adoSetari.asInteger(QStringLiteral("id"))
                                                      : 0;
}

bool Tdm::start(const Environment &env)
{
    m_state.sqlServerMode = startup::databaseKind(env.programDir) != 0;
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));

    try {
        if (m_state.sqlServerMode) {
            const bool connected = startup::connectSqlServer(
                env.connectionStore, env.connectionEditor, m_prompter,
                [this](const QString &connectionString) { openServer(m_cnc, connectionString); });
            if (!connected)
                return false;
        } else {
            try {
                database::openOrCreate(m_cnc, startup::databasePath(env.programDir));
            } catch (const DbError &e) {
                m_prompter.error(
                    QStringLiteral("Eroare la conectarea bazei de date mdb. Verificati daca exista "
                                   "fisierul db\\tarabix.mdb") +
                    QStringLiteral("\n\n") + e.message());
                return false;
            }
        }
    } catch (const std::exception &e) {
        m_prompter.error(
            QStringLiteral(
                "Eroare la conectarea bazei de date mdb. Verificati conexiunea cu baza de date") +
            QStringLiteral("\n\n") + errorDisplayText(e));
        return false;
    }

    try {
        adoSetari.close();
        adoSetari.setSql(QStringLiteral("select * from Clienti\r\n where emitent=true"));
        adaptDataset(adoSetari);
        adoSetari.open();
        m_state.startCompanyId = companyId();
        tblMentiuniFacturi.setSql(
            QStringLiteral("select * from Mentiuni_Facturi\r\nOrder by BifaDefault desc"));
        tblMentiuniFacturi.open();
        m_state.supplierSideSearch = false;
    } catch (const std::exception &e) {
        m_prompter.error(
            QStringLiteral(
                "Eroare la conectarea bazei de date mdb. Verificati directorul DB si daca "
                "exista fisierul tarabix.mdb") +
            QStringLiteral("\n\n") + errorDisplayText(e));
        return false;
    }
    return true;
}

void Tdm::reopen(Dataset &dataset, const QVariantList &params)
{
    dataset.close();
    dataset.setParams(params);
    dataset.open();
}

void Tdm::wireRules()
{
    // Companies and configuration.
    adoSetari.afterScroll = [this](Dataset &) { adoSetariAfterScroll(); };
    adoSetari.onNewRecord = [this](Dataset &ds) { adoSetariNewRecord(ds); };
    adoSetari.afterInsert = [this](Dataset &) {
        if (m_rc)
            reopen(m_rc->adoConturi, {companyId()});
    };
    adoSetari.afterPost = [this](Dataset &ds) { adoSetariAfterPost(ds); };
    adoSetari.beforeDelete = [this](Dataset &ds) { return adoSetariBeforeDelete(ds); };

    adoSeriiF.afterScroll = [this](Dataset &) { adoSeriiFAfterScroll(); };
    adoSeriiF.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"), companyId());
    };
    adoSeriiF.beforePost = [this](Dataset &ds) { rememberDefaultFlag(ds); };
    adoSeriiF.afterPost = [this](Dataset &ds) {
        applyDefaultFlag(ds, QStringLiteral("SeriiActe"), true);
        ds.requeryKeepingPosition();
    };
    adoSeriiF.beforeDelete = [this](Dataset &ds) {
        m_cnc.exec(QStringLiteral("Delete from SubcategoriiStocuri where id_categorie=:idc"),
                   {ds.asInteger(QStringLiteral("id"))});
        return true;
    };

    adoMoneda.beforePost = [this](Dataset &ds) { rememberDefaultFlag(ds); };
    adoMoneda.afterPost = [this](Dataset &ds) {
        applyDefaultFlag(ds, QStringLiteral("Monede"), false);
        ds.requeryKeepingPosition();
    };
    tblMentiuniFacturi.beforePost = [this](Dataset &ds) { rememberDefaultFlag(ds); };
    tblMentiuniFacturi.afterPost = [this](Dataset &ds) {
        applyDefaultFlag(ds, QStringLiteral("Mentiuni_Facturi"), false);
        ds.requeryKeepingPosition();
    };

    adoAngajati.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"), companyId());
    };
    // Passwords are stored as salted hashes of what was typed.
    adoAngajati.beforePost = [](Dataset &ds) {
        if (ds.fieldModified(QStringLiteral("Parola")))
            ds.setValue(QStringLiteral("Parola"),
                        hashPassword(ds.asString(QStringLiteral("Parola"))));
    };
    delegati.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"),
                    delegateOwnerId != 0 ? delegateOwnerId : m_state.currentClientId);
    };
    adoModeleContract.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"),
                    adoSeriiF.isOpen() && !adoSeriiF.isEmpty()
                        ? adoSeriiF.asInteger(QStringLiteral("id_firma"))
                        : companyId());
        ds.setValue(QStringLiteral("NrContract"), 1);
        ds.setValue(QStringLiteral("SerieContract"), QStringLiteral("ABC"));
    };
    adoDetaliiClienti.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_client"), m_state.currentClientId);
    };

    // Price list.
    adocategorii.afterScroll = [this](Dataset &) { adocategoriiAfterScroll(); };
    adocategorii.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_firma"), companyId());
    };
    adocategorii.afterInsert = [this](Dataset &) {
        if (adoSortim.isOpen())
            adoSortim.requeryKeepingPosition();
    };
    adoSortim.afterScroll = [this](Dataset &ds) {
        if (ds.state() != Dataset::State::Insert)
            adoSortimAfterScroll();
    };
    adoSortim.afterInsert = [this](Dataset &) { reopen(adoProdSort, {QVariant()}); };
    adoSortim.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_categorie"),
                    adocategorii.isEmpty() ? QVariant() : adocategorii.value(QStringLiteral("id")));
    };
    adoSortim.beforeDelete = [this](Dataset &ds) {
        m_cnc.exec(QStringLiteral("delete from listaproduse where id_sort=:idc"),
                   {ds.asInteger(QStringLiteral("id"))});
        return true;
    };
    adoProdSort.onNewRecord = [this](Dataset &ds) { adoProdSortNewRecord(ds); };
    adoProdSort.setFieldValidator(QStringLiteral("Pret"),
                                  [this](Dataset &ds) { adoProdSortRecompute(ds); });
    adoProdSort.beforePost = [this](Dataset &ds) { adoProdSortRecompute(ds); };
    adoProdSort.setFieldValidator(QStringLiteral("moneda"),
                                  [this](Dataset &ds) { adoProdSortMonedaValidate(ds); });

    // Partners and documents.
    adoClienti.afterScroll = [this](Dataset &) { adoClientiAfterScroll(); };
    adoClienti.onCalcFields = [this](Dataset &ds) { adoClientiCalcFields(ds); };
    adoClienti.beforeDelete = [this](Dataset &ds) { return adoClientiBeforeDelete(ds); };
    adoNrFAct.afterScroll = [this](Dataset &) { adoNrFActAfterScroll(); };
    adoNrFAct.afterClose = [this](Dataset &) { adoPrCump.close(); };
    adoNrFAct.beforePost = [this](Dataset &ds) { adoNrFActBeforePost(ds); };
    adoNrFAct.beforeDelete = [this](Dataset &ds) { return documentBeforeDelete(ds); };
    adoNrFAct.afterDelete = [](Dataset &ds) { ds.requery(); };
    adoPrCump.onNewRecord = [this](Dataset &ds) {
        if (m_rc && m_rc->adoFacturi.isOpen() && !m_rc->adoFacturi.isEmpty())
            ds.setValue(QStringLiteral("id_fact"), m_rc->adoFacturi.value(QStringLiteral("fid")));
        ds.setValue(QStringLiteral("codm"), -1);
    };
    adoPrCump.beforeDelete = [this](Dataset &ds) { return adoPrCumpBeforeDelete(ds); };
    adoIncasari.afterPost = [this](Dataset &ds) { adoIncasariAfterPost(ds); };

    // Contracts.
    adoClientContracte.afterScroll = [this](Dataset &) { adoClientContracteAfterScroll(); };
    adoClientContracte.beforeDelete = [this](Dataset &ds) {
        return adoClientContracteBeforeDelete(ds);
    };
    adoClientContracte.afterDelete = [](Dataset &ds) { ds.requery(); };
    ContractDetaliat.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("id_contract"),
                    adoClientContracte.isEmpty() ? QVariant()
                                                 : adoClientContracte.value(QStringLiteral("id")));
    };
    ContractDetaliat.setFieldValidator(QStringLiteral("Cantitate"),
                                       [this](Dataset &ds) { ContractDetaliatRecompute(ds); });
    ContractDetaliat.setFieldValidator(QStringLiteral("PretUnitar"),
                                       [this](Dataset &ds) { ContractDetaliatRecompute(ds); });
}

// Single-default flags: setting the flag clears it on the other rows (of the
// same company for work points); clearing it clears it everywhere.
void Tdm::singleDefault(const QString &table, qint64 id, bool value,
                        std::optional<qint64> companyId)
{
    const QString scope = companyId ? QStringLiteral(" and id_firma=:f") : QString();
    Command cmd(m_cnc);
    if (value) {
        cmd.setSql(QStringLiteral("Update ") + table +
                   QStringLiteral(" set bifadefault=0 Where id<>:id") + scope);
        cmd.setParam(0, id);
        if (companyId)
            cmd.setParam(1, *companyId);
    } else {
        cmd.setSql(QStringLiteral("Update ") + table + QStringLiteral(" set bifadefault=false") +
                   (companyId ? QStringLiteral(" where id_firma=:f") : QString()));
        if (companyId)
            cmd.setParam(0, *companyId);
    }
    adaptCommand(cmd);
    cmd.execute();
}

void Tdm::rememberDefaultFlag(Dataset &dataset)
{
    m_defaultFlagChanged = dataset.hasField(QStringLiteral("BifaDefault")) &&
                           dataset.fieldModified(QStringLiteral("BifaDefault"));
}

void Tdm::applyDefaultFlag(Dataset &dataset, const QString &table, bool perCompany)
{
    if (!m_defaultFlagChanged)
        return;
    m_defaultFlagChanged = false;
    const std::optional<qint64> company =
        perCompany ? std::optional<qint64>(dataset.asInteger(QStringLiteral("id_firma")))
                   : std::nullopt;
    singleDefault(table, dataset.asInteger(QStringLiteral("id")),
                  dataset.asBoolean(QStringLiteral("BifaDefault")), company);
}

void Tdm::adoSetariAfterScroll()
{
    const qint64 company = companyId();
    openForCompany(adoSeriiF, company);
    openForCompany(adoAngajati, company);
    if (m_rc)
        reopen(m_rc->adoConturi, {company});
}

void Tdm::adoSetariNewRecord(Dataset &ds)
{
    ds.setValue(QStringLiteral("emitent"), true);
}

// A new company is written first; its configuration is then copied to the
// id it really received, in the same transaction as the row.
void Tdm::adoSetariAfterPost(Dataset &ds)
{
    if (ds.lastPostInserted()) {
        companies::copyConfiguration(m_cnc, ds.asInteger(QStringLiteral("id")),
                                     m_state.startCompanyId);
        m_cnc.afterCommit([this] {
            m_prompter.information(
                QStringLiteral("Date introduse.Puteti completa datele firmei. Subcategoriile de "
                               "servicii si categorii stocuri le adaugati manual"));
        });
    }
    ds.requeryKeepingPosition();
}

bool Tdm::adoSetariBeforeDelete(Dataset &ds)
{
    companies::deleteConfiguration(m_cnc, ds.asInteger(QStringLiteral("id")));
    return true;
}

void Tdm::adoSeriiFAfterScroll()
{
    m_state.currentWorkPointId =
        adoSeriiF.isEmpty() ? 0 : adoSeriiF.asInteger(QStringLiteral("id"));
    reopen(adocategorii, {companyId()});
    if (m_rc)
        reopen(m_rc->adoSortim, {m_state.currentWorkPointId});
}

void Tdm::adocategoriiAfterScroll()
{
    reopen(adoSortim,
           {adocategorii.isEmpty() ? QVariant() : adocategorii.value(QStringLiteral("id"))});
}

void Tdm::adoSortimAfterScroll()
{
    if (adoSortim.isEmpty()) {
        adoProdSort.close();
        return;
    }
    reopen(adoProdSort, {adoSortim.value(QStringLiteral("id"))});
}

void Tdm::adoProdSortNewRecord(Dataset &ds)
{
    if (!adoSortim.isOpen() || adoSortim.isEmpty()) {
        m_prompter.information(QStringLiteral("Nu aveti subcategoria introdusa"));
        throw SilentAbort();
    }
    ds.setValue(QStringLiteral("id_sort"), adoSortim.value(QStringLiteral("id")));
    ds.setValue(QStringLiteral("Cantit"), 1);
    if (tblMentiuniFacturi.isOpen() && !tblMentiuniFacturi.isEmpty())
        ds.setValue(QStringLiteral("cotaTVA"),
                    QVariant::fromValue(tblMentiuniFacturi.asMoney(QStringLiteral("CotaTVA"))));
    if (!adoMoneda.isOpen())
        adoMoneda.open();
    if (!adoMoneda.isEmpty()) {
        ds.setValue(QStringLiteral("moneda"), adoMoneda.asString(QStringLiteral("CodIso")));
        ds.setValue(QStringLiteral("NrZecimale"),
                    adoMoneda.asInteger(QStringLiteral("Nrzecimale")));
    }
}

// Value, VAT and totals of a price-list row from its price, quantity and
// VAT rate, each rounded to the decimals of its currency.
void Tdm::adoProdSortRecompute(Dataset &ds)
{
    if (!ds.isEditing())
        return;
    const int n = int(ds.asInteger(QStringLiteral("NrZecimale")));
    const Money value =
        ds.asMoney(QStringLiteral("Pret")).times(ds.asFloat(QStringLiteral("Cantit")), n);
    const Money vat =
        value.mulDiv(ds.asMoney(QStringLiteral("cotaTVA")).units(), 100 * Money::Scale, n);
    ds.setValue(QStringLiteral("ValoareLei"), QVariant::fromValue(value));
    ds.setValue(QStringLiteral("TVA"), QVariant::fromValue(vat));
    ds.setValue(QStringLiteral("TotalLei"), QVariant::fromValue(value + vat));
    ds.setValue(QStringLiteral("PretUTVA"), QVariant::fromValue(value + vat));
}

void Tdm::adoProdSortMonedaValidate(Dataset &ds)
{
    if (!adoMoneda.isOpen())
        adoMoneda.open();
    if (adoMoneda.locate(QStringLiteral("CodIso"), ds.asString(QStringLiteral("moneda")), true))
        ds.setValue(QStringLiteral("NrZecimale"),
                    adoMoneda.asInteger(QStringLiteral("Nrzecimale")));
}

void Tdm::adoClientiAfterScroll()
{
    const qint64 client = adoClienti.isEmpty() ? 0 : adoClienti.asInteger(QStringLiteral("id"));
    m_state.currentClientId = client;
    reopen(adoDetaliiClienti, {client});
    if (m_rc)
        reopen(m_rc->adoConturi, {client});
    if (!m_state.loadClientDocuments)
        return;
    reopen(adoClientContracte, {client, companyId()});
    if (adoNrFAct.paramCount() == 4) {
        // One document was shown: the new partner's list, kept to that document.
        adoNrFAct.close();
        adoNrFAct.setSql(partnerDocumentsSql());
    }
    if (adoNrFAct.paramCount() == 3) {
        if (m_state.supplierSideSearch)
            reopen(adoNrFAct, {companyId(), client, m_state.currentDocKind});
        else
            reopen(adoNrFAct, {client, companyId(), m_state.currentDocKind});
    } else {
        reopen(adoNrFAct,
               {adoNrFAct.isEmpty() ? QVariant() : adoNrFAct.value(QStringLiteral("fid"))});
    }
    if (m_rc) {
        try {
            reopen(m_rc->adoNrFAct, {companyId(), client, m_state.currentDocKind});
        } catch (const DbError &) {
            m_rc->adoNrFAct.close();
        }
    }
}

void Tdm::adoClientiCalcFields(Dataset &ds)
{
    if (!m_state.showClientBalance) {
        ds.setValue(QStringLiteral("SoldCalculat"), QVariant());
        return;
    }
    ds.setValue(
        QStringLiteral("SoldCalculat"),
        QVariant::fromValue(clientBalance(m_cnc, companyId(), ds.asInteger(QStringLiteral("id")))));
}

// A partner with documents, payments or contracts stays; otherwise its
// accounts, delegates and details go with it.
bool Tdm::adoClientiBeforeDelete(Dataset &ds)
{
    const qint64 partner = ds.asInteger(QStringLiteral("id"));
    const int uses =
        m_cnc
            .scalar(QStringLiteral(
                        "select (select count(*) from Facturi where id_cump=:a or id_vanzator=:b)"
                        " + (select count(*) from Incasari where id_cumparator=:c)"
                        " + (select count(*) from Plati where id_cumparator=:d)"
                        " + (select count(*) from Contracte where id_cump=:e)"),
                    {partner, partner, partner, partner, partner})
            .toInt();
    if (uses > 0 || ds.asBoolean(QStringLiteral("emitent"))) {
        m_prompter.information(
            QStringLiteral("Partenerul are documente, incasari, plati sau contracte. Nu il puteti "
                           "sterge."));
        return false;
    }
    for (const char *table : {"Conturi", "Delegati"})
        m_cnc.exec(QStringLiteral("Delete from ") + QLatin1String(table) +
                       QStringLiteral(" where id_firma=:p"),
                   {partner});
    m_cnc.exec(QStringLiteral("Delete from DetaliiClienti where id_client=:p"), {partner});
    return true;
}

void Tdm::adoNrFActAfterScroll()
{
    if (adoNrFAct.isEmpty())
        return;
    const QVariant document = adoNrFAct.value(QStringLiteral("fid"));
    reopen(adoPrCump, {document});
    if (adoPrCump.isEmpty())
        adoPrCump.close();
    adoIncasari.setFilter(QStringLiteral("id_fact=") + QString::number(document.toLongLong()));
    adoIncasari.setFiltered(true);
}

// A validated document keeps its number: it is what protects it from being deleted.
void Tdm::adoNrFActBeforePost(Dataset &ds)
{
    if (ds.state() != Dataset::State::Edit || !ds.fieldModified(QStringLiteral("Nf")))
        return;
    const qint64 id = ds.asInteger(QStringLiteral("fid"));
    const QVariant stored =
        m_cnc.scalar(QStringLiteral("select Nf from Facturi where id=:id and Validata=true"), {id});
    if (stored.isValid() && !stored.isNull() &&
        stored.toLongLong() != ds.asInteger(QStringLiteral("Nf"))) {
        m_prompter.information(
            QStringLiteral("Factura e validata. Numarul ei nu poate fi modificat."));
        throw SilentAbort();
    }
}

bool Tdm::documentBeforeDelete(Dataset &documents)
{
    if (documents.asInteger(QStringLiteral("Nf")) > 0 ||
        documents.asBoolean(QStringLiteral("Validata"))) {
        m_prompter.information(QStringLiteral(
            "Factura e validata. Nu o puteti sterge. Treceti-i numarul pe 0 dupa care "
            "o puteti sterge."));
        return false;
    }
    m_cnc.exec(QStringLiteral("Delete from ProdCumparate where id_fact=:f"),
               {documents.value(QStringLiteral("fid"))});
    return true;
}

bool Tdm::adoPrCumpBeforeDelete(Dataset &ds)
{
    const QVariant validated = m_cnc.scalar(
        QStringLiteral("select count(*) from Facturi where id=:f and (Nf>0 or Validata=true)"),
        {ds.value(QStringLiteral("id_fact"))});
    if (validated.toInt() > 0) {
        m_prompter.information(
            QStringLiteral("Factura e validata. Nu puteti sterge inregistrarea curenta. Treceti-i "
                           "numarul pe 0 dupa care  puteti sterge."));
        return false;
    }
    return true;
}

// What was collected on a document, written on the document whenever a
// collection of it is posted.
void Tdm::adoIncasariAfterPost(Dataset &ds)
{
    const qint64 document = ds.asInteger(QStringLiteral("id_fact"));
    try {
        Dataset total(
            m_cnc,
            QStringLiteral("Select sum(suma) as s from Incasari where id_fact=:f and anulata=0"));
        total.setParam(0, document);
        total.open();
        const Money collected = total.asMoney(QStringLiteral("s"));
        if (adoNrFAct.isOpen() && !adoNrFAct.isEmpty() &&
            adoNrFAct.asInteger(QStringLiteral("fid")) == document) {
            adoNrFAct.edit();
            adoNrFAct.setValue(QStringLiteral("SumaAchitat"), QVariant::fromValue(collected));
            adoNrFAct.post();
        } else {
            m_cnc.exec(QStringLiteral("update Facturi set SumaAchitat=:s where id=:f"),
                       {QVariant::fromValue(collected), document});
        }
    } catch (const DbError &e) {
        m_prompter.error(e.displayText());
        throw SilentAbort();
    }
}

void Tdm::adoClientContracteAfterScroll()
{
    try {
        adoIncasari.close();
        if (m_rc)
            m_rc->adoFacturiEmiseContract.close();
        adoPrCump.close();
        if (adoClientContracte.isEmpty()) {
            adoContract.close();
            ContractDetaliat.close();
            return;
        }
        const QVariant contract = adoClientContracte.value(QStringLiteral("id"));
        reopen(adoContract, {contract});
        reopen(ContractDetaliat, {contract});
        if (m_rc)
            reopen(m_rc->adoFacturiEmiseContract,
                   {companyId(), adoClientContracte.value(QStringLiteral("id_cump")), contract});
        if (adoPrCump.isOpen() && adoPrCump.isEmpty())
            adoPrCump.close();
    } catch (const DbError &e) {
        m_prompter.error(e.displayText());
    }
}

bool Tdm::adoClientContracteBeforeDelete(Dataset &ds)
{
    const qint64 contract = ds.asInteger(QStringLiteral("id"));
    m_cnc.exec(QStringLiteral("Delete from ServiciiPeContract where id_contract=:c"), {contract});
    m_cnc.exec(QStringLiteral("Delete from ServiciiPeContractDetaliat where id_contract=:c"),
               {contract});
    m_cnc.exec(QStringLiteral("Delete from LuniGratuite where id_contract=:c"), {contract});
    return true;
}

void Tdm::ContractDetaliatRecompute(Dataset &ds)
{
    if (!ds.isEditing())
        return;
    double quantity = ds.asFloat(QStringLiteral("Cantitate"));
    if (quantity == 0)
        quantity = 1;
    const Money rate = adoContract.isOpen() && !adoContract.isEmpty()
                           ? adoContract.asMoney(QStringLiteral("cotaTVA"))
                           : Money();
    const Money value = ds.asMoney(QStringLiteral("PretUnitar")).times(quantity, 2);
    const Money vat = value.mulDiv(rate.units(), 100 * Money::Scale, 2);
    ds.setValue(QStringLiteral("Valoare"), QVariant::fromValue(value));
    ds.setValue(QStringLiteral("ValoareTVA"), QVariant::fromValue(vat));
    ds.setValue(QStringLiteral("Total"), QVariant::fromValue(value + vat));
}
