#include "factnoua.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "db/dberror.h"
#include "frame/mainwindow.h"
#include "numbering.h"
#include "reports/reportengine.h"
#include "settings/webfetcher.h"
#include "stock/stockissue.h"
#include "stock/stockstore.h"
#include "stock/supplierpage.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"

#include "widgets/fieldlink.h"
#include "widgets/picklistcombo.h"
#include "widgets/windowparts.h"
#include <QToolButton>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

enum Step
{
    ClientStep = 0,
    HeaderStep = 1,
    LinesStep = 2,
    ValidationStep = 3
};

// Tabs of step 1.
enum ClientTab
{
    ClientListTab = 0,
    ClientDetailsTab = 1
};

// Sub-pages of step 3: where lines come from.
enum Source
{
    ServicesSource = 0,
    StockSource = 1
};

QLineEdit *readOnlyBox()
{
    auto *e = new QLineEdit;
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    return e;
}

} // namespace

TfrmFactNoua::TfrmFactNoua(const WindowContext &context, Entry entry, QWidget *parent)
    : QWidget(parent), m_ctx(context), m_entry(entry)
{
    setWindowTitle(QStringLiteral("Factura/Aviz/BC Nou"));
    WebFetcher *rates = m_ctx.rates;
    m_workspace = std::make_unique<DocumentWorkspace>(
        m_ctx.dm, [rates](const QString &currency) -> std::optional<Money> {
            if (!rates)
                return std::nullopt;
            const std::optional<RateQuote> quote = rates->fetchRate(currency);
            if (!quote)
                return std::nullopt;
            return quote->rate;
        });
    m_ctx.dm.state().silentMode = false;
    m_ctx.dm.adoClienti.close();

    m_pages = new QTabWidget;
    auto *issue = new QWidget;
    m_steps = new QTabWidget;
    m_steps->addTab(scrollable(buildClientStep()), QStringLiteral("1. Alegeti clientul"));
    m_steps->addTab(scrollable(buildHeaderStep()), QStringLiteral("2. Antet/footer"));
    m_steps->addTab(scrollable(buildLinesStep()), QStringLiteral("3. Servicii/Produse"));
    m_steps->addTab(scrollable(buildValidationStep()),
                    QStringLiteral("Validare si Previzualizare"));
    auto *issueLayout = new QVBoxLayout(issue);
    issueLayout->addWidget(m_steps);
    m_pages->addTab(issue, QStringLiteral("Emite act"));
    if (entry == Entry::Supplier) {
        m_supplierPage = new SupplierPage(m_ctx);
        m_pages->addTab(scrollable(m_supplierPage), QStringLiteral("Introduce act de la furnizor"));
        m_pages->setTabVisible(0, false);
        m_pages->setCurrentIndex(1);
    }

    layOutPagesWithExit(this, m_pages);
    resize(1100, 760);
}

TfrmFactNoua::~TfrmFactNoua() = default;

QLineEdit *TfrmFactNoua::totalBox(const QString &name) const
{
    return m_totals.value(name);
}

// Step 1: the client.
QWidget *TfrmFactNoua::buildClientStep()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_edNume = new QLineEdit;
    m_edNume->installEventFilter(this);
    m_edNume->setPlaceholderText(QStringLiteral("Denumire (Enter cauta)"));
    m_edCui = new QLineEdit;
    m_edRegCom = new QLineEdit;
    m_cb = new QCheckBox(
        QStringLiteral("Cauta doar in  baza de clienti (nebifat=cauta in toata baza)"));
    m_cb->setChecked(true);
    m_cbSold = new QCheckBox(
        QStringLiteral("Afiseaza clientii cu sold (operatia va incetini afisarea clientilor)"));
    m_clients =
        new DbGrid(dm.adoClienti, m_ctx.prompter,
                   {{QStringLiteral("NumeFirma"), QStringLiteral("Denumire")},
                    {QStringLiteral("CUI"), QStringLiteral("CUI")},
                    {QStringLiteral("RegCom"), QStringLiteral("Reg. Com.")},
                    {QStringLiteral("Localitate"), QStringLiteral("Localitate")},
                    {QStringLiteral("Comentariu"), QStringLiteral("Nr Contract")},
                    {QStringLiteral("SoldCalculat"), QStringLiteral("Sold"), FieldFormat::Money}});
    auto *add = new QPushButton(QStringLiteral("+"));
    add->setToolTip(QStringLiteral("Client nou"));
    m_btPasUrmator = new QPushButton(QStringLiteral("Pasul urmator"));

    auto *search = new QGridLayout;
    search->addWidget(new QLabel(QStringLiteral("Denumire")), 0, 0);
    search->addWidget(m_edNume, 0, 1);
    search->addWidget(add, 0, 2);
    search->addWidget(new QLabel(QStringLiteral("CUI")), 1, 0);
    search->addWidget(m_edCui, 1, 1);
    search->addWidget(new QLabel(QStringLiteral("Reg. Com.")), 2, 0);
    search->addWidget(m_edRegCom, 2, 1);
    search->addWidget(m_cb, 3, 1);
    search->addWidget(m_cbSold, 4, 1);

    auto *details = new QWidget;
    auto *detailsLayout = new QVBoxLayout(details);
    auto *accountsBar = new QHBoxLayout;
    accountsBar->addWidget(new QLabel(QStringLiteral("Conturi")));
    accountsBar->addStretch();
    m_accountNavigator = new DbNavigator(m_ctx.rc.adoConturi, m_ctx.prompter);
    m_accountNavigator->setVisibleButtons(DbNavigator::Insert | DbNavigator::Edit |
                                          DbNavigator::Post | DbNavigator::Cancel);
    accountsBar->addWidget(m_accountNavigator);
    detailsLayout->addLayout(accountsBar);
    m_accounts = new DbGrid(m_ctx.rc.adoConturi, m_ctx.prompter,
                            {{QStringLiteral("Banca"), QStringLiteral("Banca")},
                             {QStringLiteral("Cont"), QStringLiteral("Cont")},
                             {QStringLiteral("Swift"), QStringLiteral("Swift")}});
    detailsLayout->addWidget(m_accounts);
    // A new account is typed straight into the grid; it belongs to the client.
    connect(&m_ctx.rc.adoConturi, &Dataset::stateChanged, this,
            [this] { m_accounts->setEditable(m_ctx.rc.adoConturi.isEditing()); });
    detailsLayout->addWidget(new QLabel(QStringLiteral("Delegati")));
    detailsLayout->addWidget(new DbGrid(dm.delegati, m_ctx.prompter,
                                        {{QStringLiteral("Nume"), QStringLiteral("Nume")},
                                         {QStringLiteral("Prenume"), QStringLiteral("Prenume")},
                                         {QStringLiteral("CNP"), QStringLiteral("CNP")},
                                         {QStringLiteral("SerieCI"), QStringLiteral("Serie CI")},
                                         {QStringLiteral("NrCI"), QStringLiteral("Nr CI")}}));
    auto *other = new QWidget;
    auto *otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(
        new DbGrid(dm.adoDetaliiClienti, m_ctx.prompter,
                   {{QStringLiteral("Echipament"), QStringLiteral("Echipament")},
                    {QStringLiteral("AdresaEchipament"), QStringLiteral("Adresa")},
                    {QStringLiteral("FormaProprietate"), QStringLiteral("Forma proprietate")},
                    {QStringLiteral("Intelegeri"), QStringLiteral("Intelegeri")}}));

    auto *tabs = new QTabWidget;
    m_clientTabs = tabs;
    auto *clients = new QWidget;
    auto *clientsLayout = new QVBoxLayout(clients);
    clientsLayout->addLayout(search);
    clientsLayout->addWidget(m_clients, 1);
    tabs->addTab(clients, QStringLiteral("Clienti"));
    tabs->addTab(details, QStringLiteral("Detalii client"));
    tabs->addTab(other, QStringLiteral("Alte detalii"));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(tabs, 1);
    auto *nav = new QHBoxLayout;
    nav->addStretch();
    nav->addWidget(m_btPasUrmator);
    layout->addLayout(nav);

    connect(tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == ClientDetailsTab)
            showClientDetails();
    });
    connect(&dm.adoClienti, &Dataset::currentChanged, this, [this] {
        if (m_clientTabs->currentIndex() == ClientDetailsTab)
            showClientDetails();
    });
    connect(m_edNume, &QLineEdit::returnPressed, this, &TfrmFactNoua::edNumeKeyPress);
    connect(m_edNume, &QLineEdit::textEdited, this, [this] { m_workspace->startNewDocument(); });
    connect(m_edCui, &QLineEdit::textEdited, this, [this](const QString &t) {
        m_edNume->clear();
        searchBy(QStringLiteral("CUI"), t);
    });
    connect(m_edRegCom, &QLineEdit::textEdited, this, [this](const QString &t) {
        m_edNume->clear();
        searchBy(QStringLiteral("RegCom"), t);
    });
    connect(m_cbSold, &QCheckBox::toggled, this, [this](bool on) {
        m_ctx.dm.state().showClientBalance = on;
        m_ctx.dm.adoClienti.invalidateCalculatedFields();
    });
    connect(add, &QPushButton::clicked, this, &TfrmFactNoua::btAdaugaClientClick);
    connect(m_btPasUrmator, &QPushButton::clicked, this, &TfrmFactNoua::btPasUrmatorClick);
    connect(m_clients, &DbGrid::rowDoubleClicked, this, &TfrmFactNoua::btPasUrmatorClick);
    return page;
}

// The accounts and delegates of the client the grid is on.
void TfrmFactNoua::showClientDetails()
{
    Tdm &dm = m_ctx.dm;
    const qint64 client = dm.adoClienti.isOpen() && !dm.adoClienti.isEmpty()
                              ? dm.adoClienti.asInteger(QStringLiteral("id"))
                              : 0;
    runShowingErrors(&m_ctx.prompter, [&] {
        dm.state().currentClientId = client;
        dm.delegateOwnerId = client;
        dm.delegati.close();
        dm.delegati.setParams({client, dm.companyId()});
        dm.delegati.open();
        m_ctx.rc.adoConturi.close();
        m_ctx.rc.adoConturi.setParam(0, client);
        m_ctx.rc.adoConturi.open();
    });
}

void TfrmFactNoua::edNumeKeyPress()
{
    searchBy(QStringLiteral("NumeFirma"), m_edNume->text());
    // A name that matches nobody is most often a new client.
    if (!m_edNume->text().trimmed().isEmpty() && m_ctx.dm.adoClienti.isOpen() &&
        m_ctx.dm.adoClienti.isEmpty() &&
        m_ctx.prompter.confirm(
            QStringLiteral("Nu am gasit cumparatorul in baza de date. Il adaugati acum?")))
        btAdaugaClientClick();
}

bool TfrmFactNoua::eventFilter(QObject *watched, QEvent *event)
{
    // A double click on the name box empties it and lists every client again.
    if (watched == m_edNume && event->type() == QEvent::MouseButtonDblClick) {
        m_edNume->clear();
        searchBy(QStringLiteral("NumeFirma"), QString());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmFactNoua::searchBy(const QString &column, const QString &text)
{
    runShowingErrors(&m_ctx.prompter, [&] {
        searchClients(m_ctx.dm.adoClienti, column, m_cb->isChecked(), SearchOperator::Contains,
                      false, text, m_ctx.dm.companyId());
    });
}

void TfrmFactNoua::btAdaugaClientClick()
{
    m_ctx.dm.state().newPartnerIsClient = true;
    m_ctx.dm.state().newPartnerIsSupplier = false;
    if (m_ctx.frame)
        m_ctx.frame->CreateChildForm(QStringLiteral("Clienti"));
}

void TfrmFactNoua::btPasUrmatorClick()
{
    Dataset &clients = m_ctx.dm.adoClienti;
    if (!clients.isOpen() || clients.isEmpty()) {
        m_ctx.prompter.information(QStringLiteral("Nu ati selectat clientul"));
        return;
    }
    m_workspace->selectClient(clients.asInteger(QStringLiteral("id")));
    m_btIncasare->setVisible(false);
    m_date->setDate(QDate::currentDate());
    m_ctx.dm.adoNrFAct.close();
    m_ctx.dm.adoPrCump.close();
    m_ctx.rc.adoNrFAct.close();
    chooseStep(HeaderStep);
}

void TfrmFactNoua::chooseStep(int step)
{
    for (int i = 0; i < m_steps->count(); ++i)
        m_steps->setTabVisible(i, i <= step);
    m_steps->setCurrentIndex(step);
    if (step == HeaderStep)
        TabSheetAntetShow();
    if (step == LinesStep) {
        // The price list as it is now, also with products added elsewhere.
        runShowingErrors(&m_ctx.prompter, [this] {
            Dataset &categories = m_ctx.dm.adocategorii;
            if (categories.isOpen())
                categories.requeryKeepingPosition();
        });
        showSourceForKind();
        updateNextButtons();
    }
    if (step == ValidationStep)
        showTotals();
}

// Step 2: the header.
QWidget *TfrmFactNoua::buildHeaderStep()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_date = new QDateEdit(QDate::currentDate());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_kind = new QComboBox;
    m_kind->addItems({QStringLiteral("Factura"), QStringLiteral("Aviz"), QStringLiteral("BC")});
    m_mention = new PickListCombo;
    m_comment = new QPlainTextEdit;
    m_comment->setMaximumHeight(60);
    m_dispatchDate = new QDateEdit(QDate::currentDate());
    m_dispatchDate->setCalendarPopup(true);
    m_dispatchDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_contract = new PickListCombo;
    m_currency = new QComboBox;
    m_rateLabel = new QLabel;
    m_termDays = new QSpinBox;
    m_termDays->setRange(0, 365);
    m_dueDate = new QDateEdit(QDate::currentDate());
    m_dueDate->setCalendarPopup(true);
    m_dueDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_payment = new QComboBox;
    m_bank = new PickListCombo;
    m_weight = new QLineEdit;
    m_volume = new QLineEdit;
    m_licence = new QLineEdit;
    m_deliveryTerms = new QLineEdit;
    m_workPoints =
        new DbGrid(dm.adoSeriiF, m_ctx.prompter,
                   {{QStringLiteral("DenumirePunctLucru"), QStringLiteral("Punct lucru")},
                    {QStringLiteral("AbrevierePunctLucru"), QStringLiteral("Abreviere")},
                    {QStringLiteral("SerieFactura"), QStringLiteral("Serie")}});
    m_workPoints->setMaximumHeight(110);
    m_btHeaderNext = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));

    auto *main = new QFormLayout;
    main->addRow(QStringLiteral("Data*"), m_date);
    main->addRow(QStringLiteral("Tip"), m_kind);
    main->addRow(QStringLiteral("Mentiune TVA"), m_mention);
    main->addRow(QStringLiteral("Moneda"), m_currency);
    main->addRow(QString(), m_rateLabel);
    main->addRow(QStringLiteral("Conf contract"), m_contract);
    main->addRow(QStringLiteral("Punct lucru"), m_workPoints);
    main->addRow(QStringLiteral("Comentariu"), m_comment);

    m_paymentPanel = new QGroupBox(QStringLiteral("Plata"));
    auto *payment = new QFormLayout(m_paymentPanel);
    auto *term = new QHBoxLayout;
    term->addWidget(m_termDays);
    term->addWidget(new QLabel(QStringLiteral("zile, scadent la")));
    term->addWidget(m_dueDate);
    payment->addRow(QStringLiteral("In termen de :"), term);
    payment->addRow(QStringLiteral("Se achita cu"), m_payment);
    payment->addRow(QStringLiteral("Banca"), m_bank);

    m_delegatePanel = new QGroupBox(QStringLiteral("Delegat"));
    auto *delegate = new QFormLayout(m_delegatePanel);
    for (const char *caption :
         {"Delegat", "DelegatCNP", "SeriaCI", "NrCI", "Sectia", "Transport", "Auto"}) {
        auto *e = new QLineEdit;
        m_delegate.insert(QString::fromLatin1(caption), e);
        delegate->addRow(QString::fromLatin1(caption), e);
    }
    delegate->addRow(QStringLiteral("Data expeditiei"), m_dispatchDate);
    auto *delegates = new DbGrid(dm.delegati, m_ctx.prompter,
                                 {{QStringLiteral("Nume"), QStringLiteral("Nume")},
                                  {QStringLiteral("Prenume"), QStringLiteral("Prenume")},
                                  {QStringLiteral("CNP"), QStringLiteral("CNP")}});
    delegates->setMaximumHeight(100);
    delegate->addRow(delegates);
    connect(delegates, &DbGrid::rowDoubleClicked, this,
            [this] { delegateChosen(m_ctx.dm.delegati); });

    auto *extra = new QGroupBox(QStringLiteral("Alte date"));
    auto *extraForm = new QFormLayout(extra);
    extraForm->addRow(QStringLiteral("Greutate/Volum"), m_weight);
    extraForm->addRow(QString(), m_volume);
    extraForm->addRow(QStringLiteral("Licenta export:"), m_licence);
    extraForm->addRow(QStringLiteral("Termeni livrare"), m_deliveryTerms);
    auto *contract = new QGroupBox(QStringLiteral("Contract"));
    auto *contractForm = new QFormLayout(contract);
    for (const char *caption : {"Total contract", "Val Contract", "Facturat", "Incasat"}) {
        QLineEdit *box = readOnlyBox();
        m_contractBoxes.insert(QString::fromLatin1(caption), box);
        contractForm->addRow(QString::fromLatin1(caption), box);
    }

    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addLayout(main);
    left->addWidget(m_paymentPanel);
    auto *right = new QVBoxLayout;
    right->addWidget(m_delegatePanel);
    right->addWidget(extra);
    right->addWidget(contract);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(columns, 1);
    auto *nav = new QHBoxLayout;
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(m_btHeaderNext);
    layout->addLayout(nav);

    connect(back, &QPushButton::clicked, this, [this] { chooseStep(ClientStep); });
    connect(m_btHeaderNext, &QPushButton::clicked, this, &TfrmFactNoua::BitBtn3Click);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &TfrmFactNoua::tipavizfacturaChange);
    connect(m_mention, &QComboBox::activated, this, &TfrmFactNoua::cbMentChange);
    connect(m_currency, &QComboBox::currentIndexChanged, this, &TfrmFactNoua::wwMOnedaChange);
    connect(m_termDays, &QSpinBox::valueChanged, this, &TfrmFactNoua::edTermenPlataChange);
    connect(m_date, &QDateEdit::dateChanged, this, [this](QDate d) {
        m_dispatchDate->setDate(d);
        edTermenPlataChange();
    });
    connect(m_contract, &QComboBox::activated, this, &TfrmFactNoua::EdContractChange);
    return page;
}

void TfrmFactNoua::TabSheetAntetShow()
{
    Tdm &dm = m_ctx.dm;
    TdmRC &rc = m_ctx.rc;
    const qint64 client = m_workspace->clientId();
    const qint64 company = dm.companyId();
    runShowingErrors(&m_ctx.prompter, [&] {
        dm.delegateOwnerId = client;
        dm.delegati.close();
        dm.delegati.setParams({client, company});
        dm.delegati.open();
        m_dispatchDate->setDate(m_date->date());

        m_clientContracts = std::make_unique<Dataset>(
            dm.cnc(), QStringLiteral("select * from Contracte\r\nwhere id_cump=:idc and "
                                     "id_firma=:idf and stare=1\r\norder by data desc"));
        m_clientContracts->setParams({client, company});
        QList<PickItem> contracts{{QString(), -1}};
        contracts += fillPickListDated(*m_clientContracts, QStringLiteral("Nr"),
                                       QStringLiteral("id"), QStringLiteral("Data"));
        m_contract->setItems(contracts);

        const QString chosenPayment = m_payment->currentText();
        m_payment->clear();
        Dataset methods(dm.cnc(), QStringLiteral("Select  * from Metodedeplata"));
        methods.open();
        for (methods.first(); !methods.eof(); methods.next())
            m_payment->addItem(methods.asString(QStringLiteral("Denumire")),
                               methods.value(QStringLiteral("Valoare")));
        m_payment->setCurrentIndex(std::max(0, m_payment->findText(chosenPayment)));

        rc.adoConturi.close();
        rc.adoConturi.setParam(0, client);
        rc.adoConturi.open();
        QList<PickItem> banks{{QString(), -1}};
        for (rc.adoConturi.first(); !rc.adoConturi.eof(); rc.adoConturi.next())
            banks << PickItem{rc.adoConturi.asString(QStringLiteral("Banca")) +
                                  QStringLiteral(" ") +
                                  rc.adoConturi.asString(QStringLiteral("Cont")),
                              rc.adoConturi.asInteger(QStringLiteral("ID"))};
        m_bank->setItems(banks);
    });
}

// The VAT mentions and the currencies are read once a window: going back to
// the header keeps what the user chose there.
void TfrmFactNoua::loadMentionsAndCurrencies()
{
    Tdm &dm = m_ctx.dm;
    runShowingErrors(&m_ctx.prompter, [&] {
        m_mention->setItems(fillPickList(dm.tblMentiuniFacturi, QStringLiteral("Mentiune"),
                                         QStringLiteral("ID"), m_ctx.prompter));
        m_currency->blockSignals(true);
        m_currency->clear();
        Dataset currencies(
            dm.cnc(),
            QStringLiteral("Select * from Monede\r\nOrder By BifaDefault desc, Ordine ASC"));
        currencies.open();
        for (currencies.first(); !currencies.eof(); currencies.next())
            m_currency->addItem(currencies.asString(QStringLiteral("CodIso")),
                                currencies.asInteger(QStringLiteral("Nrzecimale")));
        m_currency->setCurrentIndex(0);
        m_currency->blockSignals(false);
        wwMOnedaChange();
    });
}

void TfrmFactNoua::tipavizfacturaChange()
{
    const int kind = m_kind->currentIndex();
    m_ctx.dm.state().currentDocKind = kind;
    m_delegatePanel->setEnabled(kind != numbering::ConsumptionNote);
    m_paymentPanel->setEnabled(kind != numbering::ConsumptionNote);
    showSourceForKind();
}

void TfrmFactNoua::showSourceForKind()
{
    const int source = m_kind->currentIndex() == numbering::Invoice ? ServicesSource : StockSource;
    if (m_sources->currentIndex() == source && source == StockSource)
        showStockSource();
    else
        m_sources->setCurrentIndex(source);
}

// The stock sub-page: the warehouses of the work point, what each holds on
// the document's day, and the current product added with a quantity and a
// percent as a line taken from stock.
QWidget *TfrmFactNoua::buildStockSource()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_warehouses = std::make_unique<Dataset>(
        dm.cnc(), QStringLiteral("select * from SubcategoriiStocuri where id_categorie=:idc\r\n"));
    m_warehouseGrid = new DbGrid(*m_warehouses, m_ctx.prompter,
                                 {{QStringLiteral("Categorie"), QStringLiteral("Subcategorii")}});
    m_stock = new QTableWidget(0, 4);
    m_stock->setHorizontalHeaderLabels({QStringLiteral("Denumire"), QStringLiteral("UM"),
                                        QStringLiteral("Stoc"), QStringLiteral("StocValoric")});
    m_stock->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_stock->setSelectionMode(QAbstractItemView::SingleSelection);
    m_stock->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stock->verticalHeader()->hide();
    m_stock->horizontalHeader()->setStretchLastSection(true);
    m_stockQuantity = new QLineEdit(QStringLiteral("1"));
    m_stockQuantity->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9,.\\-]*")), m_stockQuantity));
    m_stockPercent = new QComboBox;
    m_stockPercent->addItems(stockissue::percentChoices());
    m_stockPercent->addItem(QString());
    m_stockPercent->setEditable(true);
    m_stockPercent->setCurrentText(QStringLiteral("0"));
    m_btAddFromStock = new QPushButton(QStringLiteral("Adauga produsul curent de pe stoc"));

    auto *stockColumn = new QVBoxLayout;
    stockColumn->addWidget(new QLabel(QStringLiteral("Stocul actual la data facturii")));
    stockColumn->addWidget(m_stock, 1);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_warehouseGrid, 1);
    lists->addLayout(stockColumn, 3);
    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("Cantitate")));
    entry->addWidget(m_stockQuantity);
    entry->addWidget(new QLabel(QStringLiteral("Discount/Adaos %")));
    entry->addWidget(m_stockPercent);
    entry->addStretch();
    entry->addWidget(m_btAddFromStock);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(lists, 1);
    layout->addLayout(entry);

    connect(m_warehouses.get(), &Dataset::currentChanged, this, [this] { refreshStock(); });
    connect(m_btAddFromStock, &QPushButton::clicked, this, &TfrmFactNoua::btAdaugaStocClick);
    connect(m_stock, &QTableWidget::cellDoubleClicked, this, &TfrmFactNoua::btAdaugaStocClick);
    return page;
}

void TfrmFactNoua::showStockSource()
{
    runShowingErrors(&m_ctx.prompter, [this] {
        m_warehouses->close();
        m_warehouses->setParams({m_ctx.dm.state().currentWorkPointId});
        m_warehouses->open();
    });
    refreshStock();
}

void TfrmFactNoua::refreshStock()
{
    const QString current = m_stock->currentRow() >= 0 && m_stock->item(m_stock->currentRow(), 0)
                                ? m_stock->item(m_stock->currentRow(), 0)->text()
                                : QString();
    m_stock->setRowCount(0);
    if (!m_warehouses->isOpen() || m_warehouses->isEmpty())
        return;
    runShowingErrors(&m_ctx.prompter, [&] {
        Tdm &dm = m_ctx.dm;
        const QList<stockissue::ProductInStock> products = stockissue::productsInStock(
            dm.cnc(), m_warehouses->asInteger(QStringLiteral("id")), dm.companyId(),
            dm.state().currentWorkPointId, m_date->date());
        const QLocale locale;
        m_stock->setRowCount(int(products.size()));
        for (int row = 0; row < products.size(); ++row) {
            const stockissue::ProductInStock &p = products[row];
            const auto cell = [](const QString &text, bool number) {
                auto *item = new QTableWidgetItem(text);
                if (number)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                return item;
            };
            m_stock->setItem(row, 0, cell(p.name, false));
            m_stock->setItem(row, 1, cell(p.unit, false));
            m_stock->setItem(row, 2, cell(locale.toString(p.stock, 'f', 2), true));
            m_stock->setItem(row, 3, cell(locale.toString(p.value.toDouble(), 'f', 2), true));
            if (p.name == current)
                m_stock->setCurrentCell(row, 0);
        }
        if (m_stock->currentRow() < 0 && m_stock->rowCount() > 0)
            m_stock->setCurrentCell(0, 0);
        m_stock->resizeColumnsToContents();
    });
}

void TfrmFactNoua::btAdaugaStocClick()
{
    // The services sub-page shows what was used last.
    m_discount->setCurrentText(m_stockPercent->currentText());
    m_quantity->setText(m_stockQuantity->text());
    const int row = m_stock->currentRow();
    const QString name = row >= 0 ? m_stock->item(row, 0)->text() : QString();
    const QString unit = row >= 0 ? m_stock->item(row, 1)->text() : QString();
    if (row < 0 && linecalc::parseAmount(m_stockQuantity->text()).value_or(Money()) > Money()) {
        m_ctx.prompter.information(
            QStringLiteral("Cantitatea de scazut este mai mare decat cea de pe stoc"));
        return;
    }
    if (row < 0) {
        m_ctx.prompter.information(QStringLiteral("Nu aveti produse "));
        return;
    }
    bool added = false;
    runShowingErrors(&m_ctx.prompter, [&] {
        added = m_workspace
                    ->addStockLine(m_warehouses->asInteger(QStringLiteral("id")), name, unit,
                                   m_stockQuantity->text(), m_stockPercent->currentText())
                    .has_value();
    });
    if (added)
        m_stockQuantity->setText(QStringLiteral("1"));
    updateNextButtons();
}

void TfrmFactNoua::cbMentChange()
{
    if (m_mention->currentIndex() > 1) {
        m_ctx.prompter.information(QStringLiteral("Doar modul cu si fara tva sunt implementate"));
        m_mention->setCurrentIndex(0);
    }
}

void TfrmFactNoua::wwMOnedaChange()
{
    m_rateLabel->setText(QStringLiteral("1 ") + m_currency->currentText() + QStringLiteral("="));
}

void TfrmFactNoua::edTermenPlataChange()
{
    m_dueDate->setDate(m_date->date().addDays(m_termDays->value()));
}

// A contract brings its currency and payment term, and a summary of what
// was invoiced and collected on it.
void TfrmFactNoua::EdContractChange()
{
    for (QLineEdit *box : std::as_const(m_contractBoxes))
        box->setText(QStringLiteral("0"));
    const std::optional<qint64> id = m_contract->currentObject();
    if (!id || *id < 0 || !m_clientContracts)
        return;
    try {
        Dataset &contracts = *m_clientContracts;
        if (!contracts.locate(QStringLiteral("id"), *id))
            return;
        const int currency =
            m_currency->findText(contracts.asString(QStringLiteral("MonedaFactura")));
        if (currency >= 0)
            m_currency->setCurrentIndex(currency);
        m_termDays->setValue(int(contracts.asInteger(QStringLiteral("Termenplata"))));
        Connection &c = m_ctx.dm.cnc();
        Dataset services(
            c, QStringLiteral(
                   "select sum(Total) as t, sum(Valoare) as v, max(MonedaContract) as m from "
                   "ServiciipeContract where id_contract=:id_c"));
        services.setParam(0, *id);
        services.open();
        const QString contractCurrency = services.asString(QStringLiteral("m"));
        m_contractBoxes.value(QStringLiteral("Total contract"))
            ->setText(services.asMoney(QStringLiteral("t")).toString(2) + contractCurrency);
        m_contractBoxes.value(QStringLiteral("Val Contract"))
            ->setText(services.asMoney(QStringLiteral("v")).toString(2) + contractCurrency);
        Dataset invoiced(
            c, QStringLiteral(
                   "select sum(p.TotalOut) as t, max(p.monedaOut) as m from ProdCumparate p "
                   "inner join Facturi f on f.id=p.id_fact where f.id_vanzator=:idv and "
                   "f.id_cump=:idc and f.id_nrcontract=:idnc"));
        invoiced.setParams({m_ctx.dm.companyId(), m_workspace->clientId(), *id});
        invoiced.open();
        m_contractBoxes.value(QStringLiteral("Facturat"))
            ->setText(invoiced.asMoney(QStringLiteral("t")).toString(2) + u' ' +
                      invoiced.asString(QStringLiteral("m")));
        Dataset collected(
            c, QStringLiteral(
                   "select sum(i.Suma) as s from Incasari i inner join Facturi f on f.id=i.id_fact "
                   "where f.id_vanzator=:idv and f.id_cump=:idc and f.id_nrcontract=:idnc"));
        collected.setParams({m_ctx.dm.companyId(), m_workspace->clientId(), *id});
        collected.open();
        m_contractBoxes.value(QStringLiteral("Incasat"))
            ->setText(collected.asMoney(QStringLiteral("s")).toString(2) + u' ' +
                      invoiced.asString(QStringLiteral("m")));
    } catch (const DbError &) {
        // The summary is a help only; what was computed stays shown.
    }
}

void TfrmFactNoua::delegateChosen(Dataset &delegates)
{
    if (!delegates.isOpen() || delegates.isEmpty())
        return;
    if (!m_ctx.prompter.confirm(
            QStringLiteral("Doriti sa selectati acest delegat pentru factura curenta?")))
        return;
    m_delegate.value(QStringLiteral("Delegat"))
        ->setText(delegates.asString(QStringLiteral("Nume")) + u' ' +
                  delegates.asString(QStringLiteral("Prenume")));
    m_delegate.value(QStringLiteral("DelegatCNP"))
        ->setText(delegates.asString(QStringLiteral("CNP")));
    m_delegate.value(QStringLiteral("SeriaCI"))
        ->setText(delegates.asString(QStringLiteral("SerieCI")));
    m_delegate.value(QStringLiteral("NrCI"))->setText(delegates.asString(QStringLiteral("NrCI")));
    m_delegate.value(QStringLiteral("Sectia"))
        ->setText(delegates.asString(QStringLiteral("Sectia")));
}

void TfrmFactNoua::BitBtn3Click()
{
    Tdm &dm = m_ctx.dm;
    DocumentWorkspace::Header h;
    h.kind = m_kind->currentIndex() < 0 ? 0 : m_kind->currentIndex();
    h.workPointId = dm.adoSeriiF.isEmpty() ? 0 : dm.adoSeriiF.asInteger(QStringLiteral("id"));
    h.date = m_date->date();
    h.payment = m_payment->currentText();
    h.currency = m_currency->currentText();
    h.currencyDecimals = m_currency->currentData().toInt();
    h.mentionId = m_mention->currentObject().value_or(0);
    h.mentionText = m_mention->currentText();
    const std::optional<qint64> contract = m_contract->currentObject();
    h.contractId = contract.value_or(-1);
    h.contractText = h.contractId > 0 ? m_contract->currentText() : QString();
    h.clientAccountId = m_bank->currentObject().value_or(-1);
    h.dueDate = m_dueDate->date();
    h.comment = m_comment->toPlainText();
    h.delegate = m_delegate.value(QStringLiteral("Delegat"))->text();
    h.delegateCnp = m_delegate.value(QStringLiteral("DelegatCNP"))->text();
    h.cardSeries = m_delegate.value(QStringLiteral("SeriaCI"))->text();
    h.cardNumber = m_delegate.value(QStringLiteral("NrCI"))->text();
    h.cardSection = m_delegate.value(QStringLiteral("Sectia"))->text();
    h.transport = m_delegate.value(QStringLiteral("Transport"))->text();
    h.vehicle = m_delegate.value(QStringLiteral("Auto"))->text();
    h.dispatchDate = m_dispatchDate->date();
    h.weight = m_weight->text();
    h.volume = m_volume->text();
    h.licence = m_licence->text();
    h.deliveryTerms = m_deliveryTerms->text();
    if (h.currency.isEmpty()) {
        m_ctx.prompter.information(QStringLiteral("Alegeti moneda documentului."));
        return;
    }
    if (!m_workspace->setHeader(h))
        return;
    chooseStep(LinesStep);
}

// Step 3: the lines.
QWidget *TfrmFactNoua::buildLinesStep()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_sources = new QTabWidget;

    auto *services = new QWidget;
    auto *categories = new DbGrid(dm.adocategorii, m_ctx.prompter,
                                  {{QStringLiteral("Categorie"), QStringLiteral("Categorie")}});
    auto *subcategories =
        new DbGrid(dm.adoSortim, m_ctx.prompter,
                   {{QStringLiteral("Categorie"), QStringLiteral("Subcategorie")}});
    m_products =
        new DbGrid(dm.adoProdSort, m_ctx.prompter,
                   {{QStringLiteral("DenPr"), QStringLiteral("Denumire")},
                    {QStringLiteral("UM"), QStringLiteral("UM")},
                    {QStringLiteral("Pret"), QStringLiteral("Pret"), FieldFormat::Money},
                    {QStringLiteral("cotaTVA"), QStringLiteral("TVA %"), FieldFormat::Money, 0},
                    {QStringLiteral("moneda"), QStringLiteral("Moneda")}});
    m_search = new QLineEdit;
    m_quantity = new QLineEdit(QStringLiteral("1"));
    m_discount = new QComboBox;
    m_discount->addItems(
        {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"),
         QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("0"),
         QStringLiteral("-1"), QStringLiteral("-5"), QStringLiteral("-10"), QStringLiteral("-15"),
         QStringLiteral("-20"), QStringLiteral("-50"), QStringLiteral("-100"), QString()});
    m_discount->setEditable(true);
    m_discount->setCurrentText(QStringLiteral("0"));
    m_btAdauga = new QPushButton(QStringLiteral("Adauga "));
    m_btDiscount = new QPushButton(QStringLiteral("Discount/Adaos- %"));
    m_btDiscount->setToolTip(
        QStringLiteral("Adauga o linie de discount (valoare negativa) sau adaos, in procente"));

    // Categories and sub-categories are added or renamed in place: the grid
    // is editable while its row is being edited.
    const auto withNavigator = [this](DbGrid *grid, Dataset &dataset, DbNavigator *&navigator) {
        navigator = new DbNavigator(dataset, m_ctx.prompter);
        navigator->setVisibleButtons(DbNavigator::Insert | DbNavigator::Edit | DbNavigator::Post |
                                     DbNavigator::Cancel);
        navigator->button(DbNavigator::Insert)
            ->setToolTip(QStringLiteral("Introducere sortiment nou"));
        navigator->button(DbNavigator::Post)->setToolTip(QStringLiteral("Salveaza"));
        navigator->button(DbNavigator::Edit)->setToolTip(QStringLiteral("Modifica in tabel"));
        connect(&dataset, &Dataset::stateChanged, grid,
                [grid, &dataset] { grid->setEditable(dataset.isEditing()); });
        auto *column = new QVBoxLayout;
        column->addWidget(navigator);
        column->addWidget(grid, 1);
        return column;
    };
    auto *tree = new QHBoxLayout;
    m_categoryGrid = categories;
    m_subcategoryGrid = subcategories;
    tree->addLayout(withNavigator(categories, dm.adocategorii, m_categoryNavigator), 1);
    tree->addLayout(withNavigator(subcategories, dm.adoSortim, m_subcategoryNavigator), 1);
    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("Cauta in lista")));
    entry->addWidget(m_search, 1);
    entry->addWidget(new QLabel(QStringLiteral("Cantitate")));
    entry->addWidget(m_quantity);
    entry->addWidget(new QLabel(QStringLiteral("Discount/Adaos %")));
    entry->addWidget(m_discount);
    entry->addWidget(m_btAdauga);
    entry->addWidget(m_btDiscount);
    m_productNavigator = new DbNavigator(dm.adoProdSort, m_ctx.prompter);
    m_productNavigator->setVisibleButtons(DbNavigator::Insert | DbNavigator::Edit |
                                          DbNavigator::Post | DbNavigator::Cancel);
    m_productNavigator->button(DbNavigator::Insert)
        ->setToolTip(QStringLiteral("Adauga produs in lista de servicii"));
    m_productNavigator->button(DbNavigator::Edit)->setToolTip(QStringLiteral("Modifica"));
    m_productNavigator->button(DbNavigator::Post)->setToolTip(QStringLiteral("Confirma"));
    // New products are typed straight into the list.
    connect(&dm.adoProdSort, &Dataset::stateChanged, this,
            [this] { m_products->setEditable(m_ctx.dm.adoProdSort.isEditing()); });
    auto *servicesLayout = new QVBoxLayout(services);
    servicesLayout->addLayout(tree);
    servicesLayout->addWidget(m_productNavigator);
    servicesLayout->addWidget(m_products, 2);
    servicesLayout->addLayout(entry);
    m_sources->addTab(services, QStringLiteral("Servicii"));
    m_sources->addTab(buildStockSource(), QStringLiteral("Stocuri"));
    connect(m_sources, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == StockSource)
            showStockSource();
    });

    m_lines = new DbGrid(dm.adoPrCump, m_ctx.prompter,
                         {{QStringLiteral("Denumire"), QStringLiteral("Denumire")},
                          {QStringLiteral("UM"), QStringLiteral("UM")},
                          {QStringLiteral("Cnt"), QStringLiteral("Cantitate")},
                          {QStringLiteral("PUOut"), QStringLiteral("Pret"), FieldFormat::Money},
                          {QStringLiteral("ValOut"), QStringLiteral("Valoare"), FieldFormat::Money},
                          {QStringLiteral("ValTVAOut"), QStringLiteral("TVA"), FieldFormat::Money},
                          {QStringLiteral("TotalOut"), QStringLiteral("Total"), FieldFormat::Money},
                          {QStringLiteral("monedaOut"), QStringLiteral("Moneda")},
                          {QStringLiteral("Adaos"), QStringLiteral("Disc./Adaos %")}});
    m_btRemoveLine = new QPushButton(QStringLiteral("-"));
    m_btRemoveLine->setToolTip(QStringLiteral("Sterge serviciul selectat"));
    m_btLinesNext = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_sources, 3);
    auto *linesBar = new QHBoxLayout;
    linesBar->addWidget(new QLabel(QStringLiteral("Produse/servicii pe document")));
    linesBar->addStretch();
    linesBar->addWidget(m_btRemoveLine);
    layout->addLayout(linesBar);
    layout->addWidget(m_lines, 2);
    auto *nav = new QHBoxLayout;
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(m_btLinesNext);
    layout->addLayout(nav);

    connect(back, &QPushButton::clicked, this, [this] { chooseStep(HeaderStep); });
    connect(m_btAdauga, &QPushButton::clicked, this, &TfrmFactNoua::btAdaugaClick);
    connect(m_products, &DbGrid::rowDoubleClicked, this, &TfrmFactNoua::btAdaugaClick);
    connect(m_btDiscount, &QPushButton::clicked, this, &TfrmFactNoua::Label22DblClick);
    connect(m_search, &QLineEdit::textEdited, this, &TfrmFactNoua::edCautaChange);
    connect(m_btRemoveLine, &QPushButton::clicked, this, [this] { removeSelectedLine(false); });
    connect(m_btLinesNext, &QPushButton::clicked, this, [this] {
        if (m_workspace->lineCount() == 0) {
            m_ctx.prompter.information(QStringLiteral("Nu ati adaugat nimic pe factura/aviz/bc."));
            return;
        }
        chooseStep(ValidationStep);
    });
    return page;
}

void TfrmFactNoua::edCautaChange(const QString &text)
{
    Dataset &products = m_ctx.dm.adoProdSort;
    if (!products.isOpen())
        return;
    if (text.isEmpty()) {
        products.setFiltered(false);
        return;
    }
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    runShowingErrors(&m_ctx.prompter, [&] {
        products.setFilter(QStringLiteral("denpr like '%") + quoted + QStringLiteral("%'"));
        products.setFiltered(true);
    });
}

void TfrmFactNoua::btAdaugaClick()
{
    Dataset &products = m_ctx.dm.adoProdSort;
    if (!products.isOpen() || products.isEmpty()) {
        m_ctx.prompter.information(QStringLiteral("Nu aveti produse "));
        return;
    }
    bool ok = false;
    const int discount = m_discount->currentText().trimmed().toInt(&ok);
    const qint64 product = products.asInteger(QStringLiteral("id"));
    runShowingErrors(&m_ctx.prompter, [&] {
        m_workspace->addProductLine(product, m_quantity->text(), ok ? discount : 0);
    });
    updateNextButtons();
}

void TfrmFactNoua::Label22DblClick()
{
    runShowingErrors(&m_ctx.prompter,
                     [&] { m_workspace->addGeneralLine(m_discount->currentText()); });
    updateNextButtons();
}

void TfrmFactNoua::removeSelectedLine(bool ask)
{
    Dataset &lines = m_ctx.dm.adoPrCump;
    if (!lines.isOpen() || lines.isEmpty())
        return;
    if (ask && !m_ctx.prompter.confirmOkCancel(QStringLiteral("Stergeti inregistrarea curenta?")))
        return;
    const qint64 line = lines.asInteger(QStringLiteral("id"));
    runShowingErrors(&m_ctx.prompter, [&] { m_workspace->removeLine(line); });
    updateNextButtons();
    if (m_steps->currentIndex() == ValidationStep)
        showTotals();
}

void TfrmFactNoua::updateNextButtons()
{
    m_btLinesNext->setEnabled(m_workspace->lineCount() > 0);
}

// The last step: the lines, their totals, validation and preview.
QWidget *TfrmFactNoua::buildValidationStep()
{
    auto *page = new QWidget;
    m_validationLines =
        new DbGrid(m_ctx.dm.adoPrCump, m_ctx.prompter,
                   {{QStringLiteral("Denumire"), QStringLiteral("Denumire")},
                    {QStringLiteral("UM"), QStringLiteral("UM")},
                    {QStringLiteral("Cnt"), QStringLiteral("Cantitate")},
                    {QStringLiteral("PUOut"), QStringLiteral("Pret"), FieldFormat::Money},
                    {QStringLiteral("ValOut"), QStringLiteral("Valoare"), FieldFormat::Money},
                    {QStringLiteral("ValTVAOut"), QStringLiteral("TVA"), FieldFormat::Money},
                    {QStringLiteral("TotalOut"), QStringLiteral("Total"), FieldFormat::Money}});
    auto *remove = new QPushButton(QStringLiteral("-"));
    remove->setToolTip(QStringLiteral("Sterge linia selectata"));
    auto *totals = new QFormLayout;
    for (const auto &[name, caption] : QList<QPair<QString, QString>>{
             {QStringLiteral("edValoareOut"), QStringLiteral("Valoare")},
             {QStringLiteral("edTVAOut"), QStringLiteral("TVA")},
             {QStringLiteral("edTotalOut"), QStringLiteral("Total")},
             {QStringLiteral("edTotalCNT"), QStringLiteral("Cantitate")},
             {QStringLiteral("edTotalValFaraDiscount"), QStringLiteral("Valoare fara discount")},
             {QStringLiteral("edTotalFaraDiscount"), QStringLiteral("Total fara discount")}}) {
        QLineEdit *box = readOnlyBox();
        box->setObjectName(name);
        m_totals.insert(name, box);
        totals->addRow(caption, box);
    }
    m_cbNrfact = new QCheckBox(QStringLiteral("Aloca nr automat factura "));
    m_cbNrfact->setChecked(true);
    m_btValidare = new QPushButton(QStringLiteral("Validare"));
    m_btPreview = new QPushButton(QStringLiteral("Previzualizare"));
    m_cbEmail = new QCheckBox(QStringLiteral("Trimite prin email dupa previzualizare"));
    m_btIncasare = new QPushButton(QStringLiteral("Incasare"));
    m_btIncasare->setVisible(false);
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));

    auto *side = new QVBoxLayout;
    side->addLayout(totals);
    side->addWidget(m_cbNrfact);
    side->addWidget(m_btValidare);
    side->addWidget(m_btPreview);
    side->addWidget(m_cbEmail);
    side->addWidget(m_btIncasare);
    side->addStretch();
    auto *top = new QHBoxLayout;
    auto *linesBox = new QVBoxLayout;
    linesBox->addWidget(m_validationLines, 1);
    auto *bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(remove);
    linesBox->addLayout(bar);
    top->addLayout(linesBox, 3);
    top->addLayout(side, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top, 1);
    auto *nav = new QHBoxLayout;
    nav->addWidget(back);
    nav->addStretch();
    layout->addLayout(nav);

    connect(back, &QPushButton::clicked, this, [this] { chooseStep(LinesStep); });
    connect(remove, &QPushButton::clicked, this, [this] { removeSelectedLine(false); });
    connect(m_btValidare, &QPushButton::clicked, this, &TfrmFactNoua::btValidareClick);
    connect(m_btPreview, &QPushButton::clicked, this, &TfrmFactNoua::BitBtn4Click);
    connect(m_btIncasare, &QPushButton::clicked, this, &TfrmFactNoua::btINcasareClick);
    return page;
}

void TfrmFactNoua::showTotals()
{
    linecalc::Totals t;
    try {
        t = m_workspace->totals();
    } catch (const std::exception &) {
        m_ctx.prompter.information(QStringLiteral("Eroare la Valoare act"));
        return;
    }
    const int n = t.decimals;
    m_totals.value(QStringLiteral("edValoareOut"))->setText(t.value.toString(n));
    m_totals.value(QStringLiteral("edTVAOut"))->setText(t.vat.toString(n));
    m_totals.value(QStringLiteral("edTotalOut"))->setText(t.total.toString(n));
    m_totals.value(QStringLiteral("edTotalCNT"))->setText(QString::number(t.quantity, 'f', 3));
    m_totals.value(QStringLiteral("edTotalValFaraDiscount"))
        ->setText(t.valueBeforeDiscount.toString(n));
    m_totals.value(QStringLiteral("edTotalFaraDiscount"))
        ->setText(t.totalBeforeDiscount.toString(n));
}

void TfrmFactNoua::btValidareClick()
{
    if (!m_workspace->docOpen())
        return;
    // Shown again only when this validation succeeds.
    m_btIncasare->setVisible(false);
    Tdm &dm = m_ctx.dm;
    WebFetcher *rates = m_ctx.rates;
    DocumentValidation validation(
        dm,
        [rates](const QString &currency) -> std::optional<Money> {
            if (!rates)
                return std::nullopt;
            const std::optional<RateQuote> quote = rates->fetchRate(currency);
            return quote ? std::optional<Money>(quote->rate) : std::nullopt;
        },
        [&dm](qint64 lineId, const QString &name, double quantity, int decimalsIn, int decimalsMM,
              qint64 workPointId) {
            stock::consumeStock(dm.cnc(), lineId, name, quantity, decimalsIn, decimalsMM,
                                workPointId, stock::valuationMethod(dm.cnc(), dm.companyId()));
        });
    DocumentValidation::Options options;
    options.silent = dm.state().silentMode;
    options.automaticNumber = m_cbNrfact->isChecked();
    const DocumentValidation::Outcome outcome =
        validation.validate(m_workspace->documentId(), options);
    runShowingErrors(&m_ctx.prompter, [&] {
        dm.adoNrFAct.requeryKeepingPosition();
        if (dm.adoPrCump.isOpen())
            dm.adoPrCump.requeryKeepingPosition();
    });
    showTotals();
    if (outcome != DocumentValidation::Outcome::Validated)
        return;
    const DocumentWorkspace::Header &h = m_workspace->header();
    m_btIncasare->setVisible(h.date == QDate::currentDate() && h.kind == numbering::Invoice &&
                             h.payment.contains(QStringLiteral("Chitanta")));
}

// The document through its template: "Factura" (headed INVOICE for euro and
// dollar invoices), "Aviz" or "BC", with the company's and the client's
// bank accounts.
void TfrmFactNoua::BitBtn4Click()
{
    if (!m_workspace->docOpen())
        return;
    Tdm &dm = m_ctx.dm;
    AppState &state = dm.state();
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &doc = dm.adoNrFAct;
        if (!doc.isOpen() || doc.isEmpty())
            return;
        const int kind = m_workspace->header().kind;
        state.previewDocKind = numbering::kindText(kind);
        state.previewDocNumber = doc.asString(QStringLiteral("Nf"));
        state.previewDocDate = doc.asDate(QStringLiteral("Data"));
        state.sendAfterPreview = m_cbEmail->isChecked();
        m_ctx.rc.adoconturiFurnizor.close();
        m_ctx.rc.adoconturiFurnizor.setParam(0, dm.companyId());
        m_ctx.rc.adoconturiFurnizor.open();
        m_ctx.rc.adoConturi.close();
        m_ctx.rc.adoConturi.setParam(0, doc.asInteger(QStringLiteral("id_cump")));
        m_ctx.rc.adoConturi.open();
        if (dm.adoClienti.isOpen() &&
            !dm.adoClienti.locate(QStringLiteral("id"), doc.asInteger(QStringLiteral("id_cump")))) {
            searchClients(dm.adoClienti, QStringLiteral("id"), false, SearchOperator::Equals, false,
                          doc.asInteger(QStringLiteral("id_cump")), dm.companyId());
        }
        m_ctx.reports.restoreBindings();
        if (kind == numbering::DeliveryNote) {
            m_ctx.reports.printTemplate(dm.companyId(), QStringLiteral("Aviz"));
        } else if (kind == numbering::ConsumptionNote) {
            m_ctx.reports.printTemplate(dm.companyId(), QStringLiteral("BC"));
        } else {
            const QString currency = doc.asString(QStringLiteral("MonedaFacturii"));
            const bool foreign = currency.contains(QStringLiteral("EUR")) ||
                                 currency.contains(QStringLiteral("USD"));
            m_ctx.reports.printTemplate(
                dm.companyId(), QStringLiteral("Factura"), QStringLiteral("titlul"),
                foreign ? QStringLiteral("INVOICE") : QStringLiteral("FACTURA"));
        }
    });
}

void TfrmFactNoua::btINcasareClick()
{
    m_ctx.dm.state().openedFromInvoice = true;
    const qint64 invoice = m_workspace->documentId();
    const qint64 client = m_workspace->clientId();
    const bool isInvoice = m_workspace->header().kind == numbering::Invoice;
    m_workspace->startNewDocument();
    m_btIncasare->setVisible(false);
    if (!isInvoice) {
        if (m_ctx.prompter.confirm(QStringLiteral("Iesiti din acest panou?")))
            close();
        return;
    }
    if (!m_ctx.prompter.confirm(QStringLiteral(
            "Doriti sa intrati in fereastra de INCASARI pentru achitarea facturii?"))) {
        close();
        return;
    }
    if (m_ctx.frame)
        m_ctx.frame->openCollectionOfInvoice(invoice, client, m_edNume->text(),
                                             m_workspace->header().payment);
}

void TfrmFactNoua::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_firstShow) {
        m_firstShow = false;
        if (m_entry == Entry::Issue)
            FormShow();
        else if (m_ctx.frame)
            m_ctx.frame->toolbar()->setEnabled(false);
    }
}

void TfrmFactNoua::FormShow()
{
    if (m_ctx.frame)
        m_ctx.frame->toolbar()->setEnabled(false);
    m_workspace->startNewDocument();
    m_edNume->clear();
    m_edCui->clear();
    m_date->setDate(QDate::currentDate());
    loadMentionsAndCurrencies();
    chooseStep(ClientStep);
    runShowingErrors(&m_ctx.prompter, [&] {
        openCompanyTable(m_ctx.dm.adoClienti, QStringLiteral("Clienti"),
                         QStringLiteral(" and client=true  order by NumeFirma"),
                         m_ctx.dm.companyId());
    });
    m_edNume->setFocus();
}

void TfrmFactNoua::closeEvent(QCloseEvent *event)
{
    if (m_ctx.frame)
        m_ctx.frame->toolbar()->setEnabled(true);
    QWidget::closeEvent(event);
}
