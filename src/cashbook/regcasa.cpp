#include "regcasa.h"

#include "adaugarc.h"
#include "sheets.h"

#include "core/appstate.h"
#include "core/monedaplata.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "reports/reportengine.h"
#include "settings/alegedata.h"
#include "widgets/dbcontrols.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"
#include "widgets/fieldlink.h"
#include "widgets/picklistcombo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Edit puts the grid into in-place editing; post and cancel take it out.
void editInGrid(DbNavigator *navigator, DbGrid *grid)
{
    QObject::connect(navigator->button(DbNavigator::Edit), &QToolButton::clicked, grid,
                     [grid] { grid->setEditable(true); });
    for (DbNavigator::Button b : {DbNavigator::Post, DbNavigator::Cancel})
        QObject::connect(navigator->button(b), &QToolButton::clicked, grid,
                         [grid] { grid->setEditable(false); });
}

DbEdit *amountOf(Dataset &sheetsView, const QString &field, Prompter &prompter)
{
    auto *edit = new DbEdit(sheetsView, field, prompter);
    edit->setFormat(FieldFormat::Money, 2);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

TfrmRC::TfrmRC(const WindowContext &context, QWidget *parent)
    : QWidget(parent), m_dm(context.dm), m_rc(context.rc), m_reports(context.reports),
      m_prompter(context.prompter), m_sheetsSql(m_rc.adoFisa.sql()),
      m_currencyList(new Dataset(
          m_dm.cnc(),
          QStringLiteral("  Select * from Monede   Order By BifaDefault desc, Ordine ASC "), this)),
      m_workPointList(
          new Dataset(m_dm.cnc(),
                      QStringLiteral("select id, AbrevierePunctLucru from SeriiActe where "
                                     "id_firma=:idf order by id"),
                      this)),
      m_currencies(new PickListCombo), m_workPoints(new PickListCombo), m_year(new QSpinBox),
      m_sheetsGrid(
          new DbGrid(m_rc.adoFisa, m_prompter,
                     {{QStringLiteral("id"), QStringLiteral("id")},
                      {QStringLiteral("NrFisa"), QStringLiteral("NrFisa")},
                      {QStringLiteral("Data"), QStringLiteral("Data"), FieldFormat::Date},
                      {QStringLiteral("Incasari"), QStringLiteral("Incasari"), FieldFormat::Money},
                      {QStringLiteral("PLati"), QStringLiteral("Plati"), FieldFormat::Money},
                      {QStringLiteral("Total"), QStringLiteral("Total"), FieldFormat::Money},
                      {QStringLiteral("Sold"), QStringLiteral("Sold"), FieldFormat::Money}})),
      m_linesGrid(
          new DbGrid(m_rc.adoDetaliiFisa, m_prompter,
                     {{QStringLiteral("nractcasa"), QStringLiteral("Nr act casa")},
                      {QStringLiteral("nranexa"), QStringLiteral("Nr anexa")},
                      {QStringLiteral("explicatii"), QStringLiteral("Explicatii")},
                      {QStringLiteral("incasari"), QStringLiteral("Incasari"), FieldFormat::Money},
                      {QStringLiteral("plati"), QStringLiteral("Plati"), FieldFormat::Money},
                      {QStringLiteral("Moneda"), QStringLiteral("Moneda")}})),
      m_sheetsNavigator(new DbNavigator(m_rc.adoFisa, m_prompter)),
      m_linesNavigator(new DbNavigator(m_rc.adoDetaliiFisa, m_prompter)),
      m_btFisaNoua(new QPushButton(QStringLiteral("+ Fisa noua"))),
      m_btAdaugaOperatie(new QPushButton(QStringLiteral("Adauga operatie pe fisa"))),
      m_btReindexare(new QPushButton(QStringLiteral("Reindexare"))),
      m_btPrevizualizare(new QPushButton(QStringLiteral("Previzualizare fisa curenta")))
{
    m_year->setRange(2013, 2100);
    m_year->setValue(QDate::currentDate().year());

    m_sheetsNavigator->setVisibleButtons(
        DbNavigator::First | DbNavigator::Prior | DbNavigator::Next | DbNavigator::Last |
        DbNavigator::Delete | DbNavigator::Edit | DbNavigator::Post | DbNavigator::Cancel);
    m_sheetsNavigator->button(DbNavigator::Delete)
        ->setToolTip(QStringLiteral(
            "Sterge fisa curenta (se vor sterge automat si toate inregistrarile ei)"));
    m_linesNavigator->setVisibleButtons(DbNavigator::First | DbNavigator::Last |
                                        DbNavigator::Delete | DbNavigator::Edit |
                                        DbNavigator::Post | DbNavigator::Cancel);
    m_linesNavigator->button(DbNavigator::Delete)
        ->setToolTip(QStringLiteral("Sterge randul curent "));
    m_linesNavigator->button(DbNavigator::Post)
        ->setToolTip(QStringLiteral("Salveaza modificarile"));
    m_linesNavigator->button(DbNavigator::Cancel)
        ->setToolTip(QStringLiteral("Anuleaza modificarile"));
    editInGrid(m_sheetsNavigator, m_sheetsGrid);
    editInGrid(m_linesNavigator, m_linesGrid);

    auto *choice = new QHBoxLayout;
    choice->addWidget(new QLabel(QStringLiteral("Moneda")));
    choice->addWidget(m_currencies);
    choice->addWidget(new QLabel(QStringLiteral("Punct de lucru")));
    choice->addWidget(m_workPoints);
    choice->addWidget(new QLabel(QStringLiteral("Anul")));
    choice->addWidget(m_year);
    choice->addStretch();
    auto *totals = new QHBoxLayout;
    for (const auto &[field, caption] :
         {std::pair{"Incasari", "Incasari"}, std::pair{"PLati", "Plati"}, std::pair{"Sold", "Sold"},
          std::pair{"Total", "Total"}}) {
        totals->addWidget(new QLabel(QString::fromLatin1(caption)));
        totals->addWidget(amountOf(m_rc.adoFisa, QString::fromLatin1(field), m_prompter));
    }
    auto *actions = new QHBoxLayout;
    for (QPushButton *b : {m_btFisaNoua, m_btAdaugaOperatie, m_btReindexare, m_btPrevizualizare})
        actions->addWidget(b);
    actions->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(actions);
    layout->addLayout(totals);
    layout->addWidget(m_sheetsNavigator);
    layout->addWidget(m_sheetsGrid, 1);
    layout->addWidget(m_linesNavigator);
    layout->addWidget(m_linesGrid, 1);

    runShowingErrors(&m_prompter, [this] {
        m_currencies->setItems(fillPickList(*m_currencyList, QStringLiteral("CodIso"),
                                            QStringLiteral("Nrzecimale"), m_prompter));
        m_workPoints->setItems(fillPickListFor(*m_workPointList,
                                               QStringLiteral("AbrevierePunctLucru"),
                                               m_dm.companyId(), QStringLiteral("id")));
    });
    m_workPoints->selectObject(m_dm.state().currentWorkPointId);

    connect(m_currencies, &QComboBox::currentIndexChanged, this, &TfrmRC::loadSheets);
    connect(m_workPoints, &QComboBox::currentIndexChanged, this, &TfrmRC::loadSheets);
    connect(m_year, &QSpinBox::valueChanged, this, &TfrmRC::loadSheets);
    connect(m_btFisaNoua, &QPushButton::clicked, this, &TfrmRC::btFisaNouaClick);
    connect(m_btAdaugaOperatie, &QPushButton::clicked, this, &TfrmRC::btAdaugaOperatieClick);
    connect(m_btReindexare, &QPushButton::clicked, this, &TfrmRC::btReindexareClick);
    connect(m_btPrevizualizare, &QPushButton::clicked, this, &TfrmRC::btPrevizualizareClick);
    loadSheets();
}

TfrmRC::~TfrmRC()
{
    m_rc.adoFisa.close();
    m_rc.adoFisa.setSql(m_sheetsSql);
}

qint64 TfrmRC::workPointId() const
{
    return m_workPoints->currentObject().value_or(0);
}

bool TfrmRC::hasSheet() const
{
    return m_rc.adoFisa.isOpen() && !m_rc.adoFisa.isEmpty();
}

// The year's sheets, on today's when there is one.
void TfrmRC::loadSheets()
{
    runShowingErrors(&m_prompter, [this] {
        const QString currency = m_currencies->currentText();
        sheets::openSheetsOfYear(m_rc.adoFisa, m_dm.companyId(), workPointId(), currency,
                                 m_year->value());
        if (const auto today = sheets::findSheetOfDay(m_dm.cnc(), m_dm.companyId(), workPointId(),
                                                      currency, QDate::currentDate()))
            m_rc.adoFisa.locate(QStringLiteral("id"), *today);
    });
}

void TfrmRC::btFisaNouaClick()
{
    if (!m_prompter.confirm(QStringLiteral("Doriti sa introduceti o fisa noua pe") +
                            m_workPoints->currentText() + QStringLiteral(" ?")))
        return;
    TMonedaPlata currency;
    AppState &state = m_dm.state();
    {
        // The picker checks the day against the work point of the state:
        // let it check the one chosen here.
        const qint64 current = state.currentWorkPointId;
        state.currentWorkPointId = workPointId();
        const auto restore = qScopeGuard([&state, current] { state.currentWorkPointId = current; });
        TfrmAlegeData picker(m_dm, m_prompter, currency, this);
        picker.setWindowTitle(QStringLiteral("Data acestei fise"));
        picker.currencies()->setCurrentIndex(
            picker.currencies()->findText(m_currencies->currentText()));
        if (picker.exec() != QDialog::Accepted)
            return;
    }
    const QDate day = state.pickedDate;
    std::optional<qint64> sheet;
    if (!runShowingErrors(&m_prompter,
                          [&] {
                              sheet = sheets::addSheet(m_dm.cnc(), m_prompter, m_dm.companyId(),
                                                       workPointId(), currency, day);
                          }) ||
        !sheet)
        return;
    // Show the new sheet: its year and currency.
    {
        const QSignalBlocker yearBlocker(m_year);
        const QSignalBlocker currencyBlocker(m_currencies);
        m_year->setValue(day.year());
        m_currencies->setCurrentIndex(m_currencies->findText(currency.code));
    }
    loadSheets();
    runShowingErrors(&m_prompter, [&] { m_rc.adoFisa.locate(QStringLiteral("id"), *sheet); });
}

void TfrmRC::btAdaugaOperatieClick()
{
    if (!hasSheet()) {
        m_prompter.information(QStringLiteral("Nu exista  fisa in aceasta data."));
        return;
    }
    TfrmAdaugaRC dialog(m_dm, m_rc, m_prompter, this);
    dialog.setWindowTitle(QStringLiteral("Adauga operatii in registru"));
    dialog.exec();
}

void TfrmRC::btReindexareClick()
{
    if (!hasSheet())
        return;
    const qint64 sheet = m_rc.adoFisa.asInteger(QStringLiteral("id"));
    // On an error nothing is re-chained: the error is all there is to say.
    if (runShowingErrors(&m_prompter, [&] { sheets::reindexSheets(m_dm.cnc(), sheet); }))
        m_prompter.information(QStringLiteral("Reindexarea fiselor de casa s-a facut cu succes"));
    runShowingErrors(&m_prompter, [this] { m_rc.adoFisa.requeryKeepingPosition(); });
}

void TfrmRC::btPrevizualizareClick()
{
    if (!hasSheet())
        return;
    runShowingErrors(&m_prompter, [this] {
        m_reports.printTemplate(m_dm.companyId(), QStringLiteral("RegCasa"),
                                QStringLiteral("tipfact"), m_workPoints->currentText());
    });
}
