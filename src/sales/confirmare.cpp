#include "confirmare.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmConfirmareFactura::TfrmConfirmareFactura(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fereastra de confirmare"));
    auto *group = new QGroupBox(QStringLiteral("Doresc sa"));
    auto *items = new QVBoxLayout(group);
    for (const char *text : {"Emit o factura/aviz/BC", "Vizualizare sau validare factura/aviz/BC anterior",
                             "Introduc o factura/aviz furnizor"}) {
        auto *item = new QRadioButton(QString::fromLatin1(text));
        items->addWidget(item);
        m_items << item;
    }
    m_items.first()->setChecked(true);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Iesire"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int TfrmConfirmareFactura::choice() const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isChecked())
            return i;
    }
    return 0;
}

void TfrmConfirmareFactura::setChoice(int choice)
{
    if (choice >= 0 && choice < m_items.size())
        m_items[choice]->setChecked(true);
}
