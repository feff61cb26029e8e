#pragma once

#include <QDialog>

class QRadioButton;

// A small modal question: "Doresc sa" and one choice among a few.
class ChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    ChoiceDialog(const QString &caption, const QStringList &items, QWidget *parent = nullptr,
                 const QString &heading = {});

    int choice() const;
    void setChoice(int choice);

private:
    QList<QRadioButton *> m_items;
};
