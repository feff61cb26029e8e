#pragma once

#include <QDate>

class Connection;
class Dataset;
class Prompter;
class TdmRC;

// The rules of the second data module's cash views: the sheets (adoFisa)
// and the lines of the current sheet (adoDetaliiFisa). Whatever is deleted
// or edited there, the sheets after it are re-chained in the same
// transaction as the change.
class CashRegisterRules
{
public:
    // Hangs the rules on the two views; attaching again replaces them.
    static void attach(TdmRC &rc);

    explicit CashRegisterRules(TdmRC &rc);

    void adoFisaAfterScroll();
    void adoFisaAfterClose();
    void adoFisaBeforePost(Dataset &ds);
    void adoFisaAfterPost(Dataset &ds);
    bool adoFisaBeforeDelete(Dataset &ds);
    void adoFisaAfterDelete(Dataset &ds);
    void adoDetaliiFisaBeforePost(Dataset &ds);
    void adoDetaliiFisaAfterPost(Dataset &ds);
    bool adoDetaliiFisaBeforeDelete(Dataset &ds);
    void adoDetaliiFisaAfterDelete(Dataset &ds);

private:
    void refreshSheets();

    TdmRC &m_rc;
    Connection &m_cnc;
    Prompter &m_prompter;
    QDate m_dayBeforeEdit; // of the sheet being posted
};
