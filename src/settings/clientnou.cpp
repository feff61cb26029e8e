#include "clientnou.h"

#include "companylookup.h"
#include "core/prompter.h"
#include "core/text.h"
#include "data/tdm.h"
#include "db/dberror.h"
#include "newpartner.h"
#include "widgets/windowparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

const QStringList &TfrmClientNou::counties()
{
    static const QStringList list = {
        QStringLiteral("-"),           QStringLiteral("Alba"),        QStringLiteral("Arad"),      QStringLiteral("Arges"),
        QStringLiteral("Bacau"),       QStringLiteral("Bihor"),       QStringLiteral("Bistrita Nasaud"),
        QStringLiteral("Botosani"),    QStringLiteral("Braila"),      QStringLiteral("Brasov"),    QStringLiteral("Bucuresti"),
        QStringLiteral("Sect 1"),      QStringLiteral("Sect 2"),      QStringLiteral("Sect 3"),    QStringLiteral("Sect 4"),
        QStringLiteral("Sect 5"),      QStringLiteral("Sect 6"),      QStringLiteral("Buzau"),     QStringLiteral("Calarasi"),
        QStringLiteral("Caras Severin"), QStringLiteral("Cluj"),      QStringLiteral("Constanta"), QStringLiteral("Covasna"),
        QStringLiteral("Dambovita"),   QStringLiteral("Dolj"),        QStringLiteral("Galati"),    QStringLiteral("Giurgiu"),
        QStringLiteral("Gorj"),        QStringLiteral("Harghita"),    QStringLiteral("Hunedoara"), QStringLiteral("Ialomita"),
        QStringLiteral("Iasi"),        QStringLiteral("Ilfov"),       QStringLiteral("Maramures"), QStringLiteral("Mehedinti"),
        QStringLiteral("Mures"),       QStringLiteral("Neamt"),       QStringLiteral("Olt"),       QStringLiteral("Prahova"),
        QStringLiteral("Salaj"),       QStringLiteral("Satu Mare"),   QStringLiteral("Sibiu"),     QStringLiteral("Suceava"),
        QStringLiteral("Teleorman"),   QStringLiteral("Timis"),       QStringLiteral("Tulcea"),    QStringLiteral("Valcea"),
        QStringLiteral("Vaslui"),      QStringLiteral("Vrancea")};
    return list;
}

TfrmClientNou::TfrmClientNou(Tdm &dm, Prompter &prompter, CompanyLookup &lookup, QWidget *parent)
    : QWidget(parent), m_dm(dm), m_prompter(prompter), m_registry(lookup),
      m_company(new QCheckBox(QStringLiteral("Pers juridica"))), m_nameLabel(new QLabel), m_codeLabel(new QLabel),
      m_name(new QLineEdit), m_fiscalCode(new QLineEdit), m_county(new QComboBox),
      m_lookup(new QPushButton(QStringLiteral("Obtine date online din CUI"))), m_ok(new QPushButton(QStringLiteral("OK")))
{
    setWindowTitle(QStringLiteral("Client nou"));
    m_company->setChecked(true);
    m_county->setEditable(true);
    m_county->addItems(counties());
    m_county->setCurrentText(QStringLiteral("Bucuresti"));
    m_fiscalCode->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9,.\\-]*")), m_fiscalCode));
    m_lookup->setToolTip(QStringLiteral("Introduceti CIF si apasati"));

    auto field = [this](const QString &caption) {
        auto *e = new QLineEdit;
        m_edits.insert(caption, e);
        return e;
    };
    auto *main = new QWidget;
    auto *form = new QFormLayout(main);
    form->addRow(m_company);
    form->addRow(m_nameLabel, m_name);
    QLineEdit *regCom = field(QStringLiteral("Reg. Com."));
    form->addRow(QStringLiteral("Reg. Com."), regCom);
    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(m_fiscalCode, 1);
    codeRow->addWidget(m_lookup);
    form->addRow(m_codeLabel, codeRow);
    form->addRow(QStringLiteral("Sediul"), field(QStringLiteral("Sediul")));
    form->addRow(QStringLiteral("Judet"), m_county);
    form->addRow(QStringLiteral("Localitate"), field(QStringLiteral("Localitate")));
    QLineEdit *country = field(QStringLiteral("Tara"));
    country->setText(QStringLiteral("Romania"));
    form->addRow(QStringLiteral("Tara"), country);
    QLineEdit *account = field(QStringLiteral("Cont"));
    account->setToolTip(QStringLiteral("Pentru a adauga alte conturi, utilizati meniul de  conturi de la Detalii Clienti, "
                                       "dupa ce adaugati clientul"));
    form->addRow(QStringLiteral("Cont"), account);
    QLineEdit *bank = field(QStringLiteral("Banca"));
    form->addRow(QStringLiteral("Banca"), bank);
    m_companyOnly = {regCom, account, bank, m_lookup};
    for (const char *caption : {"Delegat", "Serie C.I", "Nr C.I.", "Sectie", "Delegat CNP"})
        form->addRow(QString::fromLatin1(caption), field(QString::fromLatin1(caption)));
    auto *note = new QLabel(QStringLiteral("Pentru persoanele fizice, campul delegat se completeaza automat din "
                                           "Cumparator iar CNPDelegat din CNPCumparator"));
    note->setWordWrap(true);
    form->addRow(note);

    auto *other = new QWidget;
    auto *otherForm = new QFormLayout(other);
    for (const char *caption :
         {"E-mail", "Tel", "Mobil", "Zona", "Contact", "Comentarii", "ContValuta", "BancaValuta", "Cont Trezorerie", "Trezorerie"})
        otherForm->addRow(QString::fromLatin1(caption), field(QString::fromLatin1(caption)));

    auto *tabs = new QTabWidget;
    tabs->addTab(main, QStringLiteral("Date client"));
    tabs->addTab(other, QStringLiteral("Alte date"));
    auto *exit = new QPushButton(QStringLiteral("Iesire"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    connect(m_company, &QCheckBox::toggled, this, &TfrmClientNou::chkPersJuridicaClick);
    connect(m_lookup, &QPushButton::clicked, this, &TfrmClientNou::btnLookupClick);
    connect(m_ok, &QPushButton::clicked, this, &TfrmClientNou::btnOkClick);
    connect(exit, &QPushButton::clicked, this, &TfrmClientNou::closeWindow);
    // A person is his own delegate: the name follows as it is typed.
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_company->isChecked())
            m_edits.value(QStringLiteral("Delegat"))->setText(text);
    });
    chkPersJuridicaClick();
}

QLineEdit *TfrmClientNou::edit(const QString &caption) const
{
    return m_edits.value(caption);
}

void TfrmClientNou::chkPersJuridicaClick()
{
    const bool company = m_company->isChecked();
    m_nameLabel->setText(company ? QStringLiteral("Firma *") : QStringLiteral("Nume *"));
    m_codeLabel->setText(company ? QStringLiteral("CIF") : QStringLiteral("CNP"));
    for (QWidget *w : std::as_const(m_companyOnly)) {
        w->setVisible(company);
        auto *form = qobject_cast<QFormLayout *>(w->parentWidget() ? w->parentWidget()->layout() : nullptr);
        if (form && form->labelForField(w))
            form->labelForField(w)->setVisible(company);
    }
}

void TfrmClientNou::btnLookupClick()
{
    const std::optional<CompanyData> found = m_registry.lookupCompany(m_fiscalCode->text());
    if (!found)
        return;
    m_name->setText(found->name);
    m_fiscalCode->setText(found->fiscalCode);
    m_edits.value(QStringLiteral("Reg. Com."))->setText(found->registryNumber);
    m_edits.value(QStringLiteral("Sediul"))->setText(found->address);
    m_edits.value(QStringLiteral("Localitate"))->setText(found->town);
    if (!found->phone.isEmpty())
        m_edits.value(QStringLiteral("Tel"))->setText(found->phone);
    if (!found->county.isEmpty()) {
        // The registry writes counties its own way ("MUNICIPIUL BUCURESTI").
        const QString county = withoutDiacritics(found->county);
        int match = -1;
        for (int i = 0; i < m_county->count() && match < 0; ++i) {
            const QString item = m_county->itemText(i);
            if (item.size() > 2 && county.contains(item, Qt::CaseInsensitive))
                match = i;
        }
        if (match >= 0)
            m_county->setCurrentIndex(match);
        else
            m_county->setCurrentText(county);
    }
}

NewPartner TfrmClientNou::collect() const
{
    NewPartner p;
    auto text = [this](const char *caption) { return m_edits.value(QString::fromLatin1(caption))->text().trimmed(); };
    p.company = m_company->isChecked();
    p.name = m_name->text();
    p.fiscalCode = m_fiscalCode->text().trimmed();
    p.regCom = p.company ? text("Reg. Com.") : QString();
    p.address = text("Sediul");
    p.county = m_county->currentText();
    p.town = text("Localitate");
    p.country = text("Tara");
    p.account = p.company ? text("Cont") : QString();
    p.bank = p.company ? text("Banca") : QString();
    p.delegate = text("Delegat");
    p.cardSeries = text("Serie C.I");
    p.cardNumber = text("Nr C.I.");
    p.cardSection = text("Sectie");
    p.delegateCode = text("Delegat CNP");
    p.email = text("E-mail");
    p.phone = text("Tel");
    p.mobile = text("Mobil");
    p.zone = text("Zona");
    p.contact = text("Contact");
    p.comments = text("Comentarii");
    return p;
}

void TfrmClientNou::btnOkClick()
{
    try {
        const qint64 id = saveNewPartner(m_dm, collect());
        if (id == 0)
            return;
        m_savedId = id;
        Q_EMIT saved(id);
        closeWindow();
    } catch (const DbError &e) {
        // Nothing was written; the window stays so that nothing typed is lost.
        m_prompter.error(e.displayText());
    }
}

void TfrmClientNou::closeWindow()
{
    ::closeWindow(this);
}
