#include "dbnavigator.h"

#include "core/prompter.h"
#include "db/dataset.h"
#include "fieldlink.h"

#include <QHBoxLayout>
#include <QToolButton>

#include <bit>

namespace {

struct ButtonLook
{
    const char16_t *text;
    const char *toolTip;
};

// In the order of the Button bits.
constexpr ButtonLook looks[] = {
    {u"|\u25C0", "Prima inregistrare"},
    {u"\u25C0", "Inregistrarea anterioara"},
    {u"\u25B6", "Inregistrarea urmatoare"},
    {u"\u25B6|", "Ultima inregistrare"},
    {u"+", "Adauga"},
    {u"\u2212", "Sterge"},
    {u"\u270E", "Modifica"},
    {u"\u2714", "Salveaza"},
    {u"\u2716", "Renunta"},
    {u"\u21BB", "Reincarca"},
};

int slot(DbNavigator::Button which)
{
    return std::countr_zero(unsigned(which));
}

} // namespace

DbNavigator::DbNavigator(Dataset &dataset, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_dataset(&dataset), m_prompter(&prompter)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new QToolButton(this);
        b->setText(QString::fromUtf16(looks[i].text));
        b->setToolTip(QString::fromLatin1(looks[i].toolTip));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::ClickFocus);
        const auto which = Button(1 << i);
        connect(b, &QToolButton::clicked, this, [this, which] { run(which); });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
    layout->addStretch();

    connect(&dataset, &Dataset::stateChanged, this, &DbNavigator::updateButtons);
    connect(&dataset, &Dataset::currentChanged, this, &DbNavigator::updateButtons);
    connect(&dataset, &Dataset::reset, this, &DbNavigator::updateButtons);
    connect(&dataset, &Dataset::rowInserted, this, &DbNavigator::updateButtons);
    connect(&dataset, &Dataset::rowRemoved, this, &DbNavigator::updateButtons);
    connect(&dataset, &QObject::destroyed, this, [this] {
        m_dataset = nullptr;
        updateButtons();
    });
    updateButtons();
}

void DbNavigator::setVisibleButtons(Buttons buttons)
{
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setVisible(buttons.testFlag(Button(1 << i)));
}

QToolButton *DbNavigator::button(Button which) const
{
    return m_buttons[slot(which)];
}

void DbNavigator::run(Button which)
{
    if (!m_dataset)
        return;
    Dataset &ds = *m_dataset;
    runShowingErrors(m_prompter, [&] {
        switch (which) {
        case First:
            ds.first();
            break;
        case Prior:
            ds.prior();
            break;
        case Next:
            ds.next();
            break;
        case Last:
            ds.last();
            break;
        case Insert:
            ds.append();
            break;
        case Delete:
            if (m_prompter->confirm(QStringLiteral("Stergeti inregistrarea curenta?")))
                ds.remove();
            break;
        case Edit:
            ds.edit();
            break;
        case Post:
            ds.post();
            break;
        case Cancel:
            ds.cancel();
            break;
        case Refresh:
            ds.requeryKeepingPosition();
            break;
        case AllButtons:
            break;
        }
    });
    updateButtons();
}

void DbNavigator::updateButtons()
{
    const Dataset *ds = m_dataset;
    const bool open = ds && ds->isOpen();
    const bool hasRow = open && ds->recNo() >= 0;
    const bool editing = open && ds->isEditing();
    const bool notFirst = hasRow && ds->recNo() > 0;
    const bool notLast = hasRow && ds->recNo() < ds->recordCount() - 1;
    const bool enabled[ButtonCount] = {
        notFirst, notFirst,           notLast, notLast, open,
        hasRow,   hasRow && !editing, editing, editing, open && !editing};
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setEnabled(enabled[i]);
}
