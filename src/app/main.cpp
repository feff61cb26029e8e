#include "core/appstate.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "frame/connectioneditor.h"
#include "frame/mainwindow.h"
#include "widgets/messageboxprompter.h"

#include <QApplication>
#include <QCommandLineParser>

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
                                  QStringLiteral("Folder holding Tarabix5.ini and db/ (default: beside the program)."),
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

    TfrmMain frame;
    prompter.setParent(&frame);
    frame.show();
    return QApplication::exec();
}
