#include "bonfiscal.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "db/dberror.h"
#include "widgets/moneyedit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmBonFiscal::TfrmBonFiscal(Tdm &dm, Dataset &lines, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_lines(lines), m_prompter(prompter), m_totalLabel(new QLabel),
      m_cash(new MoneyEdit), m_card(new MoneyEdit), m_cheque(new MoneyEdit),
      m_emite(new QPushButton(QStringLiteral("Emite bon")))
{
    setWindowTitle(QStringLiteral("Emite bon fiscal"));
    auto *note = new QLabel(QStringLiteral(
        "Programul este configurat pentru case de marcat Datecs , driver FPRINT, Resident mode."));
    note->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Total de plata"), m_totalLabel);
    form->addRow(QStringLiteral("Cash"), m_cash);
    form->addRow(QStringLiteral("Card"), m_card);
    form->addRow(QStringLiteral("CEC"), m_cheque);
    for (MoneyEdit *edit : {m_cash, m_card, m_cheque})
        edit->setPrompter(m_prompter);
    auto *close = new QPushButton(QStringLiteral("Iesire"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_emite);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addLayout(buttons);
    m_emite->setDefault(true);
    connect(m_emite, &QPushButton::clicked, this, &TfrmBonFiscal::btEmiteBonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmBonFiscal::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Restoring a minimised window keeps what was typed.
    if (!event->spontaneous())
        FormShow();
}

void TfrmBonFiscal::FormShow()
{
    m_documentLines.clear();
    try {
        m_documentLines = fiscalreceipt::linesOf(m_lines);
    } catch (const std::exception &e) {
        m_prompter.error(errorDisplayText(e));
    }
    m_total = fiscalreceipt::totalOf(m_documentLines);
    m_totalLabel->setText(QString(m_total.toString(2)).replace(u'.', u','));
    m_cash->setValue(m_total, 2);
    m_card->setText(QStringLiteral("0"));
    m_cheque->setText(QStringLiteral("0"));
}

void TfrmBonFiscal::btEmiteBonClick()
{
    // An empty box pays nothing.
    const fiscalreceipt::Payment payment{m_cash->value().value_or(Money()),
                                         m_card->value().value_or(Money()),
                                         m_cheque->value().value_or(Money())};
    QString path;
    try {
        path = fiscalreceipt::workPointPath(m_dm.cnc(), m_dm.state().currentWorkPointId);
    } catch (const std::exception &e) {
        m_prompter.error(errorDisplayText(e));
        return;
    }
    fiscalreceipt::issue(m_documentLines, m_total, payment, path, m_prompter);
}
