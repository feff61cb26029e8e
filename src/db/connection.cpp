#include "connection.h"

#include "dberror.h"
#include "jetfunctions.h"
#include "sqltext.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

#include <sqlite3.h>

namespace {

QAtomicInt connectionCounter;

QString errorText(const QSqlError &e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    const QString driver = e.driverText().trimmed();
    if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    return text;
}

} // namespace

Connection::Connection()
    : m_name(QStringLiteral("tarabix-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{}

Connection::~Connection()
{
    close();
}

void Connection::openSqlite(const QString &path)
{
    close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            const QString message = errorText(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError::database(message);
        }
        const QVariant handle = db.driver()->handle();
        sqlite3 *raw =
            handle.isValid() ? *static_cast<sqlite3 *const *>(handle.constData()) : nullptr;
        if (raw == nullptr || !registerJetFunctions(raw)) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError::database(QStringLiteral("cannot register the SQL functions on ") + path);
        }
    }
    m_path = path;
    m_dialect = Dialect(Engine::SQLite);
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // Years of documents: keep up to 64 MB of pages in memory.
    exec(QStringLiteral("PRAGMA cache_size=-65536"));
}

void Connection::openServer(const QString &driver, const QString &host, int port,
                            const QString &database, const QString &user, const QString &password,
                            const QString &options)
{
    close();
    {
        if (!QSqlDatabase::isDriverAvailable(driver))
            throw DbError::database(QStringLiteral("driver not available: ") + driver);
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
        db.setHostName(host);
        if (port > 0)
            db.setPort(port);
        db.setDatabaseName(database);
        db.setUserName(user);
        db.setPassword(password);
        db.setConnectOptions(options);
        if (!db.open()) {
            const QString message = errorText(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError::database(message);
        }
    }
    m_path.clear();
    m_dialect = Dialect(driver == QLatin1String("QPSQL") ? Engine::PostgreSQL : Engine::SqlServer);
}

struct Connection::Kept
{
    explicit Kept(const QSqlDatabase &db) : query(db) {}
    QSqlQuery query;
    bool busy = false;
};

void Connection::close()
{
    m_kept.clear();
    m_prepared.clear();
    m_columns.clear();
    m_transactionDepth = 0;
    m_afterCommit.clear();
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

void Connection::setNamedQueries(const QHash<QString, QString> &queries)
{
    m_namedQueries.clear();
    for (auto it = queries.cbegin(); it != queries.cend(); ++it)
        m_namedQueries.insert(it.key().toLower(), it.value());
    m_prepared.clear();
}

const PreparedSql &Connection::prepare(const QString &sql)
{
    auto it = m_prepared.constFind(sql);
    if (it != m_prepared.cend())
        return *it;
    QString text = sql;
    const auto named = m_namedQueries.constFind(sql.trimmed().toLower());
    if (named != m_namedQueries.cend())
        text = *named;
    const sqltext::Parameters p = sqltext::extractParameters(m_dialect.toEngine(text));
    return *m_prepared.insert(sql, PreparedSql{p.sql, p.names});
}

void Connection::bindAndExec(QSqlQuery &q, const PreparedSql &prepared, const QVariantList &values,
                             const QString &originalSql)
{
    const qsizetype count = prepared.parameterNames.size();
    for (qsizetype i = 0; i < count; ++i)
        q.bindValue(int(i), i < values.size() ? m_dialect.toDb(values[i]) : QVariant());
    if (!q.exec())
        throw DbError::database(errorText(q.lastError()) + QStringLiteral(" [") +
                                originalSql.simplified() + u']');
}

QSqlQuery Connection::execPrepared(const PreparedSql &prepared, const QVariantList &values,
                                   const QString &originalSql)
{
    if (!isOpen())
        throw DbError::database(QStringLiteral("Connection is not open"));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(prepared.sql))
        throw DbError::database(errorText(q.lastError()) + QStringLiteral(" [") +
                                originalSql.simplified() + u']');
    bindAndExec(q, prepared, values, originalSql);
    return q;
}

void Connection::readKept(const PreparedSql &prepared, const QVariantList &values,
                          const QString &originalSql, const std::function<void(QSqlQuery &)> &read)
{
    if (!isOpen())
        throw DbError::database(QStringLiteral("Connection is not open"));
    // A statement keeps the columns it was prepared with: after the shape of
    // a table changes, every kept statement is prepared anew.
    static const QRegularExpression schemaChange(QStringLiteral("^\\s*(create|alter|drop)\\b"),
                                                 QRegularExpression::CaseInsensitiveOption);
    if (schemaChange.match(prepared.sql).hasMatch()) {
        m_kept.clear();
        QSqlQuery q = execPrepared(prepared, values, originalSql);
        read(q);
        q.finish();
        return;
    }
    std::shared_ptr<Kept> kept = m_kept.value(prepared.sql);
    if (kept && kept->busy) {
        // The same text again while it is being read: a statement of its own.
        QSqlQuery q = execPrepared(prepared, values, originalSql);
        read(q);
        q.finish();
        return;
    }
    if (!kept) {
        auto fresh = std::make_shared<Kept>(database());
        fresh->query.setForwardOnly(true);
        if (!fresh->query.prepare(prepared.sql))
            throw DbError::database(errorText(fresh->query.lastError()) + QStringLiteral(" [") +
                                    originalSql.simplified() + u']');
        // A bound on what is kept: texts built with values in them would
        // otherwise pile up.
        if (m_kept.size() >= 512)
            m_kept.clear();
        m_kept.insert(prepared.sql, fresh);
        kept = fresh;
    }
    kept->busy = true;
    const auto release = qScopeGuard([&kept] {
        kept->query.finish();
        kept->busy = false;
    });
    bindAndExec(kept->query, prepared, values, originalSql);
    read(kept->query);
}

void Connection::read(const QString &sql, const QVariantList &values,
                      const std::function<void(QSqlQuery &)> &read)
{
    readKept(prepare(sql), values, sql, read);
}

QSqlQuery Connection::run(const QString &sql, const QVariantList &values)
{
    return execPrepared(prepare(sql), values, sql);
}

int Connection::exec(const QString &sql, const QVariantList &values)
{
    int affected = 0;
    read(sql, values, [&affected](QSqlQuery &q) { affected = q.numRowsAffected(); });
    return affected;
}

QVariant Connection::scalar(const QString &sql, const QVariantList &values)
{
    QVariant v;
    read(sql, values, [&v](QSqlQuery &q) {
        if (q.next())
            v = q.value(0);
    });
    return v;
}

qint64 Connection::insert(const QString &table, const QStringList &columns,
                          const QVariantList &values, const QString &keyColumn)
{
    QString sql = QStringLiteral("INSERT INTO ") + table;
    if (columns.isEmpty()) {
        sql += QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
               QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + u')';
    }
    PreparedSql prepared;
    if (engine() == Engine::SqlServer) {
        // OUTPUT goes between the column list and VALUES.
        const qsizetype at = sql.indexOf(columns.isEmpty() ? QStringLiteral(" DEFAULT VALUES")
                                                           : QStringLiteral(" VALUES ("));
        sql.insert(at, QStringLiteral(" OUTPUT INSERTED.") + keyColumn);
    } else {
        sql += QStringLiteral(" RETURNING ") + keyColumn;
    }
    prepared.sql = sql;
    for (qsizetype i = 0; i < columns.size(); ++i)
        prepared.parameterNames << columns[i];
    qint64 id = 0;
    readKept(prepared, values, sql, [&](QSqlQuery &q) {
        if (!q.next())
            throw DbError::database(QStringLiteral("the insert into ") + table +
                                    QStringLiteral(" returned no key"));
        id = q.value(0).toLongLong();
    });
    return id;
}

QStringList Connection::tableColumns(const QString &table)
{
    const QString key = table.toLower();
    auto it = m_columns.constFind(key);
    if (it != m_columns.cend())
        return *it;
    QStringList names;
    const QSqlRecord rec = database().record(table);
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    m_columns.insert(key, names);
    return names;
}

void Connection::beginTransaction()
{
    if (m_transactionDepth == 0) {
        switch (engine()) {
        case Engine::SQLite:
            exec(QStringLiteral("BEGIN IMMEDIATE"));
            break;
        case Engine::PostgreSQL:
            exec(QStringLiteral("BEGIN"));
            break;
        case Engine::SqlServer:
            exec(QStringLiteral("BEGIN TRANSACTION"));
            break;
        }
    } else {
        const QString name = QStringLiteral("sp%1").arg(m_transactionDepth);
        exec(engine() == Engine::SqlServer ? QStringLiteral("SAVE TRANSACTION ") + name
                                           : QStringLiteral("SAVEPOINT ") + name);
    }
    ++m_transactionDepth;
}

void Connection::commitTransaction()
{
    if (m_transactionDepth <= 0)
        throw DbError::database(QStringLiteral("commit without a transaction"));
    if (m_transactionDepth == 1) {
        exec(engine() == Engine::SqlServer ? QStringLiteral("COMMIT TRANSACTION")
                                           : QStringLiteral("COMMIT"));
    } else if (engine() != Engine::SqlServer) {
        exec(QStringLiteral("RELEASE SAVEPOINT sp%1").arg(m_transactionDepth - 1));
    }
    --m_transactionDepth;
    if (m_transactionDepth > 0) {
        for (Pending &p : m_afterCommit)
            p.depth = std::min(p.depth, m_transactionDepth);
        return;
    }
    std::vector<Pending> ready;
    ready.swap(m_afterCommit);
    for (const Pending &p : ready)
        p.action();
}

void Connection::afterCommit(std::function<void()> action)
{
    if (m_transactionDepth == 0)
        action();
    else
        m_afterCommit.push_back({m_transactionDepth, std::move(action)});
}

void Connection::rollbackTransaction()
{
    if (m_transactionDepth <= 0)
        return;
    const int depth = m_transactionDepth;
    m_transactionDepth = depth - 1;
    std::erase_if(m_afterCommit, [depth](const Pending &p) { return p.depth >= depth; });
    if (depth == 1) {
        exec(engine() == Engine::SqlServer ? QStringLiteral("ROLLBACK TRANSACTION")
                                           : QStringLiteral("ROLLBACK"));
    } else {
        const QString name = QStringLiteral("sp%1").arg(depth - 1);
        if (engine() == Engine::SqlServer) {
            exec(QStringLiteral("ROLLBACK TRANSACTION ") + name);
        } else {
            exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
            exec(QStringLiteral("RELEASE SAVEPOINT ") + name);
        }
    }
}
