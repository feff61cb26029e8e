#pragma once

#include <QDialog>

class QRadioButton;

// "Fereastra de confirmare": what the user wants to do with documents.
class TfrmConfirmareFactura : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmConfirmareFactura(QWidget *parent = nullptr);

    // 0 issue a document, 1 look at or validate earlier ones, 2 enter a
    // supplier's document.
    int choice() const;
    void setChoice(int choice);

private:
    QList<QRadioButton *> m_items;
};
