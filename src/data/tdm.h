#pragma once

#include "db/connection.h"
#include "db/dataset.h"

#include <optional>

struct AppState;
class Prompter;
class TdmRC;

namespace startup {
class ConnectionStringStore;
class ConnectionEditor;
} // namespace startup

// The main data module: the one connection of the run and the datasets of
// companies, partners, documents, the price list and contracts.
class Tdm
{
public:
    Tdm(AppState &state, Prompter &prompter);
    ~Tdm();
    Tdm(const Tdm &) = delete;
    Tdm &operator=(const Tdm &) = delete;

    // What start-up needs from the outside world.
    struct Environment
    {
        QString programDir;
        startup::ConnectionStringStore &connectionStore;
        startup::ConnectionEditor &connectionEditor;
    };

    // Reads the engine from the configuration file, connects, opens the own
    // companies (which opens the current company's work points and
    // employees) and the VAT mentions. Shows what went wrong and returns
    // false when the program cannot go on.
    bool start(const Environment &env);

    AppState &state() { return m_state; }
    Prompter &prompter() { return m_prompter; }
    Connection &cnc() { return m_cnc; }
    // The second data module, once it exists.
    TdmRC *rc() const { return m_rc; }
    void setSecondModule(TdmRC *rc) { m_rc = rc; }

    // The id of the current own company (current row of adoSetari).
    qint64 companyId() const;

    // Documents of one partner (buyer, seller, kind); both modules list them.
    static QString partnerDocumentsSql();
    // Shows one document of the partner in `documents` (the partner's list
    // filtered to it), reading only that document: a partner with years of
    // documents costs no more than a new one.
    static void openPartnerDocument(Dataset &documents, const QVariant &buyer,
                                    const QVariant &seller, int kind, qint64 document);

    // The partner whose delegates the document window lists; new delegates
    // belong to it.
    qint64 delegateOwnerId = 0;

private:
    AppState &m_state;
    Prompter &m_prompter;
    Connection m_cnc;
    TdmRC *m_rc = nullptr;
    bool m_defaultFlagChanged = false;

public:
    // Companies and configuration.
    Dataset adoSetari;
    Dataset adoClienti;
    Dataset adoSeriiF;
    Dataset adoMoneda;
    Dataset tblMentiuniFacturi;
    Dataset tblIntvFact;
    Dataset adoAngajati;
    Dataset delegati;
    Dataset adoDetaliiClienti;
    Dataset adoRapoarte;
    // Documents.
    Dataset adoNrFAct;
    Dataset adoPrCump;
    Dataset adoIncasari;
    Dataset adoFactNeach;
    // Price list.
    Dataset adocategorii;
    Dataset adoSortim;
    Dataset adoProdSort;
    // Contracts.
    Dataset adoClientContracte;
    Dataset adoContract;
    Dataset ContractDetaliat;
    Dataset adoModeleContract;
    // Scratch dataset for one-off queries.
    Dataset ADOcmd;

    // Rules shared with the second module's document list.
    bool documentBeforeDelete(Dataset &documents);

    // Reads again the lines (and the collection filter) of the current
    // document of adoNrFAct.
    void reopenCurrentDocumentLines() { adoNrFActAfterScroll(); }

private:
    void wireRules();
    void reopen(Dataset &dataset, const QVariantList &params);
    void singleDefault(const QString &table, qint64 id, bool value,
                       std::optional<qint64> companyId);
    void rememberDefaultFlag(Dataset &dataset);
    void applyDefaultFlag(Dataset &dataset, const QString &table, bool perCompany);

    void adoSetariAfterScroll();
    void adoSetariNewRecord(Dataset &ds);
    void adoSetariAfterPost(Dataset &ds);
    bool adoSetariBeforeDelete(Dataset &ds);
    void adoSeriiFAfterScroll();
    void adocategoriiAfterScroll();
    void adoSortimAfterScroll();
    void adoProdSortNewRecord(Dataset &ds);
    void adoProdSortRecompute(Dataset &ds);
    void adoProdSortMonedaValidate(Dataset &ds);
    void adoClientiAfterScroll();
    void adoClientiCalcFields(Dataset &ds);
    bool adoClientiBeforeDelete(Dataset &ds);
    void adoNrFActAfterScroll();
    void adoNrFActBeforePost(Dataset &ds);
    bool adoPrCumpBeforeDelete(Dataset &ds);
    void adoIncasariAfterPost(Dataset &ds);
    void adoClientContracteAfterScroll();
    bool adoClientContracteBeforeDelete(Dataset &ds);
    void ContractDetaliatRecompute(Dataset &ds);
};
