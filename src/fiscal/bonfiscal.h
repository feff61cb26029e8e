#pragma once

#include "fiscal/receiptfile.h"

#include <QDialog>

class Dataset;
class MoneyEdit;
class Prompter;
class QLabel;
class QPushButton;
class Tdm;

// Splits what the customer pays between cash, card and cheques or meal
// tickets and writes the fiscal receipt file of the document whose lines
// `lines` holds, at the current work point's path. The lines and their total
// are read each time the window is shown.
class TfrmBonFiscal : public QDialog
{
    Q_OBJECT

public:
    TfrmBonFiscal(Tdm &dm, Dataset &lines, Prompter &prompter, QWidget *parent = nullptr);

    Money total() const { return m_total; }
    MoneyEdit *edCash() const { return m_cash; }
    MoneyEdit *edCard() const { return m_card; }
    MoneyEdit *edCEC() const { return m_cheque; }
    QPushButton *btEmiteBon() const { return m_emite; }

    void btEmiteBonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    Tdm &m_dm;
    Dataset &m_lines;
    Prompter &m_prompter;
    QList<fiscalreceipt::Line> m_documentLines;
    Money m_total;
    QLabel *m_totalLabel;
    MoneyEdit *m_cash;
    MoneyEdit *m_card;
    MoneyEdit *m_cheque;
    QPushButton *m_emite;
};
