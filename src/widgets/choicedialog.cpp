#include "choicedialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

ChoiceDialog::ChoiceDialog(const QString &caption, const QStringList &items, QWidget *parent, const QString &heading)
    : QDialog(parent)
{
    setWindowTitle(caption);
    auto *group = new QGroupBox(QStringLiteral("Doresc sa"));
    auto *box = new QVBoxLayout(group);
    for (const QString &text : items) {
        auto *item = new QRadioButton(text);
        box->addWidget(item);
        m_items << item;
    }
    if (!m_items.isEmpty())
        m_items.first()->setChecked(true);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Iesire"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    if (!heading.isEmpty())
        layout->addWidget(new QLabel(heading));
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int ChoiceDialog::choice() const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isChecked())
            return i;
    }
    return 0;
}

void ChoiceDialog::setChoice(int choice)
{
    if (choice >= 0 && choice < m_items.size())
        m_items[choice]->setChecked(true);
}
