#pragma once

#include <QDialog>

struct TMonedaPlata;
class Dataset;
class PickListCombo;
class Prompter;
class QCalendarWidget;
class QDialogButtonBox;
class Tdm;

// Picks the day and the currency of a new cash sheet. OK stays disabled
// while no currency is chosen or while the work point already has a sheet
// of that day in that currency.
class TfrmAlegeData : public QDialog
{
    Q_OBJECT

public:
    TfrmAlegeData(Tdm &dm, Prompter &prompter, TMonedaPlata &currency, QWidget *parent = nullptr);
    ~TfrmAlegeData() override;

    QCalendarWidget *calendar() const { return m_calendar; }
    PickListCombo *currencies() const { return m_currencies; }
    bool canAccept() const;

protected:
    void done(int result) override;

private:
    void currencyChanged();
    void dateChanged();
    void check(bool warn);

    Tdm &m_dm;
    Prompter &m_prompter;
    TMonedaPlata &m_currency;
    Dataset *m_list;
    QCalendarWidget *m_calendar;
    PickListCombo *m_currencies;
    QDialogButtonBox *m_buttons;
};
