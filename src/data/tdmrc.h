#pragma once

#include "db/dataset.h"

class Tdm;

// The second data module: bank accounts, expense categories, warehouses,
// documents of a period, cash register, service sheets and expiring
// documents.
class TdmRC
{
public:
    explicit TdmRC(Tdm &dm);
    ~TdmRC();
    TdmRC(const TdmRC &) = delete;
    TdmRC &operator=(const TdmRC &) = delete;

    Tdm &dm() { return m_dm; }

    // Whether the period list shows received documents (its totals are then
    // taken on the purchase side).
    bool listShowsReceived = false;

private:
    void wireRules();
    void adoFacturiAfterScroll();
    void adoFacturiEmiseContractAfterScroll();

    Tdm &m_dm;

public:
    Dataset adoConturi;
    Dataset adoconturiFurnizor;
    Dataset adoCatFactIn;
    Dataset adoSortim; // warehouses of a work point
    Dataset adoFacturi;
    Dataset adoTotal;
    Dataset adoFacturiEmiseContract;
    Dataset adoNrFAct;
    Dataset adoFisa;
    Dataset adoDetaliiFisa;
    Dataset adoFisaService;
    Dataset adoCategActeExpira;
    Dataset adoActeExpira;
};
