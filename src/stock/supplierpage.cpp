#include "supplierpage.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "frame/mainwindow.h"
#include "sales/linecalc.h"
#include "widgets/dbgrid.h"
#include "widgets/fieldlink.h"
#include "widgets/picklistcombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

enum Step { SupplierStep = 0, HeaderStep = 1, LinesStep = 2, ValidationStep = 3 };

std::optional<Money> amount(const QLineEdit *edit)
{
    return linecalc::parseAmount(edit->text());
}

// A number still being typed: recalculating now would propose amounts for
// a price the user has not finished.
bool typingNumber(const QString &text)
{
    return text.isEmpty() || text == u'-' || text.endsWith(u',') || text.endsWith(u'.');
}

QString shown(Money m, int decimals)
{
    QString text = m.toString(decimals);
    text.replace(u'.', u',');
    return text;
}

} // namespace

SupplierPage::SupplierPage(const WindowContext &context, QWidget *parent)
    : QWidget(parent), m_ctx(context), m_workspace(context.dm)
{
    m_steps = new QTabWidget;
    m_steps->addTab(buildSupplierStep(), QStringLiteral("1. Alegeti emitentul"));
    m_steps->addTab(buildHeaderStep(), QStringLiteral("2. Antet/footer "));
    m_steps->addTab(buildLinesStep(), QStringLiteral("3. Adauga si completeaza factura/aviz"));
    m_steps->addTab(buildValidationStep(), QStringLiteral("Validare si Previzualizare"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_steps);
    chooseStep(SupplierStep);
    runShowingErrors(&m_ctx.prompter, [this] {
        openCompanyTable(m_ctx.dm.adoClienti, QStringLiteral("Clienti"), QStringLiteral(" and furnizor=true  order by NumeFirma"),
                         m_ctx.dm.companyId());
    });
}

SupplierPage::~SupplierPage() = default;

QLineEdit *SupplierPage::field(const QString &name) const
{
    return m_fields.value(name);
}

QLineEdit *SupplierPage::totalBox(const QString &name) const
{
    return m_totals.value(name);
}

void SupplierPage::chooseStep(int step)
{
    for (int i = 0; i < m_steps->count(); ++i)
        m_steps->setTabVisible(i, i <= step);
    m_steps->setCurrentIndex(step);
    if (step == HeaderStep)
        headerShow();
    if (step == LinesStep)
        AdvTabSheet4Show();
    if (step == ValidationStep)
        showTotals();
}

QWidget *SupplierPage::buildSupplierStep()
{
    auto *page = new QWidget;
    m_searchName = new QLineEdit;
    m_searchCui = new QLineEdit;
    m_searchRegCom = new QLineEdit;
    m_onlySuppliers = new QCheckBox(QStringLiteral("Cauta doar in baza de furnizori (nebifat=cauta in toata baza)"));
    m_onlySuppliers->setChecked(true);
    m_suppliers = new DbGrid(m_ctx.dm.adoClienti, m_ctx.prompter,
                             {{QStringLiteral("NumeFirma"), QStringLiteral("Furnizor")},
                              {QStringLiteral("CUI"), QStringLiteral("CUI")},
                              {QStringLiteral("RegCom"), QStringLiteral("Reg. Com.")},
                              {QStringLiteral("Localitate"), QStringLiteral("Localitate")}});
    auto *add = new QPushButton(QStringLiteral("+"));
    m_nextSupplier = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("Denumire")), 0, 0);
    form->addWidget(m_searchName, 0, 1);
    form->addWidget(add, 0, 2);
    form->addWidget(new QLabel(QStringLiteral("Caut CUI")), 1, 0);
    form->addWidget(m_searchCui, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("Caut RegCom")), 2, 0);
    form->addWidget(m_searchRegCom, 2, 1);
    form->addWidget(m_onlySuppliers, 3, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(m_suppliers, 1);
    auto *nav = new QHBoxLayout;
    nav->addStretch();
    nav->addWidget(m_nextSupplier);
    layout->addLayout(nav);

    connect(m_searchName, &QLineEdit::returnPressed, this, [this] { search(QStringLiteral("NumeFirma"), m_searchName->text()); });
    connect(m_searchCui, &QLineEdit::returnPressed, this, [this] { search(QStringLiteral("CUI"), m_searchCui->text()); });
    connect(m_searchRegCom, &QLineEdit::returnPressed, this, [this] { search(QStringLiteral("RegCom"), m_searchRegCom->text()); });
    connect(add, &QPushButton::clicked, this, [this] {
        m_ctx.dm.state().newPartnerIsClient = false;
        m_ctx.dm.state().newPartnerIsSupplier = true;
        if (m_ctx.frame)
            m_ctx.frame->CreateChildForm(QStringLiteral("Furnizori"));
    });
    connect(m_nextSupplier, &QPushButton::clicked, this, &SupplierPage::btPasUrmatorFurnClick);
    connect(m_suppliers, &DbGrid::rowDoubleClicked, this, &SupplierPage::btPasUrmatorFurnClick);
    return page;
}

void SupplierPage::search(const QString &column, const QString &text)
{
    runShowingErrors(&m_ctx.prompter, [&] {
        searchClients(m_ctx.dm.adoClienti, column, m_onlySuppliers->isChecked(), SearchOperator::Contains, true, text,
                      m_ctx.dm.companyId());
    });
}

void SupplierPage::btPasUrmatorFurnClick()
{
    Dataset &partners = m_ctx.dm.adoClienti;
    if (!partners.isOpen() || partners.isEmpty()) {
        m_ctx.prompter.information(QStringLiteral("Nu aveti niciun furnizor selectat"));
        return;
    }
    m_workspace.selectSupplier(partners.asInteger(QStringLiteral("id")));
    m_date->setDateTime(QDateTime::currentDateTime());
    chooseStep(HeaderStep);
}

QWidget *SupplierPage::buildHeaderStep()
{
    auto *page = new QWidget;
    m_kind = new QComboBox;
    m_kind->addItems({QStringLiteral("Factura"), QStringLiteral("Aviz"), QStringLiteral("BC")});
    m_goods = new QRadioButton(QStringLiteral("NIR"));
    m_services = new QRadioButton(QStringLiteral("Servicii"));
    m_goods->setChecked(true);
    m_warehouse = new PickListCombo;
    m_mode = new QComboBox;
    m_mode->addItems({QStringLiteral("Adaug"), QStringLiteral("Modific un act deja introdus pe acest furnizor")});
    m_series = new QLineEdit;
    m_number = new QLineEdit;
    m_number->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_number));
    m_date = new QDateTimeEdit(QDateTime::currentDateTime());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
    m_termDays = new QSpinBox;
    m_termDays->setRange(0, 365);
    m_dueDate = new QDateEdit(QDate::currentDate());
    m_dueDate->setCalendarPopup(true);
    m_dueDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_bank = new PickListCombo;
    m_category = new PickListCombo;
    m_mention = new PickListCombo;
    m_comment = new QLineEdit;
    m_commentLabel = new QLabel(QStringLiteral("Comentariu Factura"));
    m_nextHeader = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));

    auto *type = new QHBoxLayout;
    type->addWidget(m_services);
    type->addWidget(m_goods);
    auto *term = new QHBoxLayout;
    term->addWidget(m_termDays);
    term->addWidget(new QLabel(QStringLiteral("zile, scadent la")));
    term->addWidget(m_dueDate);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Tip "), m_kind);
    form->addRow(QStringLiteral("Tip factura"), type);
    form->addRow(QStringLiteral("Magazia"), m_warehouse);
    form->addRow(QStringLiteral("Mod"), m_mode);
    form->addRow(QStringLiteral("Seria*"), m_series);
    form->addRow(QStringLiteral("Nr *"), m_number);
    form->addRow(QStringLiteral("Data*"), m_date);
    form->addRow(QStringLiteral("In termen de :"), term);
    form->addRow(QStringLiteral("Banca"), m_bank);
    form->addRow(QStringLiteral("Categorie"), m_category);
    form->addRow(QStringLiteral("Mentiune TVA"), m_mention);
    form->addRow(m_commentLabel, m_comment);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addStretch();
    auto *nav = new QHBoxLayout;
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(m_nextHeader);
    layout->addLayout(nav);

    connect(back, &QPushButton::clicked, this, [this] { chooseStep(SupplierStep); });
    connect(m_kind, &QComboBox::currentIndexChanged, this, [this](int kind) {
        m_ctx.dm.state().currentDocKind = kind;
        m_commentLabel->setText(QStringLiteral("Comentariu ") + m_kind->currentText());
        if (kind == 1)
            m_goods->setChecked(true);
    });
    connect(m_goods, &QRadioButton::toggled, this, [this](bool on) { m_warehouse->setVisible(on); });
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] {
        m_workspace.startNewDocument();
        updateNextHeader();
    });
    connect(m_number, &QLineEdit::textEdited, this, [this] { m_workspace.startNewDocument(); });
    connect(m_series, &QLineEdit::textEdited, this, [this] { m_workspace.startNewDocument(); });
    connect(m_number, &QLineEdit::textChanged, this, &SupplierPage::updateNextHeader);
    connect(m_series, &QLineEdit::textChanged, this, &SupplierPage::updateNextHeader);
    connect(m_date, &QDateTimeEdit::dateTimeChanged, this, [this] { m_dueDate->setDate(m_date->date().addDays(m_termDays->value())); });
    connect(m_termDays, &QSpinBox::valueChanged, this, [this](int days) { m_dueDate->setDate(m_date->date().addDays(days)); });
    connect(m_mention, &QComboBox::activated, this, [this] {
        if (m_mention->currentIndex() > 1) {
            m_ctx.prompter.information(QStringLiteral("Doar modul cu si fara tva sunt implementate"));
            m_mention->setCurrentIndex(0);
        }
    });
    connect(m_nextHeader, &QPushButton::clicked, this, &SupplierPage::btPasUrmatorAntetClick);
    updateNextHeader();
    return page;
}

void SupplierPage::updateNextHeader()
{
    // A new document needs both; lines added to an existing one do not.
    const bool modifying = m_mode->currentIndex() == 1;
    m_nextHeader->setEnabled(modifying || (!m_series->text().trimmed().isEmpty() &&
                                           !m_number->text().trimmed().isEmpty()));
}

void SupplierPage::headerShow()
{
    Tdm &dm = m_ctx.dm;
    m_workspace.startNewDocument();
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &categories = m_ctx.rc.adoCatFactIn;
        categories.close();
        categories.setParam(0, dm.companyId());
        m_category->setItems(fillPickListFor(categories, QStringLiteral("CategorieFacturi"), dm.companyId(), QStringLiteral("id")));
        Dataset accounts(dm.cnc(), QStringLiteral("Select  * from Conturi Where\r\nid_firma=:idf"));
        accounts.setParam(0, m_workspace.supplierId());
        QList<PickItem> banks{{QString(), -1}};
        accounts.open();
        for (accounts.first(); !accounts.eof(); accounts.next())
            banks << PickItem{accounts.asString(QStringLiteral("Banca")) + u' ' + accounts.asString(QStringLiteral("Cont")),
                              accounts.asInteger(QStringLiteral("ID"))};
        m_bank->setItems(banks);
        m_warehouses = std::make_unique<Dataset>(dm.cnc(), QStringLiteral("select * from SubcategoriiStocuri where id_categorie=:idc\r\n"));
        m_warehouses->setParam(0, dm.state().currentWorkPointId);
        m_warehouse->setItems(fillPickListFor(*m_warehouses, QStringLiteral("Categorie"), dm.state().currentWorkPointId, QStringLiteral("id")));
        m_mention->setItems(fillPickList(dm.tblMentiuniFacturi, QStringLiteral("Mentiune"), QStringLiteral("ID"), m_ctx.prompter));
    });
    m_date->setFocus();
}

void SupplierPage::btPasUrmatorAntetClick()
{
    supplierdocs::Header h;
    h.kind = m_kind->currentIndex();
    h.goods = m_goods->isChecked();
    h.warehouseId = h.goods ? m_warehouse->currentObject().value_or(-1) : -1;
    h.series = m_series->text();
    h.number = m_number->text();
    h.date = m_date->dateTime();
    h.dueDate = m_dueDate->date();
    h.comment = m_comment->text();
    h.mentionId = m_mention->currentObject().value_or(0);
    h.mentionText = m_mention->currentText();
    h.categoryId = m_category->currentObject().value_or(0);
    h.supplierAccountId = m_bank->currentObject().value_or(-1);
    h.workPointId = m_ctx.dm.state().currentWorkPointId;
    const bool modifying = m_mode->currentIndex() == 1;
    if (!m_workspace.checkHeader(h, modifying))
        return;
    m_workspace.setHeader(h);
    chooseStep(LinesStep);
}

QWidget *SupplierPage::buildLinesStep()
{
    Tdm &dm = m_ctx.dm;
    auto *page = new QWidget;
    m_documentsCaption = new QLabel;
    m_documents = new DbGrid(m_ctx.rc.adoNrFAct, m_ctx.prompter,
                             {{QStringLiteral("SeriaF"), QStringLiteral("Seria")},
                              {QStringLiteral("Nf"), QStringLiteral("Nr")},
                              {QStringLiteral("Data"), QStringLiteral("Data")},
                              {QStringLiteral("Validata"), QStringLiteral("Validata"), FieldFormat::Boolean}});
    m_documents->setMaximumHeight(120);
    auto field = [this](const QString &name, const QString &value = {}) {
        auto *e = new QLineEdit(value);
        m_fields.insert(name, e);
        return e;
    };
    m_unit = new QComboBox;
    m_unit->setEditable(true);
    m_currencyIn = new QComboBox;
    m_currencyOut = new QComboBox;
    m_salePrice = new QCheckBox(QStringLiteral("Completeaza si Pret iesire"));
    m_add = new QPushButton(QStringLiteral("Adauga"));
    m_names = std::make_unique<Dataset>(dm.cnc(), QStringLiteral("Select distinct denumire  from prodcumparate Where id_magazie>0 "
                                                                 "and adinstoc=true and denumire like :t escape '\\' order by denumire"));
    m_knownNames = new DbGrid(*m_names, m_ctx.prompter, {{QStringLiteral("denumire"), QStringLiteral("Produse in stoc")}});
    m_knownNames->setMaximumWidth(260);

    auto *input = new QFormLayout;
    input->addRow(QStringLiteral("1. Denumirea produsului/serviciu"), field(QStringLiteral("Denumire")));
    input->addRow(QStringLiteral("2.Cod / serie"), field(QStringLiteral("Cod")));
    input->addRow(QStringLiteral("3. Cantitate"), field(QStringLiteral("Cantitate"), QStringLiteral("1")));
    input->addRow(QStringLiteral("4.Pret Unitar"), field(QStringLiteral("Pret"), QStringLiteral("0")));
    input->addRow(QStringLiteral("5. UM"), m_unit);
    input->addRow(QStringLiteral("6. Valoare"), field(QStringLiteral("Valoare")));
    input->addRow(QStringLiteral("7.Cota TVA"), field(QStringLiteral("CotaTVA"), QStringLiteral("21")));
    input->addRow(QStringLiteral("8. TVA"), field(QStringLiteral("TVA")));
    input->addRow(QStringLiteral("9. Total"), field(QStringLiteral("Total")));
    input->addRow(QStringLiteral("10. Moneda"), m_currencyIn);
    input->addRow(QStringLiteral("Curs valutar"), field(QStringLiteral("Curs"), QStringLiteral("1")));
    input->addRow(m_salePrice);

    m_outputPanel = new QGroupBox(QStringLiteral("Pret  de vanzare (optional)"));
    auto *output = new QFormLayout(m_outputPanel);
    output->addRow(QStringLiteral("Adaos"), field(QStringLiteral("Adaos"), QStringLiteral("0")));
    output->addRow(QStringLiteral("Pret iesire"), field(QStringLiteral("PretIesire")));
    output->addRow(QStringLiteral("Cota TVA iesire"), field(QStringLiteral("CotaTVAIesire"), QStringLiteral("21")));
    output->addRow(QStringLiteral("Moneda iesire"), m_currencyOut);
    output->addRow(QStringLiteral("Curs iesire"), field(QStringLiteral("CursIesire"), QStringLiteral("1")));
    output->addRow(QStringLiteral("Valoare iesire"), field(QStringLiteral("ValoareIesire")));
    output->addRow(QStringLiteral("TVA iesire"), field(QStringLiteral("TVAIesire")));
    output->addRow(QStringLiteral("Total iesire"), field(QStringLiteral("TotalIesire")));
    m_outputPanel->setVisible(false);
    // The purchase value, VAT and total are proposed and may be overtyped
    // with the supplier's own rounding; the sale side is always computed.
    for (const char *computed : {"ValoareIesire", "TVAIesire", "TotalIesire"})
        m_fields.value(QString::fromLatin1(computed))->setReadOnly(true);

    m_lines = new DbGrid(dm.adoPrCump, m_ctx.prompter,
                         {{QStringLiteral("Denumire"), QStringLiteral("Denumire")},
                          {QStringLiteral("UM"), QStringLiteral("UM")},
                          {QStringLiteral("Cnt"), QStringLiteral("Cantitate")},
                          {QStringLiteral("PUnIn"), QStringLiteral("Pret"), FieldFormat::Money},
                          {QStringLiteral("Valoare"), QStringLiteral("Valoare"), FieldFormat::Money},
                          {QStringLiteral("ValoareTVA"), QStringLiteral("TVA"), FieldFormat::Money},
                          {QStringLiteral("TotalIn"), QStringLiteral("Total"), FieldFormat::Money},
                          {QStringLiteral("PUOut"), QStringLiteral("Pret vanzare"), FieldFormat::Money}});
    auto *remove = new QPushButton(QStringLiteral("-"));
    auto *next = new QPushButton(QStringLiteral("Pasul urmator"));
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));

    auto *entry = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addLayout(input);
    left->addWidget(m_add);
    entry->addLayout(left, 2);
    entry->addWidget(m_outputPanel, 1);
    entry->addWidget(m_knownNames, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_documentsCaption);
    layout->addWidget(m_documents);
    layout->addLayout(entry);
    auto *bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(remove);
    layout->addLayout(bar);
    layout->addWidget(m_lines, 1);
    auto *nav = new QHBoxLayout;
    nav->addWidget(back);
    nav->addStretch();
    nav->addWidget(next);
    layout->addLayout(nav);

    for (const char *name : {"Pret", "Cantitate", "CotaTVA", "Curs", "Adaos", "CotaTVAIesire"})
        connect(m_fields.value(QString::fromLatin1(name)), &QLineEdit::textEdited, this,
                [this](const QString &text) {
                    if (typingNumber(text))
                        m_proposalPending = true;
                    else
                        recalcInputPrices();
                });
    for (const char *name : {"Valoare", "TVA", "Total"})
        connect(m_fields.value(QString::fromLatin1(name)), &QLineEdit::textEdited, this,
                [this] { m_proposalPending = false; });
    for (const char *name : {"PretIesire", "CursIesire"})
        connect(m_fields.value(QString::fromLatin1(name)), &QLineEdit::textEdited, this,
                [this](const QString &text) {
                    if (!typingNumber(text))
                        recalcOutputPrices();
                });
    connect(m_currencyIn, &QComboBox::currentIndexChanged, this, &SupplierPage::recalcInputPrices);
    connect(m_salePrice, &QCheckBox::toggled, this, [this](bool on) {
        m_outputPanel->setVisible(on);
        recalcInputPrices();
    });
    connect(m_fields.value(QStringLiteral("Denumire")), &QLineEdit::textEdited, this, [this](const QString &text) {
        QString pattern = text;
        pattern.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
        const bool ok = runShowingErrors(&m_ctx.prompter, [&] {
            m_names->close();
            m_names->setParam(0, QString(u'%' + pattern + u'%'));
            m_names->open();
        });
        if (!ok)
            m_ctx.prompter.information(QStringLiteral("Eroare la cautarea distincta a produselor"));
    });
    connect(m_knownNames, &DbGrid::rowDoubleClicked, this, [this] {
        if (m_names->isOpen() && !m_names->isEmpty())
            m_fields.value(QStringLiteral("Denumire"))->setText(m_names->asString(QStringLiteral("denumire")));
    });
    connect(m_add, &QPushButton::clicked, this, &SupplierPage::btAdaugaProdusFurnClick);
    connect(remove, &QPushButton::clicked, this, [this] { removeLine(false); });
    connect(back, &QPushButton::clicked, this, [this] { chooseStep(HeaderStep); });
    connect(next, &QPushButton::clicked, this, [this] { chooseStep(ValidationStep); });
    connect(&m_ctx.rc.adoNrFAct, &Dataset::currentChanged, this, [this] {
        if (m_steps->currentIndex() < LinesStep)
            return;
        if (m_mode->currentIndex() == 1 && shownDocument() > 0)
            m_workspace.useDocument(shownDocument());
        reloadLines();
    });
    return page;
}

void SupplierPage::AdvTabSheet4Show()
{
    Tdm &dm = m_ctx.dm;
    const int kind = m_kind->currentIndex();
    m_documentsCaption->setText(m_kind->currentText() + QStringLiteral(" ale acestui furnizor "));
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &docs = m_ctx.rc.adoNrFAct;
        const bool modifying = m_mode->currentIndex() == 1;
        const qint64 current = m_workspace.docOpen() ? m_workspace.documentId() : -1;
        if (!modifying && current > 0) {
            // Back from validation: the new document stays the only one listed.
            Tdm::openPartnerDocument(docs, dm.companyId(), m_workspace.supplierId(), kind, current);
        } else {
            docs.close();
            docs.setSql(Tdm::partnerDocumentsSql());
            docs.setFiltered(false);
            docs.setParams({dm.companyId(), m_workspace.supplierId(), kind});
            docs.open();
            if (current > 0)
                docs.locate(QStringLiteral("fid"), current);
        }
        if (modifying && shownDocument() > 0)
            m_workspace.useDocument(shownDocument());
        m_currencyIn->clear();
        m_currencyOut->clear();
        Dataset currencies(dm.cnc(), QStringLiteral("  Select * from Monede   Order By BifaDefault desc, Ordine ASC "));
        currencies.open();
        for (currencies.first(); !currencies.eof(); currencies.next()) {
            m_currencyIn->addItem(currencies.asString(QStringLiteral("CodIso")), currencies.asInteger(QStringLiteral("Nrzecimale")));
            m_currencyOut->addItem(currencies.asString(QStringLiteral("CodIso")), currencies.asInteger(QStringLiteral("Nrzecimale")));
        }
        m_unit->clear();
        Dataset units(dm.cnc(), QStringLiteral("select UM from UM order by id"));
        units.open();
        for (units.first(); !units.eof(); units.next())
            m_unit->addItem(units.asString(QStringLiteral("UM")));
    });
    m_fields.value(QStringLiteral("Denumire"))->clear();
    m_fields.value(QStringLiteral("Cod"))->clear();
    m_fields.value(QStringLiteral("Pret"))->setText(QStringLiteral("0"));
    m_fields.value(QStringLiteral("Cantitate"))->setText(QStringLiteral("1"));
    if (m_goods->isChecked())
        m_salePrice->setChecked(false);
    reloadLines();
    recalcInputPrices();
}

supplierdocs::Line SupplierPage::readLine() const
{
    supplierdocs::Line l;
    l.name = m_fields.value(QStringLiteral("Denumire"))->text();
    l.code = m_fields.value(QStringLiteral("Cod"))->text();
    l.unit = m_unit->currentText();
    l.price = amount(m_fields.value(QStringLiteral("Pret"))).value_or(Money());
    l.quantity = amount(m_fields.value(QStringLiteral("Cantitate"))).value_or(Money()).toDouble();
    l.vatRate = amount(m_fields.value(QStringLiteral("CotaTVA"))).value_or(Money());
    l.currencyIn = m_currencyIn->currentText();
    l.rateIn = amount(m_fields.value(QStringLiteral("Curs")));
    l.withSalePrice = m_salePrice->isChecked();
    l.markup = amount(m_fields.value(QStringLiteral("Adaos"))).value_or(Money());
    l.vatRateOut = amount(m_fields.value(QStringLiteral("CotaTVAIesire"))).value_or(Money());
    l.currencyOut = m_currencyOut->currentText();
    l.rateOut = amount(m_fields.value(QStringLiteral("CursIesire")));
    const int dIn = m_currencyIn->currentData().toInt();
    const int dOut = m_currencyOut->currentData().toInt();
    l.amounts = supplierdocs::recalcInputPrices(l.price, l.quantity, l.vatRate, dIn, l.withSalePrice, l.markup, l.vatRateOut, dOut);
    if (const std::optional<Money> sale = amount(m_fields.value(QStringLiteral("PretIesire"))); sale && l.withSalePrice)
        l.amounts = supplierdocs::recalcOutputPrices(l.amounts, *sale, l.quantity, l.vatRateOut, dOut, true);
    // What the boxes show is what the paper says; the add handler refuses
    // a box that is not a number.
    l.amounts.value = amount(m_fields.value(QStringLiteral("Valoare"))).value_or(Money());
    l.amounts.vat = amount(m_fields.value(QStringLiteral("TVA"))).value_or(Money());
    l.amounts.total = amount(m_fields.value(QStringLiteral("Total"))).value_or(Money());
    return l;
}

void SupplierPage::recalcInputPrices()
{
    if (m_recalculating)
        return;
    m_recalculating = true;
    supplierdocs::Line l = readLine();
    const int dIn = m_currencyIn->currentData().toInt();
    const int dOut = m_currencyOut->currentData().toInt();
    l.amounts = supplierdocs::recalcInputPrices(l.price, l.quantity, l.vatRate, dIn, l.withSalePrice, l.markup, l.vatRateOut, dOut);
    m_fields.value(QStringLiteral("Valoare"))->setText(shown(l.amounts.value, dIn));
    m_fields.value(QStringLiteral("TVA"))->setText(shown(l.amounts.vat, dIn));
    m_fields.value(QStringLiteral("Total"))->setText(shown(l.amounts.total, dIn));
    m_fields.value(QStringLiteral("PretIesire"))->setText(shown(l.amounts.unitPriceOut, dOut));
    m_fields.value(QStringLiteral("ValoareIesire"))->setText(shown(l.amounts.valueOut, dOut));
    m_fields.value(QStringLiteral("TVAIesire"))->setText(shown(l.amounts.vatOut, dOut));
    m_fields.value(QStringLiteral("TotalIesire"))->setText(shown(l.amounts.totalOut, dOut));
    m_proposalPending = false;
    m_recalculating = false;
}

void SupplierPage::recalcOutputPrices()
{
    const supplierdocs::Line l = readLine();
    const int dOut = m_currencyOut->currentData().toInt();
    m_fields.value(QStringLiteral("ValoareIesire"))->setText(shown(l.amounts.valueOut, dOut));
    m_fields.value(QStringLiteral("TVAIesire"))->setText(shown(l.amounts.vatOut, dOut));
    m_fields.value(QStringLiteral("TotalIesire"))->setText(shown(l.amounts.totalOut, dOut));
}

void SupplierPage::btAdaugaProdusFurnClick()
{
    const auto numbers = [this](std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (!amount(m_fields.value(QString::fromLatin1(name)))) {
                m_ctx.prompter.information(QStringLiteral(
                    "Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit"));
                return false;
            }
        }
        return true;
    };
    if (!numbers({"Pret", "Cantitate"}))
        return;
    // A price left as "4," was never proposed for; it is now, before the
    // boxes are read, unless the user typed the amounts after it.
    if (m_proposalPending)
        recalcInputPrices();
    if (!numbers({"Valoare", "TVA", "Total"}))
        return;
    const supplierdocs::Line line = readLine();
    const bool wasOpen = m_workspace.docOpen();
    std::optional<qint64> added;
    if (!runShowingErrors(&m_ctx.prompter, [&] { added = m_workspace.addLine(line); }) || !added)
        return;
    runShowingErrors(&m_ctx.prompter, [&] {
        Dataset &docs = m_ctx.rc.adoNrFAct;
        // A header just written: the list holds that document alone, so the
        // lines shown are the ones being added.
        if (!wasOpen)
            Tdm::openPartnerDocument(docs, m_ctx.dm.companyId(), m_workspace.supplierId(),
                                     m_workspace.header().kind, m_workspace.documentId());
        else
            docs.requeryKeepingPosition();
    });
    reloadLines();
    m_fields.value(QStringLiteral("Denumire"))->clear();
    m_fields.value(QStringLiteral("Cod"))->clear();
    m_fields.value(QStringLiteral("Pret"))->setText(QStringLiteral("0"));
    m_fields.value(QStringLiteral("Cantitate"))->setText(QStringLiteral("0"));
    m_fields.value(QStringLiteral("Denumire"))->setFocus();
    recalcInputPrices();
}

qint64 SupplierPage::shownDocument() const
{
    const Dataset &docs = m_ctx.rc.adoNrFAct;
    return docs.isOpen() && !docs.isEmpty() ? docs.asInteger(QStringLiteral("fid")) : -1;
}

void SupplierPage::reloadLines()
{
    runShowingErrors(&m_ctx.prompter, [this] {
        Dataset &lines = m_ctx.dm.adoPrCump;
        lines.close();
        const qint64 document = shownDocument();
        if (document <= 0)
            return;
        lines.setParam(0, document);
        lines.open();
    });
}

void SupplierPage::removeLine(bool ask)
{
    Dataset &lines = m_ctx.dm.adoPrCump;
    if (!lines.isOpen() || lines.isEmpty())
        return;
    if (ask && !m_ctx.prompter.confirm(QStringLiteral("Doriti sa stergeti randul selectat?")))
        return;
    const qint64 line = lines.asInteger(QStringLiteral("id"));
    runShowingErrors(&m_ctx.prompter, [&] { m_workspace.removeLine(line); });
    reloadLines();
    showTotals();
}

QWidget *SupplierPage::buildValidationStep()
{
    auto *page = new QWidget;
    auto *lines = new DbGrid(m_ctx.dm.adoPrCump, m_ctx.prompter,
                             {{QStringLiteral("Denumire"), QStringLiteral("Denumire")},
                              {QStringLiteral("Cnt"), QStringLiteral("Cantitate")},
                              {QStringLiteral("Valoare"), QStringLiteral("Valoare"), FieldFormat::Money},
                              {QStringLiteral("ValoareTVA"), QStringLiteral("TVA"), FieldFormat::Money},
                              {QStringLiteral("TotalIn"), QStringLiteral("Total"), FieldFormat::Money},
                              {QStringLiteral("adinStoc"), QStringLiteral("epeNIR"), FieldFormat::Boolean}});
    auto *totals = new QFormLayout;
    for (const auto &[name, caption] : QList<QPair<QString, QString>>{{QStringLiteral("Valoare"), QStringLiteral("Valoare")},
                                                                      {QStringLiteral("TVA"), QStringLiteral("TVA")},
                                                                      {QStringLiteral("Total"), QStringLiteral("Total")},
                                                                      {QStringLiteral("Cantitate"), QStringLiteral("Cantitate")}}) {
        auto *box = new QLineEdit;
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignRight);
        m_totals.insert(name, box);
        totals->addRow(caption, box);
    }
    auto *remove = new QPushButton(QStringLiteral("-"));
    auto *refresh = new QPushButton(QStringLiteral("Reimprospateaza"));
    auto *back = new QPushButton(QStringLiteral("Pasul anterior"));
    auto *layout = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    left->addWidget(lines, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addStretch();
    bar->addWidget(refresh);
    bar->addWidget(remove);
    left->addLayout(bar);
    layout->addLayout(left, 3);
    auto *right = new QVBoxLayout;
    right->addLayout(totals);
    right->addStretch();
    layout->addLayout(right, 1);
    connect(remove, &QPushButton::clicked, this, [this] { removeLine(true); });
    connect(refresh, &QPushButton::clicked, this, [this] {
        reloadLines();
        showTotals();
    });
    connect(back, &QPushButton::clicked, this, [this] { chooseStep(LinesStep); });
    return page;
}

void SupplierPage::showTotals()
{
    supplierdocs::Workspace::Totals t;
    const qint64 document = shownDocument();
    if (document > 0)
        runShowingErrors(&m_ctx.prompter, [&] { t = m_workspace.totals(document); });
    m_totals.value(QStringLiteral("Valoare"))->setText(t.value.toString(2));
    m_totals.value(QStringLiteral("TVA"))->setText(t.vat.toString(2));
    m_totals.value(QStringLiteral("Total"))->setText(t.total.toString(2));
    m_totals.value(QStringLiteral("Cantitate"))->setText(QString::number(t.quantity, 'f', 3));
}
