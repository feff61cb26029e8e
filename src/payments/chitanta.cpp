#include "chitanta.h"

#include "collections.h"
#include "core/amountwords.h"
#include "core/appstate.h"
#include "core/monedaplata.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "fiscal/bonfiscal.h"
#include "frame/mainwindow.h"
#include "reports/reportengine.h"
#include "sales/linecalc.h"
#include "settings/webfetcher.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"
#include "widgets/fieldlink.h"
#include "widgets/moneyedit.h"
#include "widgets/picklistcombo.h"
#include "widgets/windowparts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

enum Page
{
    ClientPage = 0,
    EntryPage = 1,
    ListPage = 2
};

} // namespace

TfrmChitanta::TfrmChitanta(const WindowContext &context, Entry entry, QWidget *parent)
    : QWidget(parent), m_ctx(context), m_entry(entry)
{
    setWindowTitle(QStringLiteral("Incasare noua"));
    m_pages = new QTabWidget;
    m_pages->addTab(buildClientPage(), QStringLiteral("Selectati clientul"));
    m_pages->addTab(buildEntryPage(), QStringLiteral("Adaugare incasare"));
    m_pages->addTab(buildListPage(), QStringLiteral("Nomenclator incasari efectuate"));
    m_pages->setTabVisible(ListPage, entry == Entry::Browse);
    m_pages->setTabVisible(EntryPage, entry != Entry::Browse);
    m_next->setVisible(entry != Entry::Browse);
    layOutPagesWithExit(this, m_pages);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == ClientPage)
            clientPageShow();
        else if (page == EntryPage)
            entryPageShow();
        else if (page == ListPage)
            listPageShow();
    });
    m_add->setEnabled(false);
    m_preview->setEnabled(false);
    resize(1000, 700);
}

TfrmChitanta::~TfrmChitanta() = default;

void TfrmChitanta::setInvoiceToCollect(qint64 invoiceId)
{
    m_invoiceToCollect = invoiceId;
}

void TfrmChitanta::startFromInvoice(const QString &clientSearch, qint64 clientId,
                                    const QString &invoiceMethod)
{
    m_search->setText(clientSearch);
    m_invoiceMethod = invoiceMethod;
    runShowingErrors(&m_ctx.prompter, [&] {
        searchClients(m_ctx.dm.adoClienti, QStringLiteral("id"), false, SearchOperator::Equals,
                      false, clientId, m_ctx.dm.companyId());
    });
}

QWidget *TfrmChitanta::buildClientPage()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_search = new QLineEdit;
    m_onlyClients = new QCheckBox(
        QStringLiteral("Nu cauta in toata baza ci doar in firmele adaugate ca si client"));
    m_onlyClients->setChecked(true);
    m_clients = new DbGrid(
        dm.adoClienti, m_ctx.prompter,
        {{QStringLiteral("NumeFirma"), QStringLiteral("Denumire")},
         {QStringLiteral("CUI"), QStringLiteral("CUI")},
         {QStringLiteral("RegCom"), QStringLiteral("Reg. Com.")},
         {QStringLiteral("Sold"), QStringLiteral("Sold"), FieldFormat::Money},
         {QStringLiteral("Judet"), QStringLiteral("Judet")},
         {QStringLiteral("Localitate"), QStringLiteral("Localitate")},
         {QStringLiteral("Aplatitpanape"), QStringLiteral("Platit pana pe"), FieldFormat::Date},
         {QStringLiteral("CapitalSoc"), QStringLiteral("Capital social")},
         {QStringLiteral("Program"), QStringLiteral("Program")},
         {QStringLiteral("AdrsPctLucru"), QStringLiteral("Adresa punct de lucru")}});
    m_workPoints =
        new DbGrid(dm.adoSeriiF, m_ctx.prompter,
                   {{QStringLiteral("AbrevierePunctLucru"), QStringLiteral("Abreviere")},
                    {QStringLiteral("AdresaPunctLucru"), QStringLiteral("Adresa")},
                    {QStringLiteral("DenumirePunctLucru"), QStringLiteral("Punct de lucru")}});
    m_workPoints->setMaximumHeight(100);
    auto *nav = new DbNavigator(dm.adoSeriiF, m_ctx.prompter);
    nav->setVisibleButtons(DbNavigator::Prior | DbNavigator::Next);
    m_next = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *layout = new QVBoxLayout(page);
    auto *search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Cauta client")));
    search->addWidget(m_search, 1);
    layout->addLayout(search);
    layout->addWidget(m_onlyClients);
    layout->addWidget(m_clients, 1);
    auto *points = new QHBoxLayout;
    points->addWidget(m_workPoints, 1);
    points->addWidget(nav);
    layout->addLayout(points);
    auto *bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(m_next);
    layout->addLayout(bar);
    connect(m_search, &QLineEdit::textEdited, this, &TfrmChitanta::search);
    m_search->installEventFilter(this);
    connect(m_next, &QPushButton::clicked, this, &TfrmChitanta::btPasUrmatorClick);
    connect(m_clients, &DbGrid::rowDoubleClicked, this, &TfrmChitanta::btPasUrmatorClick);
    return page;
}

void TfrmChitanta::search()
{
    runShowingErrors(&m_ctx.prompter, [this] {
        searchClients(m_ctx.dm.adoClienti, QStringLiteral("NumeFirma"), m_onlyClients->isChecked(),
                      SearchOperator::Contains, false, m_search->text(), m_ctx.dm.companyId());
    });
}

void TfrmChitanta::chooseClientPage()
{
    m_pages->setCurrentIndex(ClientPage);
}

void TfrmChitanta::clientPageShow()
{
    m_ctx.dm.state().loadClientDocuments = false;
    m_search->setFocus();
}

bool TfrmChitanta::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::MouseButtonDblClick)
        search();
    return QWidget::eventFilter(watched, event);
}

void TfrmChitanta::btPasUrmatorClick()
{
    if (!m_ctx.dm.adoClienti.isOpen() || m_ctx.dm.adoClienti.isEmpty()) {
        m_ctx.prompter.information(QStringLiteral("Nu ati ales nici un client"));
        return;
    }
    m_amount->clear();
    m_words->clear();
    m_comment->clear();
    m_preview->setEnabled(false);
    m_pages->setCurrentIndex(m_entry == Entry::Browse ? ListPage : EntryPage);
}

QWidget *TfrmChitanta::buildEntryPage()
{
    auto *page = new QWidget;
    m_invoices = new PickListCombo;
    m_method = new QComboBox;
    m_number = new QLineEdit;
    m_series = new QLineEdit;
    m_date = new QDateEdit(QDate::currentDate());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_currency = new QComboBox;
    m_rate = new MoneyEdit;
    m_rate->setPrompter(m_ctx.prompter);
    m_rate->setText(QStringLiteral("1"));
    m_bank = new QComboBox;
    m_bankLabel = new QLabel(QStringLiteral("Prin banca"));
    m_amount = new MoneyEdit;
    m_amount->setPrompter(m_ctx.prompter);
    m_words = new QLineEdit;
    m_words->setReadOnly(true);
    m_reprezentand = new QLineEdit;
    m_comment = new QLineEdit;
    m_add = new QPushButton(QStringLiteral("Adauga"));
    m_preview = new QPushButton(QStringLiteral("Previzualizare"));
    m_email = new QCheckBox(QStringLiteral("Trimite prin email dupa previzualizare"));
    m_fiscal = new QPushButton(QStringLiteral("Printeaza Bon Fiscal"));
    m_fiscal->setToolTip(QStringLiteral("Emite Bon Fiscal"));
    m_workPointInfo = new QLabel;
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Factura"), m_invoices);
    form->addRow(QStringLiteral("Tip incasare"), m_method);
    form->addRow(QStringLiteral("Numar"), m_number);
    form->addRow(QStringLiteral("Seria"), m_series);
    form->addRow(QStringLiteral("Data"), m_date);
    form->addRow(QStringLiteral("Moneda"), m_currency);
    form->addRow(QStringLiteral("Curs"), m_rate);
    form->addRow(m_bankLabel, m_bank);
    form->addRow(QStringLiteral("Suma"), m_amount);
    form->addRow(QStringLiteral("Suma in litere"), m_words);
    form->addRow(QStringLiteral("Reprezentand"), m_reprezentand);
    form->addRow(QStringLiteral("Comentariu"), m_comment);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_preview);
    buttons->addWidget(m_email);
    buttons->addStretch();
    buttons->addWidget(m_fiscal);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_workPointInfo);
    layout->addStretch();
    connect(m_method, &QComboBox::currentIndexChanged, this, &TfrmChitanta::methodChanged);
    connect(m_currency, &QComboBox::currentIndexChanged, this, &TfrmChitanta::currencyChanged);
    connect(m_amount, &QLineEdit::textChanged, this, &TfrmChitanta::amountChanged);
    connect(m_invoices, &QComboBox::currentIndexChanged, this, &TfrmChitanta::invoiceChanged);
    connect(m_add, &QPushButton::clicked, this, &TfrmChitanta::btAdaugaClick);
    connect(m_preview, &QPushButton::clicked, this, &TfrmChitanta::btPrevizualizareClick);
    connect(m_fiscal, &QPushButton::clicked, this, &TfrmChitanta::btBonFiscalClick);
    return page;
}

void TfrmChitanta::entryPageShow()
{
    Tdm &dm = m_ctx.dm;
    if (!dm.adoClienti.isOpen() || dm.adoClienti.isEmpty()) {
        m_ctx.prompter.information(
            QStringLiteral("Nu ati selectat clientul.Panoul de incasari este inactiv"));
        m_pages->setCurrentIndex(ClientPage);
        return;
    }
    runShowingErrors(&m_ctx.prompter, [&] {
        m_currency->blockSignals(true);
        m_currency->clear();
        Dataset currencies(
            dm.cnc(),
            QStringLiteral("  Select * from Monede   Order By BifaDefault desc, Ordine ASC "));
        currencies.open();
        for (currencies.first(); !currencies.eof(); currencies.next())
            m_currency->addItem(currencies.asString(QStringLiteral("CodIso")),
                                currencies.asInteger(QStringLiteral("Nrzecimale")));
        m_currency->blockSignals(false);
        m_method->blockSignals(true);
        m_method->clear();
        Dataset methods(dm.cnc(), QStringLiteral("Select  * from Metodedeplata"));
        methods.open();
        for (methods.first(); !methods.eof(); methods.next())
            m_method->addItem(methods.asString(QStringLiteral("Denumire")));
        m_method->blockSignals(false);
        m_bank->clear();
        Dataset banks(dm.cnc(), QStringLiteral("Select  * from Conturi Where\r\nid_firma=:idf"));
        banks.setParam(0, dm.companyId());
        banks.open();
        for (banks.first(); !banks.eof(); banks.next())
            m_bank->addItem(banks.asString(QStringLiteral("Banca")));

        const qint64 client = dm.adoClienti.asInteger(QStringLiteral("id"));
        const QList<collections::UnpaidInvoice> unpaid =
            collections::unpaidInvoices(dm, client, m_invoiceToCollect);
        QList<PickItem> items;
        for (const collections::UnpaidInvoice &u : unpaid)
            items << PickItem{u.text, u.id};
        m_invoices->blockSignals(true);
        m_invoices->setItems(items);
        m_invoices->blockSignals(false);
        m_currency->setCurrentIndex(0);
        m_method->setCurrentIndex(0);
        if (unpaid.isEmpty()) {
            m_reprezentand->clear();
            m_amount->setText(QStringLiteral("0"));
            m_comment->clear();
        } else {
            Dataset first(dm.cnc(), QStringLiteral("select * from Facturi where id=:id"));
            first.setParam(0, unpaid.first().id);
            first.open();
            const QString invoiceMethod = m_invoiceMethod.isEmpty()
                                              ? first.asString(QStringLiteral("ModPlata"))
                                              : m_invoiceMethod;
            for (const char *kind : {"Chitanta", "Bon de casa"}) {
                if (!invoiceMethod.contains(QLatin1String(kind)))
                    continue;
                for (int i = m_method->count() - 1; i >= 0; --i) {
                    if (m_method->itemText(i).contains(QLatin1String(kind))) {
                        m_method->setCurrentIndex(i);
                        break;
                    }
                }
            }
            const int currency =
                m_currency->findText(first.asString(QStringLiteral("MonedaFacturii")));
            if (currency >= 0)
                m_currency->setCurrentIndex(currency);
            m_reprezentand->setText(
                QStringLiteral("Contravaloarea facturii ") + first.asString(QStringLiteral("Nf")) +
                u'/' + first.asDate(QStringLiteral("Data")).toString(QStringLiteral("dd.MM.yyyy")));
            invoiceChanged();
        }
        methodChanged();
        currencyChanged();
        m_date->setDate(QDate::currentDate());
        const Dataset &point = dm.adoSeriiF;
        if (point.isOpen() && !point.isEmpty())
            m_workPointInfo->setText(
                point.asString(QStringLiteral("AbrevierePunctLucru")) + QStringLiteral(" - ") +
                point.asString(QStringLiteral("AdresaPunctLucru")) + QStringLiteral(" - ") +
                point.asString(QStringLiteral("DenumirePunctLucru")) +
                QStringLiteral("   Cale pt BON FISCAL ") +
                point.asString(QStringLiteral("CaleFPRINT")));
    });
}

// The number and series are only proposed: when the counters cannot be read
// the boxes keep what they hold and the user fills them in.
void TfrmChitanta::methodChanged()
{
    const collections::Method method = collections::classify(m_method->currentText());
    collections::Numbering n;
    try {
        n = collections::proposedNumber(m_ctx.dm, m_method->currentText(),
                                        m_ctx.dm.state().currentWorkPointId);
    } catch (const std::exception &) { // DbError among them
        return;
    }
    m_bank->setCurrentIndex(-1);
    m_series->setText(QStringLiteral(" "));
    m_bank->setVisible(method.bank);
    m_bankLabel->setVisible(method.bank);
    if (method.receipt || method.disposition) {
        m_number->setText(QString::number(n.number));
        m_series->setText(n.series);
    } else {
        m_number->setText(QStringLiteral("0"));
    }
}

// Like the number, the rate is only proposed: when it cannot be read the
// rate box stays as it was.
void TfrmChitanta::currencyChanged()
{
    const QString code = m_currency->currentText();
    bool foreign = false;
    QString rate = QStringLiteral("1");
    try {
        foreign = !code.contains(defaultCurrency(m_ctx.dm.cnc()).code);
        if (foreign && m_ctx.rates) {
            if (const std::optional<RateQuote> quote = m_ctx.rates->fetchRate(code.left(3)))
                rate = quote->rate.toString(4).replace(u'.', u',');
        }
    } catch (const std::exception &) { // DbError among them
        return;
    }
    m_rate->setText(rate);
    m_rate->setVisible(foreign);
    amountChanged();
}

void TfrmChitanta::amountChanged()
{
    const QString text = m_amount->text().trimmed();
    if (text.isEmpty() || text == QLatin1String("0")) {
        m_add->setEnabled(false);
        return;
    }
    const std::optional<Money> value = m_amount->value();
    if (!value) {
        m_add->setEnabled(false);
        m_preview->setEnabled(false);
        return;
    }
    // Words exist only for some currencies; for the others the box is empty.
    m_words->setText(
        ::amountInWords(value->abs(), m_currency->currentText().left(3)).value_or(QString()));
    m_add->setEnabled(true);
}

void TfrmChitanta::invoiceChanged()
{
    const std::optional<qint64> id = m_invoices->currentObject();
    if (!id)
        return;
    runShowingErrors(&m_ctx.prompter, [&] {
        for (const collections::UnpaidInvoice &u : collections::unpaidInvoices(m_ctx.dm, 0, *id)) {
            QString due = u.due().toString(2);
            due.replace(u'.', u',');
            m_amount->setText(due);
        }
    });
}

void TfrmChitanta::btAdaugaClick()
{
    Tdm &dm = m_ctx.dm;
    collections::Collection c;
    c.invoiceId = m_invoices->currentObject().value_or(0);
    c.clientId = dm.adoClienti.asInteger(QStringLiteral("id"));
    c.date = m_date->date();
    c.method = m_method->currentText();
    c.amount = m_amount->value().value_or(Money());
    c.amountInWords = m_words->text();
    c.reprezentand = m_reprezentand->text();
    c.numberText = m_number->text();
    c.series = m_series->text();
    c.comment = m_comment->text();
    c.currency = TMonedaPlata{m_currency->currentText().left(3), m_currency->currentData().toInt()};
    c.rate = linecalc::parseAmount(m_rate->text()).value_or(Money());
    c.bank = m_bank->isVisible() ? m_bank->currentText() : QStringLiteral(" ");
    c.workPointId = dm.state().currentWorkPointId;
    std::optional<collections::Added> added;
    if (!runShowingErrors(&m_ctx.prompter,
                          [&] {
                              c.categoryId =
                                  collections::cashLineCategory(m_ctx.rc, dm.companyId());
                              added = collections::addCollection(dm, c);
                          }) ||
        !added)
        return;
    if (added->remaining) {
        QString rest = added->remaining->toString(2);
        rest.replace(u'.', u',');
        m_comment->setText(QStringLiteral("Rest de plata:") + rest);
    }
    m_ctx.prompter.information(QStringLiteral("Incasare introdusa."));
    m_add->setEnabled(false);
    m_preview->setEnabled(true);
    m_amount->setText(QStringLiteral("0"));
    m_words->clear();
    m_reprezentand->clear();
    if (!added->remaining)
        m_comment->clear();
    runShowingErrors(&m_ctx.prompter, [&] {
        reopenCollections(QStringLiteral("Select * from Incasari  Where moneda=:pm and "
                                         "id_cumparator=:idc  and id_firma=:idf and "
                                         "id_punctlucru=:idp order by data desc"),
                          {c.currency.code, c.clientId, dm.companyId(), c.workPointId});
        dm.adoIncasari.locate(QStringLiteral("id"), added->id);
        QList<PickItem> items;
        for (const collections::UnpaidInvoice &u :
             collections::unpaidInvoices(dm, c.clientId, m_invoiceToCollect))
            items << PickItem{u.text, u.id};
        m_invoices->blockSignals(true);
        m_invoices->setItems(items);
        m_invoices->blockSignals(false);
        methodChanged();
    });
}

void TfrmChitanta::reopenCollections(const QString &sql, const QVariantList &params)
{
    Dataset &view = m_ctx.dm.adoIncasari;
    view.close();
    view.setFiltered(false);
    view.setSql(sql);
    view.setParams(params);
    view.open();
}

// The receipt or disposition through its template; coming from an invoice,
// the invoice together with its own receipt.
void TfrmChitanta::btPrevizualizareClick()
{
    Tdm &dm = m_ctx.dm;
    AppState &state = dm.state();
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &view = dm.adoIncasari;
        if (!view.isOpen() || view.isEmpty())
            return;
        const qint64 id = view.asInteger(QStringLiteral("id"));
        state.previewDocKind = view.asString(QStringLiteral("ModPlata"));
        state.previewDocNumber = view.asString(QStringLiteral("NrChit"));
        state.previewDocDate = view.asDate(QStringLiteral("Data"));
        state.sendAfterPreview = m_email->isChecked();
        const QString method = view.asString(QStringLiteral("ModPlata"));
        const qint64 invoice = view.asInteger(QStringLiteral("id_fact"));
        reopenCollections(QStringLiteral("Select * from Incasari Where id=:id"), {id});
        m_ctx.reports.restoreBindings();
        if (m_entry == Entry::FromInvoice && invoice > 0) {
            // The invoice and this receipt of it, never another one.
            Tdm::openPartnerDocument(dm.adoNrFAct, view.asInteger(QStringLiteral("id_cumparator")),
                                     dm.companyId(), 0, invoice);
            m_ctx.rc.adoconturiFurnizor.close();
            m_ctx.rc.adoconturiFurnizor.setParam(0, dm.companyId());
            m_ctx.rc.adoconturiFurnizor.open();
            m_ctx.reports.printTemplate(dm.companyId(), QStringLiteral("FacturasiChit"),
                                        QStringLiteral("titlul"), QStringLiteral("FACTURA"));
        } else if (method.contains(QStringLiteral("Chita"))) {
            m_ctx.reports.printTemplate(dm.companyId(), QStringLiteral("Chitanta"));
        } else if (method.contains(QStringLiteral("Dispozi"))) {
            m_ctx.reports.printTemplate(dm.companyId(), QStringLiteral("Dispozitie"));
        }
    });
}

void TfrmChitanta::btBonFiscalClick()
{
    Tdm &dm = m_ctx.dm;
    const qint64 invoice =
        m_invoiceToCollect > 0 ? m_invoiceToCollect : m_invoices->currentObject().value_or(0);
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &lines = dm.adoPrCump;
        lines.close();
        lines.setFiltered(false);
        lines.setParam(0, invoice);
        lines.open();
        TfrmBonFiscal dialog(dm, lines, m_ctx.prompter, this);
        dialog.exec();
    });
}

QWidget *TfrmChitanta::buildListPage()
{
    auto *page = new QWidget;
    m_view = new QComboBox;
    m_view->addItems(
        {QStringLiteral("Incasarile clientului curent"), QStringLiteral("Toate incasarile")});
    m_collections =
        new DbGrid(m_ctx.dm.adoIncasari, m_ctx.prompter,
                   {{QStringLiteral("Anulata"), QStringLiteral("Anulata"), FieldFormat::Boolean},
                    {QStringLiteral("NrChit"), QStringLiteral("Nr")},
                    {QStringLiteral("Seria"), QStringLiteral("Seria")},
                    {QStringLiteral("Data"), QStringLiteral("Data")},
                    {QStringLiteral("Suma"), QStringLiteral("Suma"), FieldFormat::Money},
                    {QStringLiteral("ModPlata"), QStringLiteral("Mod plata")},
                    {QStringLiteral("Reprezentand"), QStringLiteral("Reprezentand")},
                    {QStringLiteral("Comentariu"), QStringLiteral("Comentariu")},
                    {QStringLiteral("moneda"), QStringLiteral("Moneda")},
                    {QStringLiteral("Operator"), QStringLiteral("Operator")}});
    auto *cancel = new QPushButton(QStringLiteral("Anuleaza incasarea"));
    auto *remove = new QPushButton(QStringLiteral("-"));
    remove->setToolTip(QStringLiteral("Sterge incasarea"));
    auto *preview = new QPushButton(QStringLiteral("Previzualizare"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_view);
    layout->addWidget(m_collections, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(preview);
    bar->addStretch();
    bar->addWidget(cancel);
    bar->addWidget(remove);
    layout->addLayout(bar);
    connect(m_view, &QComboBox::currentIndexChanged, this, &TfrmChitanta::listPageShow);
    connect(cancel, &QPushButton::clicked, this, &TfrmChitanta::cancelCurrent);
    connect(remove, &QPushButton::clicked, this, &TfrmChitanta::deleteCurrent);
    connect(preview, &QPushButton::clicked, this, &TfrmChitanta::btPrevizualizareClick);
    return page;
}

void TfrmChitanta::listPageShow()
{
    Tdm &dm = m_ctx.dm;
    runShowingErrors(&m_ctx.prompter, [&] {
        const qint64 client = dm.adoClienti.isOpen() && !dm.adoClienti.isEmpty()
                                  ? dm.adoClienti.asInteger(QStringLiteral("id"))
                                  : 0;
        if (m_view->currentIndex() == 0) {
            reopenCollections(
                QStringLiteral(
                    "Select * from Incasari Where id_cumparator=:idc and id_firma=:idf and "
                    "id_punctlucru=:idp order by data desc"),
                {client, dm.companyId(), dm.state().currentWorkPointId});
        } else {
            reopenCollections(QStringLiteral("Select * from Incasari where id_firma=:idf and "
                                             "id_punctlucru=:idp order by data desc"),
                              {dm.companyId(), dm.state().currentWorkPointId});
        }
    });
}

void TfrmChitanta::cancelCurrent()
{
    Dataset &view = m_ctx.dm.adoIncasari;
    if (!view.isOpen() || view.isEmpty() || view.asInteger(QStringLiteral("Anulata")) != 0)
        return;
    const qint64 id = view.asInteger(QStringLiteral("id"));
    if (runShowingErrors(&m_ctx.prompter, [&] { collections::cancelCollection(m_ctx.dm, id); }))
        view.requeryKeepingPosition();
}

void TfrmChitanta::deleteCurrent()
{
    Dataset &view = m_ctx.dm.adoIncasari;
    if (!view.isOpen() || view.isEmpty())
        return;
    if (!m_ctx.prompter.confirm(
            QStringLiteral("Sunteti sigur ca doriti sa stergeti aceasta inregistrare?")))
        return;
    const qint64 id = view.asInteger(QStringLiteral("id"));
    if (runShowingErrors(&m_ctx.prompter, [&] { collections::deleteCollection(m_ctx.dm, id); }))
        view.requery();
}

void TfrmChitanta::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    if (m_ctx.frame)
        m_ctx.frame->toolbar()->setEnabled(false);
    // Off before the client view opens, so that moving in it loads nothing.
    m_ctx.dm.state().loadClientDocuments = false;
    if (m_entry != Entry::FromInvoice) {
        runShowingErrors(&m_ctx.prompter, [this] {
            openCompanyTable(m_ctx.dm.adoClienti, QStringLiteral("Clienti"),
                             QStringLiteral(" order by NumeFirma"), m_ctx.dm.companyId());
        });
    }
    m_pages->setCurrentIndex(ClientPage);
    clientPageShow();
}

void TfrmChitanta::closeEvent(QCloseEvent *event)
{
    Dataset &view = m_ctx.dm.adoIncasari;
    view.close();
    view.setFiltered(false);
    view.setSql(QStringLiteral(
        "Select * from Incasari Where id_cumparator=:idc and id_firma=:idf order by data desc"));
    m_ctx.dm.state().openedFromInvoice = false;
    if (m_ctx.frame)
        m_ctx.frame->toolbar()->setEnabled(true);
    QWidget::closeEvent(event);
}

// Escape reaches the window only when the control that has the focus did
// not use it (a cell editor gives up its edit, an open list closes).
void TfrmChitanta::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}
