#pragma once

#include <QString>

#include <optional>

class Connection;

// The connection string of a server database, as the per-machine store
// keeps it: "Provider=QPSQL;Host=...;Port=...;Database=...;User ID=...;
// Password=..." for PostgreSQL, or "Provider=QODBC;" followed by an ODBC
// connection string for SQL Server. The provider names the Qt SQL driver.
struct ServerConnectionString
{
    QString provider; // QPSQL or QODBC
    QString host;
    int port = 0;
    QString database;
    QString user;
    QString password;
    QString options; // QPSQL connect options
    QString odbc;    // the ODBC connection string (QODBC)

    static std::optional<ServerConnectionString> parse(const QString &text);
    QString toString() const;
};

// Opens `connection` on the server the string names. Throws DbError when
// the string cannot be read or the server refuses.
void openServer(Connection &connection, const QString &connectionString);
