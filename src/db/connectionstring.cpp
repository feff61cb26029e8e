#include "connectionstring.h"

#include "connection.h"
#include "dberror.h"

#include <QStringList>

namespace {

// Splits "a=b;c={x;y};" into pairs; braces protect semicolons.
QList<QPair<QString, QString>> pairs(const QString &text)
{
    QList<QPair<QString, QString>> out;
    QString current;
    int braces = 0;
    auto flush = [&] {
        const qsizetype eq = current.indexOf(u'=');
        if (eq > 0)
            out.append({current.left(eq).trimmed(), current.mid(eq + 1).trimmed()});
        current.clear();
    };
    for (const QChar c : text) {
        if (c == u'{')
            ++braces;
        else if (c == u'}' && braces > 0)
            --braces;
        if (c == u';' && braces == 0)
            flush();
        else
            current += c;
    }
    flush();
    return out;
}

bool isKey(const QString &key, std::initializer_list<const char *> names)
{
    for (const char *n : names) {
        if (key.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<ServerConnectionString> ServerConnectionString::parse(const QString &text)
{
    ServerConnectionString s;
    QStringList odbcParts;
    for (const auto &[key, value] : pairs(text)) {
        if (isKey(key, {"Provider"})) {
            s.provider = value.toUpper();
            continue;
        }
        odbcParts << key + u'=' + value;
        if (isKey(key, {"Host", "Server", "Data Source"}))
            s.host = value;
        else if (isKey(key, {"Port"}))
            s.port = value.toInt();
        else if (isKey(key, {"Database", "Initial Catalog"}))
            s.database = value;
        else if (isKey(key, {"User ID", "UID", "User"}))
            s.user = value;
        else if (isKey(key, {"Password", "PWD"}))
            s.password = value;
        else if (isKey(key, {"Options"}))
            s.options = value;
    }
    if (s.provider == QLatin1String("QODBC")) {
        s.odbc = odbcParts.join(u';');
        return s;
    }
    if (s.provider == QLatin1String("QPSQL") && !s.database.isEmpty())
        return s;
    return std::nullopt;
}

QString ServerConnectionString::toString() const
{
    if (provider == QLatin1String("QODBC"))
        return QStringLiteral("Provider=QODBC;") + odbc;
    QStringList parts{QStringLiteral("Provider=QPSQL"), QStringLiteral("Host=") + host};
    if (port > 0)
        parts << QStringLiteral("Port=") + QString::number(port);
    parts << QStringLiteral("Database=") + database << QStringLiteral("User ID=") + user
          << QStringLiteral("Password=") + password;
    if (!options.isEmpty())
        parts << QStringLiteral("Options=") + options;
    return parts.join(u';');
}

void openServer(Connection &connection, const QString &connectionString)
{
    const auto s = ServerConnectionString::parse(connectionString);
    if (!s)
        throw DbError::database(
            QStringLiteral("Connection string not understood: it needs Provider=QPSQL with a "
                           "Database, or Provider=QODBC with an ODBC connection string"));
    if (s->provider == QLatin1String("QODBC"))
        connection.openServer(s->provider, QString(), 0, s->odbc, QString(), QString(), QString());
    else
        connection.openServer(s->provider, s->host, s->port, s->database, s->user, s->password,
                              s->options);
}
