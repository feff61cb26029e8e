#pragma once

#include "db/connection.h"
#include "db/dataset.h"

class AppState;
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
    explicit Tdm(AppState &state);
    ~Tdm();
    Tdm(const Tdm &) = delete;
    Tdm &operator=(const Tdm &) = delete;

    // What start-up needs from the outside world.
    struct Environment
    {
        QString programDir;
        Prompter &prompter;
        startup::ConnectionStringStore &connectionStore;
        startup::ConnectionEditor &connectionEditor;
    };

    // Reads the engine from the configuration file, connects, opens the own
    // companies (which opens the current company's work points and
    // employees) and the VAT mentions. Shows what went wrong and returns
    // false when the program cannot go on.
    bool start(const Environment &env);

    AppState &state() { return m_state; }
    Connection &cnc() { return m_cnc; }
    // The second data module, once it exists.
    TdmRC *rc() const { return m_rc; }
    void setSecondModule(TdmRC *rc) { m_rc = rc; }

    // The id of the current own company (current row of adoSetari).
    qint64 companyId() const;

    // Documents of one partner (buyer, seller, kind); both modules list them.
    static QString partnerDocumentsSql();

private:
    AppState &m_state;
    Connection m_cnc;
    TdmRC *m_rc = nullptr;

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

private:
    void adoSetariAfterScroll();
};
