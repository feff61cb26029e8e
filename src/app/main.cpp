#include "core/appstate.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "frame/connectioneditor.h"
#include "frame/mainwindow.h"
#include "mail/keychainstore.h"
#include "mail/mailsettings.h"
#include "reports/reportengine.h"
#include "reports/reportwindows.h"
#include "settings/companylookup.h"
#include "settings/webclient.h"
#include "settings/webfetcher.h"
#include "settings/websettings.h"
#include "widgets/messageboxprompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tarabix --5.0--"));
    QApplication::setApplicationVersion(QStringLiteral("5.1.0"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Tarabix: facturi, stocuri, incasari si registru de casa"));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Folder holding Tarabix5.ini, db/ and documente/ (default: beside the program)."),
                                  QStringLiteral("folder"));
    options.addOption(home);
    options.process(app);
    const QString programDir = options.isSet(home) ? options.value(home) : QApplication::applicationDirPath();

    AppState state;
    MessageBoxPrompter prompter;
    startup::SystemConnectionStringStore connectionStore;
    DialogConnectionEditor connectionEditor;
    Tdm dm(state, prompter);
    if (!dm.start({programDir, connectionStore, connectionEditor}))
        return 1;
    TdmRC rc(dm);

    ReportEngine reports(dm, rc, prompter);
    reports.setDocumentsDir(QDir(programDir).filePath(QStringLiteral("documente")));
    KeychainStore keychain;
    const MailSettings mailSettings = readMailSettings(QSettings(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvanet"), QStringLiteral("Tarabix5")));
    WindowReportHost reportWindows(reports, prompter, keychain, mailSettings);
    reports.setHost(&reportWindows);

    const WebSettings webSettings;
    WebClient web(webSettings, state, prompter);
    CompanyLookup companyLookup(web);

    WebFetcher rates(web);

    TfrmMain frame({dm, rc, prompter, reports, &rates, &companyLookup, nullptr});
    prompter.setParent(&frame);
    reportWindows.setParent(&frame);
    frame.showMaximized();
    frame.showLogin();
    return QApplication::exec();
}
