#pragma once

#include <QDialog>

class Dataset;
class MoneyEdit;
class PickListCombo;
class Prompter;
class QLineEdit;
class QPushButton;
class Tdm;
class TdmRC;

// Types operations that have no document in the program (a deposit, a
// withdrawal for expenses) onto the register window's current sheet, one
// after another.
class TfrmAdaugaRC : public QDialog
{
    Q_OBJECT

public:
    TfrmAdaugaRC(Tdm &dm, TdmRC &rc, Prompter &prompter, QWidget *parent = nullptr);

    QLineEdit *nrActCasaEdit() const { return m_nrActCasa; }
    QLineEdit *nrAnexaEdit() const { return m_nrAnexa; }
    QLineEdit *explicatiiEdit() const { return m_explicatii; }
    QLineEdit *simbolContEdit() const { return m_simbolCont; }
    MoneyEdit *incasariEdit() const { return m_incasari; }
    MoneyEdit *platiEdit() const { return m_plati; }
    PickListCombo *currencies() const { return m_currencies; }
    PickListCombo *categories() const { return m_categories; }
    QPushButton *addButton() const { return m_btAdauga; }
    QPushButton *closeButton() const { return m_btInchide; }

private:
    void btAdaugaClick();
    void clearBoxes();

    Tdm &m_dm;
    TdmRC &m_rc;
    Prompter &m_prompter;
    Dataset *m_currencyList;
    Dataset *m_categoryList;
    QLineEdit *m_nrActCasa;
    QLineEdit *m_nrAnexa;
    QLineEdit *m_explicatii;
    QLineEdit *m_simbolCont;
    MoneyEdit *m_incasari;
    MoneyEdit *m_plati;
    PickListCombo *m_currencies;
    PickListCombo *m_categories;
    QPushButton *m_btAdauga;
    QPushButton *m_btInchide;
};
