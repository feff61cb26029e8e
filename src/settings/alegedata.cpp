#include "alegedata.h"

#include "cashbook/sheets.h"
#include "core/appstate.h"
#include "core/monedaplata.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/util.h"
#include "db/dberror.h"
#include "widgets/picklistcombo.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAlegeData::TfrmAlegeData(Tdm &dm, Prompter &prompter, TMonedaPlata &currency, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_prompter(prompter), m_currency(currency),
      m_list(new Dataset(dm.cnc(), QStringLiteral("  Select * from Monede   Order By BifaDefault desc, Ordine ASC "))),
      m_calendar(new QCalendarWidget), m_currencies(new PickListCombo),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel))
{
    setWindowTitle(QStringLiteral("Alege data"));
    m_calendar->setSelectedDate(QDate::currentDate());
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Moneda"), m_currencies);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addLayout(form);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    try {
        m_currencies->setItems(fillPickList(*m_list, QStringLiteral("CodIso"), QStringLiteral("Nrzecimale"), m_prompter));
    } catch (const DbError &e) {
        m_prompter.error(e.displayText());
    }
    connect(m_currencies, &QComboBox::currentIndexChanged, this, &TfrmAlegeData::currencyChanged);
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &TfrmAlegeData::dateChanged);
    currencyChanged();
}

TfrmAlegeData::~TfrmAlegeData()
{
    delete m_list;
}

void TfrmAlegeData::currencyChanged()
{
    m_currency.code = m_currencies->currentText().left(3);
    m_currency.decimals = int(m_currencies->currentObject().value_or(2));
    check(true);
}

void TfrmAlegeData::dateChanged()
{
    check(true);
}

bool TfrmAlegeData::canAccept() const
{
    return m_buttons->button(QDialogButtonBox::Ok)->isEnabled();
}

// A day that already has a sheet of this work point and currency cannot
// get another: the warning says so and OK stays off.
void TfrmAlegeData::check(bool warn)
{
    bool ok = m_currency.isValid();
    if (ok) {
        try {
            if (sheets::sheetExistsOn(m_dm.cnc(), m_dm.companyId(), m_dm.state().currentWorkPointId, m_currency.code,
                                      m_calendar->selectedDate())) {
                ok = false;
                if (warn)
                    m_prompter.information(
                        QStringLiteral("Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta."));
            }
        } catch (const DbError &e) {
            ok = false;
            m_prompter.error(e.displayText());
        }
    }
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

void TfrmAlegeData::done(int result)
{
    m_dm.state().pickedDate = m_calendar->selectedDate();
    QDialog::done(result);
}
