#include "startup.h"

#include "prompter.h"

#include <QDir>
#include <QSettings>

#include <exception>

namespace startup {
namespace {

const QString Organisation = QStringLiteral("Corvanet");
const QString Application = QStringLiteral("Tarabix5");
const QString ValueName = QStringLiteral("CS_Tarabix5");

} // namespace

QString iniPath(const QString &programDir)
{
    return QDir(programDir).filePath(QString::fromLatin1(IniFileName));
}

QString databasePath(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("db/tarabix.db"));
}

int databaseKind(const QString &programDir)
{
    const QSettings ini(iniPath(programDir), QSettings::IniFormat);
    return ini.value(QStringLiteral("SetariBaza/tipBaza"), 0).toInt();
}

std::optional<QString> SystemConnectionStringStore::read()
{
    for (const QSettings::Scope scope : {QSettings::SystemScope, QSettings::UserScope}) {
        const QSettings s(QSettings::NativeFormat, scope, Organisation, Application);
        if (s.contains(ValueName))
            return s.value(ValueName).toString();
    }
    return std::nullopt;
}

void SystemConnectionStringStore::write(const QString &connectionString)
{
    {
        QSettings s(QSettings::NativeFormat, QSettings::SystemScope, Organisation, Application);
        s.setValue(ValueName, connectionString);
        s.sync();
        if (s.status() == QSettings::NoError)
            return;
    }
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    user.setValue(ValueName, connectionString);
}

bool connectSqlServer(ConnectionStringStore &store, ConnectionEditor &editor, Prompter &prompter,
                      const std::function<void(const QString &)> &open)
{
    QString connectionString;
    if (const std::optional<QString> stored = store.read()) {
        connectionString = *stored;
    } else {
        // First start: ask before any attempt, and keep the answer even when
        // the editor was cancelled.
        connectionString = editor.edit(connectionString);
        store.write(connectionString);
    }
    try {
        open(connectionString);
        return true;
    } catch (const std::exception &) {
        if (!prompter.confirm(QStringLiteral("Doriti sa stabiliti manual legatura la serverul sql?")))
            return false;
    }
    connectionString = editor.edit(connectionString);
    store.write(connectionString);
    open(connectionString);
    return true;
}

} // namespace startup
