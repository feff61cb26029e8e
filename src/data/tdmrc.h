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

private:
    Tdm &m_dm;

public:
    Dataset adoConturi;
    Dataset adoCatFactIn;
    Dataset adoSortim; // warehouses of a work point
    Dataset adoFacturi;
    Dataset adoNrFAct;
    Dataset adoFisa;
    Dataset adoDetaliiFisa;
    Dataset adoFisaService;
    Dataset adoCategActeExpira;
    Dataset adoActeExpira;
};
