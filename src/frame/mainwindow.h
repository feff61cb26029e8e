#pragma once

#include "windowcontext.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class Prompter;
class ReportEngine;
class Tdm;
class CompanyLookup;

// The frame every window of the program opens in: the toolbar of the main
// activities, the menu with the template editor, settings and exit, and the
// status bar with today's date. Locked until a login succeeds.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(const WindowContext &context, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The context the windows opened from here receive.
    const WindowContext &context() const { return m_ctx; }

    // Hides the toolbar and disables the menus (locked), or the reverse.
    void lockMainControls(bool locked);
    bool isLocked() const { return m_locked; }
    // Opens the new-client window with this caption; the frame stays locked
    // until it closes.
    void CreateChildForm(const QString &caption);
    // Opens the login window inside the frame.
    void showLogin();
    // The login succeeded: the frame and the template editor open up.
    void loginSucceeded();

    QMdiArea *mdiArea() const { return m_mdi; }
    QToolBar *toolbar() const { return m_toolbar; }
    QAction *templateAction(const QString &title) const { return m_templateActions.value(title); }
    QAction *exitAction() const { return m_exit; }
    QMenu *programMenu() const { return m_program; }
    QMenu *optionsMenu() const { return m_options; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildToolbar();
    void buildMenu();
    void notAvailable(const QString &caption);
    void btFacturiClick();
    void btRegistruCasaClick();
    void btIncasariClick();
public:
    // Opens the receipts window on an invoice just validated.
    void openCollectionOfInvoice(qint64 invoiceId, qint64 clientId, const QString &clientSearch, const QString &method);
private:
    // Shows a window inside the frame; the toolbar is off while it is open.
    void openChild(QWidget *window, bool lockToolbar);
    void editTemplate(const QString &title);
    void Iesireprogram1Click();
    void Despre1Click();

    WindowContext m_ctx;
    Tdm &m_dm;
    ReportEngine &m_reports;
    Prompter &m_prompter;
    QMdiArea *m_mdi;
    QToolBar *m_toolbar = nullptr;
    QMenu *m_program = nullptr;
    QMenu *m_options = nullptr;
    QMenu *m_templates = nullptr;
    QAction *m_about = nullptr;
    QAction *m_exit = nullptr;
    QLabel *m_date;
    QHash<QString, QAction *> m_templateActions;
    bool m_locked = true;
    bool m_quitting = false;
};
