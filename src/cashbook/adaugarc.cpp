#include "adaugarc.h"

#include "sheets.h"

#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "widgets/fieldlink.h"
#include "widgets/moneyedit.h"
#include "widgets/picklistcombo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAdaugaRC::TfrmAdaugaRC(Tdm &dm, TdmRC &rc, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_rc(rc), m_prompter(prompter),
      m_currencyList(new Dataset(
          dm.cnc(),
          QStringLiteral("  Select * from Monede   Order By BifaDefault desc, Ordine ASC "), this)),
      m_categoryList(new Dataset(
          dm.cnc(),
          QStringLiteral("select CategorieFacturi, id from CatFactIn where id_firma=:idf "
                         "order by id"),
          this)),
      m_nrActCasa(new QLineEdit), m_nrAnexa(new QLineEdit), m_explicatii(new QLineEdit),
      m_simbolCont(new QLineEdit), m_incasari(new MoneyEdit), m_plati(new MoneyEdit),
      m_currencies(new PickListCombo), m_categories(new PickListCombo),
      m_btAdauga(new QPushButton(QStringLiteral("+"))),
      m_btInchide(new QPushButton(QStringLiteral("Inchide")))
{
    setWindowTitle(QStringLiteral("Adauga operatie cu casa"));
    m_nrActCasa->setMaxLength(30);
    m_nrAnexa->setMaxLength(30);
    m_explicatii->setMaxLength(100);
    m_simbolCont->setMaxLength(30);
    m_incasari->setPrompter(prompter);
    m_plati->setPrompter(prompter);
    m_btAdauga->setToolTip(QStringLiteral("Adauga operatia curent"));
    m_btAdauga->setAutoDefault(false);
    m_btInchide->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Nr Act Casa"), m_nrActCasa);
    form->addRow(QStringLiteral("Nr Anexa"), m_nrAnexa);
    form->addRow(QStringLiteral("Explicatii"), m_explicatii);
    form->addRow(QStringLiteral("Simbol cont"), m_simbolCont);
    form->addRow(QStringLiteral("Incasari"), m_incasari);
    form->addRow(QStringLiteral("Plati"), m_plati);
    form->addRow(QStringLiteral("Moneda"), m_currencies);
    form->addRow(QStringLiteral("Categorie"), m_categories);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btAdauga);
    buttons->addWidget(m_btInchide);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(m_btAdauga, &QPushButton::clicked, this, &TfrmAdaugaRC::btAdaugaClick);
    connect(m_btInchide, &QPushButton::clicked, this, &QDialog::reject);

    runShowingErrors(&m_prompter, [this] {
        m_currencies->setItems(fillPickList(*m_currencyList, QStringLiteral("CodIso"),
                                            QStringLiteral("Nrzecimale"), m_prompter));
        m_categories->setItems(fillPickListFor(*m_categoryList, QStringLiteral("CategorieFacturi"),
                                               m_dm.companyId(), QStringLiteral("id")));
    });
    // A line must be in its sheet's currency: offer that one.
    if (m_rc.adoFisa.isOpen() && !m_rc.adoFisa.isEmpty()) {
        const int sheetCurrency =
            m_currencies->findText(m_rc.adoFisa.asString(QStringLiteral("Moneda")));
        if (sheetCurrency >= 0)
            m_currencies->setCurrentIndex(sheetCurrency);
    }
    clearBoxes();
}

void TfrmAdaugaRC::btAdaugaClick()
{
    if (!m_rc.adoFisa.isOpen() || m_rc.adoFisa.isEmpty()) {
        m_prompter.information(QStringLiteral("Nu exista  fisa in aceasta data."));
        return;
    }
    const qint64 sheet = m_rc.adoFisa.asInteger(QStringLiteral("id"));
    sheets::RegisterLine line;
    line.nrAnexa = m_nrAnexa->text();
    line.nrActCasa = m_nrActCasa->text();
    line.explicatii = m_explicatii->text();
    line.simbolCont = m_simbolCont->text();
    line.incasari = m_incasari->value().value_or(Money());
    line.plati = m_plati->value().value_or(Money());
    line.currency.code = m_currencies->currentText().left(3);
    line.currency.decimals = int(m_currencies->currentObject().value_or(2));
    line.categoryId = m_categories->currentObject().value_or(0);
    const bool added = runShowingErrors(&m_prompter, [&] {
        sheets::addRegisterLine(m_dm.cnc(), m_prompter, sheet, line);
        m_rc.adoDetaliiFisa.requery();
        m_rc.adoFisa.requeryKeepingPosition();
    });
    // A refused line stays in the boxes to be put right.
    if (added)
        clearBoxes();
}

void TfrmAdaugaRC::clearBoxes()
{
    m_nrActCasa->clear();
    m_nrAnexa->clear();
    m_explicatii->clear();
    m_simbolCont->clear();
    m_incasari->setValue(Money());
    m_plati->setValue(Money());
}
