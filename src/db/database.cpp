#include "database.h"

#include "connection.h"
#include "dberror.h"
#include "firstday.h"
#include "schema.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>

#include <functional>
#include <vector>

namespace database {
namespace {

struct Migration
{
    int version;
    std::function<void(Connection &)> apply;
};

// Indexes cost nothing to keep and a lot to miss: every one the program
// knows is created when missing, at every open. Returns how many were made.
int ensureIndexes(Connection &c)
{
    QSet<QString> present;
    c.read(QStringLiteral("select name from sqlite_master where type = 'index'"), {},
           [&present](QSqlQuery &q) {
               while (q.next())
                   present.insert(q.value(0).toString().toLower());
           });
    std::vector<const schema::Index *> missing;
    for (const schema::Index &index : schema::indexes()) {
        if (!present.contains(QString::fromLatin1(index.name).toLower()))
            missing.push_back(&index);
    }
    // A database that has them all is not written to.
    if (missing.empty())
        return 0;
    Transaction t(c);
    for (const schema::Index *index : missing)
        c.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS ") + QLatin1String(index->name) +
               QStringLiteral(" ON ") + QLatin1String(index->table) + QStringLiteral(" (") +
               QLatin1String(index->columns) + u')');
    t.commit();
    return int(missing.size());
}

const std::vector<Migration> &migrations()
{
    static const std::vector<Migration> steps = {
        {1,
         [](Connection &c) {
             for (const QString &statement : schema::sqliteStatements())
                 c.exec(statement);
         }},
        // Indexes added since version 1 (see also ensureIndexes).
        {2, [](Connection &c) { ensureIndexes(c); }},
    };
    return steps;
}

int userVersion(Connection &c)
{
    return c.scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

// Reads the SQLite header of an existing file: whether it is an SQLite
// database at all and the application id stamped into it.
bool readHeader(const QString &path, quint32 &applicationId)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = f.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return false;
    applicationId = (quint32(quint8(header[68])) << 24) | (quint32(quint8(header[69])) << 16) |
                    (quint32(quint8(header[70])) << 8) | quint32(quint8(header[71]));
    return true;
}

void create(const QString &path)
{
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-wal"));
    QFile::remove(building + QStringLiteral("-shm"));
    {
        Connection c;
        c.openSqlite(building);
        Transaction t(c);
        c.exec(QStringLiteral("PRAGMA application_id=%1").arg(ApplicationId));
        migrate(c);
        firstday::populate(c);
        t.commit();
        c.close();
    }
    if (!QFile::rename(building, path))
        throw DbError::database(QStringLiteral("cannot move the new database into place: ") + path);
}

} // namespace

int schemaVersion()
{
    return migrations().back().version;
}

void migrate(Connection &connection)
{
    const int current = userVersion(connection);
    if (current > schemaVersion())
        throw DbError::database(QStringLiteral("the database was written by a newer version of the "
                                               "program (schema %1, this program knows %2)")
                                    .arg(current)
                                    .arg(schemaVersion()));
    for (const Migration &m : migrations()) {
        if (m.version <= current)
            continue;
        Transaction t(connection);
        m.apply(connection);
        connection.exec(QStringLiteral("PRAGMA user_version=%1").arg(m.version));
        t.commit();
    }
    ensureIndexes(connection);
}

void openOrCreate(Connection &connection, const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || (info.isFile() && info.size() == 0)) {
        if (!QDir().mkpath(info.absolutePath()))
            throw DbError::database(QStringLiteral("cannot create the folder ") +
                                    info.absolutePath());
        if (info.exists())
            QFile::remove(path);
        create(path);
    } else {
        quint32 id = 0;
        if (!info.isFile() || !readHeader(path, id))
            throw DbError::database(path + QStringLiteral(" is not a database file"));
        if (id != quint32(ApplicationId))
            throw DbError::database(path + QStringLiteral(" is a database of another program"));
    }
    connection.openSqlite(path);
    connection.setNamedQueries(schema::namedQueries());
    migrate(connection);
}

} // namespace database
