#include "mainwindow.h"

#include "about.h"
#include "cashbook/regcasa.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "db/dberror.h"
#include "login.h"
#include "payments/chitanta.h"
#include "reports/reportengine.h"
#include "sales/confirmare.h"
#include "sales/factnoua.h"
#include "settings/clientnou.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

TfrmMain::TfrmMain(const WindowContext &context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_dm(context.dm), m_reports(context.reports),
      m_prompter(context.prompter), m_mdi(new QMdiArea), m_date(new QLabel)
{
    m_ctx.frame = this;
    setWindowTitle(QStringLiteral("Tarabix-5-"));
    setCentralWidget(m_mdi);
    buildToolbar();
    buildMenu();
    statusBar()->addWidget(m_date);
    lockMainControls(true);
    m_dm.state().onlineAccessOk = true;
    resize(1280, 800);
}

void TfrmMain::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Activitati"));
    m_toolbar->setObjectName(QStringLiteral("tlbMain"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolbar->setMovable(false);
    struct Button
    {
        const char *caption;
        const char *hint;
        bool visible;
    };
    const Button buttons[] = {
        {"Facturi/BC/Avize", "Adauga facturi/avize/BC", true},
        {"Contracte", "Adauga/Modifica Contract", true},
        {"Registrul de Casa", "Registru de casa", true},
        {"Incasari/Plati", "Adauga incasare/plata", true},
        {"Stocuri", "Stocuri", true},
        {"Raportari", "Raportari ", true},
        {"Fise service", "Fise service", false},
        {"Acte care expira", "Acte care expira", true},
        {"Bon Fiscal", "Bon Fiscal", true},
    };
    for (const Button &b : buttons) {
        const QString caption = QString::fromUtf8(b.caption);
        QAction *action = nullptr;
        if (caption == QLatin1String("Facturi/BC/Avize"))
            action = m_toolbar->addAction(caption, this, &TfrmMain::btFacturiClick);
        else if (caption == QLatin1String("Incasari/Plati"))
            action = m_toolbar->addAction(caption, this, &TfrmMain::btIncasariClick);
        else if (caption == QLatin1String("Registrul de Casa"))
            action = m_toolbar->addAction(caption, this, &TfrmMain::btRegistruCasaClick);
        else
            action =
                m_toolbar->addAction(caption, this, [this, caption] { notAvailable(caption); });
        action->setToolTip(QString::fromUtf8(b.hint));
        action->setVisible(b.visible);
    }
}

void TfrmMain::buildMenu()
{
    m_program = menuBar()->addMenu(QStringLiteral("Program"));
    m_program->setObjectName(QStringLiteral("Program1"));
    m_templates = m_program->addMenu(QStringLiteral("Editare Rapoarte"));
    const QList<QPair<const char *, const char *>> items = {
        {"Contract", "Contract"},
        {"Factura", "Factura"},
        {"Factura+Chitanta", "FacturasiChit"},
        {"Chitanta", "Chitanta"},
        {"Dispozitie plata/incasare", "Dispozitie"},
        {"Registru Casa", "RegCasa"},
        {"NIR", "NIR"},
        {"BC", "BC"},
        {"Aviz", "Aviz"},
        {"Fisa Magazie", "FisaMagazie"},
        {"Inventar stocuri", "Inventar"},
        {"Statistica", "Raportare"},
        {"Acte Expira", "Acteexpira"},
        {"FisaService", "FisaService"},
    };
    for (const auto &[caption, title] : items) {
        const QString templateTitle = QString::fromLatin1(title);
        m_templateActions.insert(
            templateTitle,
            m_templates->addAction(QString::fromLatin1(caption), this,
                                   [this, templateTitle] { editTemplate(templateTitle); }));
    }
    m_exit = m_program->addAction(QStringLiteral("Iesire program"), this,
                                  &TfrmMain::Iesireprogram1Click);

    m_options = menuBar()->addMenu(QStringLiteral("Optiuni"));
    m_options->setObjectName(QStringLiteral("Optiuni1"));
    for (const char *caption : {"Setari", "Lista de servicii", "Raportari"}) {
        const QString text = QString::fromLatin1(caption);
        m_options->addAction(text, this, [this, text] { notAvailable(text); });
    }
    m_about = menuBar()->addAction(QStringLiteral("Despre"), this, &TfrmMain::Despre1Click);
}

void TfrmMain::lockMainControls(bool locked)
{
    m_locked = locked;
    m_toolbar->setVisible(!locked);
    m_program->setEnabled(!locked);
    m_options->setEnabled(!locked);
    m_about->setEnabled(!locked);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_date->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
}

void TfrmMain::showLogin()
{
    auto *login = new TfrmPwd(m_dm, m_prompter, *this);
    QMdiSubWindow *sub =
        m_mdi->addSubWindow(login, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(login->windowTitle());
    sub->adjustSize();
    sub->show();
    // Centred on the frame.
    const QSize area = m_mdi->viewport()->size();
    sub->move(qMax(0, (area.width() - sub->width()) / 2),
              qMax(0, (area.height() - sub->height()) / 2));
    login->activate();
}

void TfrmMain::CreateChildForm(const QString &caption)
{
    if (!m_ctx.companies)
        return;
    auto *window = new TfrmClientNou(m_dm, m_prompter, *m_ctx.companies);
    window->setWindowTitle(caption);
    QMdiSubWindow *sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    lockMainControls(true);
    connect(sub, &QObject::destroyed, this, [this] { lockMainControls(false); });
    sub->show();
}

// The child windows go first, while the frame they report to is whole.
TfrmMain::~TfrmMain()
{
    const QList<QMdiSubWindow *> children = m_mdi->subWindowList();
    for (QMdiSubWindow *sub : children) {
        disconnect(sub, nullptr, this, nullptr);
        delete sub;
    }
}

void TfrmMain::openChild(QWidget *window, bool lockToolbar)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (lockToolbar) {
        m_toolbar->setEnabled(false);
        connect(sub, &QObject::destroyed, this, [this] { m_toolbar->setEnabled(true); });
    }
    sub->showMaximized();
}

void TfrmMain::btRegistruCasaClick()
{
    auto *window = new TfrmRC(m_ctx);
    window->setWindowTitle(QStringLiteral("Registrul de Casa"));
    openChild(window, true);
}

void TfrmMain::btIncasariClick()
{
    TfrmConfirmareIncasare chooser(this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    m_dm.state().openedFromInvoice = false;
    m_dm.adoClienti.close();
    switch (chooser.choice()) {
    case 0:
        openChild(new TfrmChitanta(m_ctx, TfrmChitanta::Entry::Add), true);
        break;
    case 1:
        openChild(new TfrmChitanta(m_ctx, TfrmChitanta::Entry::Browse), true);
        break;
    default:
        notAvailable(QStringLiteral("Plati"));
        break;
    }
}

void TfrmMain::openCollectionOfInvoice(qint64 invoiceId, qint64 clientId,
                                       const QString &clientSearch, const QString &method)
{
    m_dm.state().openedFromInvoice = true;
    auto *window = new TfrmChitanta(m_ctx, TfrmChitanta::Entry::FromInvoice);
    window->setInvoiceToCollect(invoiceId);
    window->startFromInvoice(clientSearch, clientId, method);
    openChild(window, true);
}

void TfrmMain::btFacturiClick()
{
    TfrmConfirmareFactura chooser(this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    switch (chooser.choice()) {
    case 0:
        openChild(new TfrmFactNoua(m_ctx, TfrmFactNoua::Entry::Issue), true);
        break;
    case 1:
        notAvailable(QStringLiteral("Vizualizare sau validare factura/aviz/BC anterior"));
        break;
    default:
        openChild(new TfrmFactNoua(m_ctx, TfrmFactNoua::Entry::Supplier), true);
        break;
    }
}

void TfrmMain::loginSucceeded()
{
    lockMainControls(false);
    m_templates->setEnabled(true);
}

void TfrmMain::notAvailable(const QString &caption)
{
    m_prompter.information(QStringLiteral("Fereastra \"") + caption +
                           QStringLiteral("\" nu este disponibila inca in aceasta versiune."));
}

void TfrmMain::editTemplate(const QString &title)
{
    try {
        m_reports.currentDesignerTitle = title;
        m_reports.printTemplate(m_dm.companyId(), title, {}, {}, true);
    } catch (const std::exception &e) {
        m_prompter.error(errorDisplayText(e));
    }
}

void TfrmMain::Iesireprogram1Click()
{
    close();
}

void TfrmMain::Despre1Click()
{
    TFrmDespre about(m_dm, m_prompter, this);
    about.exec();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_quitting || m_prompter.confirm(QStringLiteral("Doriti sa inchideti aplicatia?"))) {
        m_quitting = true;
        event->accept();
        QApplication::quit();
        return;
    }
    event->ignore();
}
