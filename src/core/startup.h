#pragma once

#include <QString>

#include <functional>
#include <optional>

class Prompter;

// Where the program keeps its configuration file and its database: beside
// the executable, whatever the working directory.
namespace startup {

inline constexpr const char *IniFileName = "Tarabix5.ini";
QString iniPath(const QString &programDir);
QString databasePath(const QString &programDir);

// SetariBaza/tipBaza of the configuration file: 0 (also when the file or the
// key is missing) for the embedded database, anything else for a server.
int databaseKind(const QString &programDir);

// The per-machine store of the server connection string.
class ConnectionStringStore
{
public:
    virtual ~ConnectionStringStore() = default;
    // nullopt when the value does not exist at all.
    virtual std::optional<QString> read() = 0;
    virtual void write(const QString &connectionString) = 0;
};

// The machine-wide settings (organisation "Corvanet", application
// "Tarabix5", value "CS_Tarabix5"); when the machine-wide file cannot be
// written the user's own settings take the value.
class SystemConnectionStringStore : public ConnectionStringStore
{
public:
    std::optional<QString> read() override;
    void write(const QString &connectionString) override;
};

// Lets the user build or pick a connection string. Returns what the editor
// holds when it closes: the string it was given when the user cancels.
class ConnectionEditor
{
public:
    virtual ~ConnectionEditor() = default;
    virtual QString edit(const QString &current) = 0;
};

// Resolves the server connection string through the store and the editor
// and opens it with `open`, which throws on failure. Returns false when the
// user chose not to connect and the program must end. A failure of the
// second attempt is thrown to the caller.
bool connectSqlServer(ConnectionStringStore &store, ConnectionEditor &editor, Prompter &prompter,
                      const std::function<void(const QString &)> &open);

} // namespace startup
