#include "login.h"

#include "core/password.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "mainwindow.h"
#include "widgets/dbgrid.h"
#include "widgets/dbnavigator.h"
#include "widgets/windowparts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPwd::TfrmPwd(Tdm &dm, Prompter &prompter, TfrmMain &frame, QWidget *parent)
    : QWidget(parent), m_dm(dm), m_prompter(prompter), m_frame(frame), m_company(new QLineEdit),
      m_companies(new DbNavigator(dm.adoSetari, prompter)),
      m_employees(new DbGrid(dm.adoAngajati, prompter,
                             {{QStringLiteral("Nume"), QStringLiteral("Nume")}, {QStringLiteral("Prenume"), QStringLiteral("Prenume")}})),
      m_password(new QLineEdit), m_confirm(new QPushButton(QStringLiteral("Confirma"))),
      m_cancel(new QPushButton(QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("Parola"));
    m_company->setReadOnly(true);
    m_company->setToolTip(QStringLiteral("Puteti configura  multiple societati din Setari"));
    m_companies->setVisibleButtons(DbNavigator::Prior | DbNavigator::Next);
    m_employees->setMinimumHeight(140);
    m_employees->horizontalHeader()->setStretchLastSection(true);
    m_password->setEchoMode(QLineEdit::Password);
    m_confirm->setDefault(true);

    auto *companyRow = new QHBoxLayout;
    companyRow->addWidget(m_company, 1);
    companyRow->addWidget(m_companies);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Firma"), companyRow);
    form->addRow(QStringLiteral("Utilizator"), m_employees);
    form->addRow(QStringLiteral("Parola"), m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Selectati firma, operatorul si parola de acces"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("Programul necesita  Romanian in Regional Settings")));

    connect(m_confirm, &QPushButton::clicked, this, &TfrmPwd::btConfirmaClick);
    connect(m_cancel, &QPushButton::clicked, this, &TfrmPwd::btCancelClick);
    connect(m_password, &QLineEdit::returnPressed, this, &TfrmPwd::btConfirmaClick);
    // A double click picks the employee; it never fills in the password.
    connect(m_employees, &DbGrid::rowDoubleClicked, this, [this] { m_password->setFocus(); });
    connect(&m_dm.adoSetari, &Dataset::currentChanged, this, &TfrmPwd::showCompany);
    showCompany();
}

void TfrmPwd::showCompany()
{
    m_company->setText(m_dm.adoSetari.isOpen() && !m_dm.adoSetari.isEmpty()
                           ? m_dm.adoSetari.asString(QStringLiteral("NumeFirma"))
                           : QString());
}

void TfrmPwd::activate()
{
    Dataset &staff = m_dm.adoAngajati;
    staff.close();
    staff.setParam(0, m_dm.companyId());
    staff.open();
    m_password->setFocus();
}

void TfrmPwd::btConfirmaClick()
{
    const Dataset &staff = m_dm.adoAngajati;
    const bool match = staff.isOpen() && !staff.isEmpty()
                       && verifyPassword(m_password->text(), staff.asString(QStringLiteral("Parola")));
    if (!match) {
        m_prompter.information(QStringLiteral("Parola incorecta"));
        m_password->clear();
        return;
    }
    m_loggedIn = true;
    m_frame.loginSucceeded();
    closeWindow(this);
}

void TfrmPwd::btCancelClick()
{
    QApplication::exit(0);
}

void TfrmPwd::closeEvent(QCloseEvent *event)
{
    if (m_loggedIn)
        event->accept();
    else
        event->ignore();
}
