#pragma once

#include "frame/windowcontext.h"

#include <QString>
#include <QWidget>

class Dataset;
class DbGrid;
class DbNavigator;
class PickListCombo;
class QPushButton;
class QSpinBox;

// The cash register book of one work point and currency, a year at a time:
// its sheets, the lines of the current sheet, new sheets, hand-typed
// operations, re-chaining and the printed sheet. Works on the second data
// module's adoFisa and adoDetaliiFisa, which it closes when it goes.
class TfrmRC : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmRC(const WindowContext &context, QWidget *parent = nullptr);
    ~TfrmRC() override;

    PickListCombo *currencies() const { return m_currencies; }
    PickListCombo *workPoints() const { return m_workPoints; }
    QSpinBox *year() const { return m_year; }
    DbGrid *sheetsGrid() const { return m_sheetsGrid; }
    DbGrid *linesGrid() const { return m_linesGrid; }
    DbNavigator *sheetsNavigator() const { return m_sheetsNavigator; }
    DbNavigator *linesNavigator() const { return m_linesNavigator; }
    QPushButton *newSheetButton() const { return m_btFisaNoua; }
    QPushButton *addOperationButton() const { return m_btAdaugaOperatie; }
    QPushButton *reindexButton() const { return m_btReindexare; }
    QPushButton *previewButton() const { return m_btPrevizualizare; }

private:
    void loadSheets();
    void btFisaNouaClick();
    void btAdaugaOperatieClick();
    void btReindexareClick();
    void btPrevizualizareClick();
    bool hasSheet() const;
    qint64 workPointId() const;

    Tdm &m_dm;
    TdmRC &m_rc;
    ReportEngine &m_reports;
    Prompter &m_prompter;
    QString m_sheetsSql; // the view's own text, given back on closing
    Dataset *m_currencyList;
    Dataset *m_workPointList;
    PickListCombo *m_currencies;
    PickListCombo *m_workPoints;
    QSpinBox *m_year;
    DbGrid *m_sheetsGrid;
    DbGrid *m_linesGrid;
    DbNavigator *m_sheetsNavigator;
    DbNavigator *m_linesNavigator;
    QPushButton *m_btFisaNoua;
    QPushButton *m_btAdaugaOperatie;
    QPushButton *m_btReindexare;
    QPushButton *m_btPrevizualizare;
};
