#pragma once

#include "dialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;

// A text ready for the engine: translated, with :name parameters turned
// into positional placeholders.
struct PreparedSql
{
    QString sql;
    QStringList parameterNames;
};

// The one database connection of a run. Every dataset and command goes
// through it; it owns the dialect and the translation of Access-dialect
// text for the engine.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens (creating when missing) an SQLite file with the program's
    // settings: WAL, synchronous FULL, a busy timeout and the Access-dialect
    // functions. Throws DbError.
    void openSqlite(const QString &path);
    // Opens a server database through the Qt SQL driver `driver` (QPSQL or
    // QODBC). Throws DbError.
    void openServer(const QString &driver, const QString &host, int port, const QString &database,
                    const QString &user, const QString &password, const QString &options);
    void close();
    bool isOpen() const;

    const Dialect &dialect() const { return m_dialect; }
    Engine engine() const { return m_dialect.engine(); }
    QSqlDatabase database() const;
    QString databasePath() const { return m_path; }

    // Saved queries called by name: a text that is exactly one of these
    // names stands for its SQL.
    void setNamedQueries(const QHash<QString, QString> &queries);

    // Translates and caches `sql` (named query, engine syntax, parameters).
    const PreparedSql &prepare(const QString &sql);
    // Runs `sql` with positional values; throws DbError. The query is
    // returned active for reading.
    QSqlQuery run(const QString &sql, const QVariantList &values = {});
    // Runs `sql` and hands the active query to `read`, which must not keep
    // it. The statement stays prepared for the next call with the same text,
    // so that statements run again and again are parsed once.
    void read(const QString &sql, const QVariantList &values,
              const std::function<void(QSqlQuery &)> &read);
    // Runs a statement; returns the number of rows it affected.
    int exec(const QString &sql, const QVariantList &values = {});
    // First column of the first row, or a null QVariant.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    // Inserts one row and returns the key the database gave it.
    qint64 insert(const QString &table, const QStringList &columns, const QVariantList &values,
                  const QString &keyColumn = QStringLiteral("id"));

    // Column names of a table, in table order (cached).
    QStringList tableColumns(const QString &table);

    // Runs `action` once the work in progress is committed: at once outside
    // a transaction, never when the transaction rolls back. For messages that
    // must not announce a success that did not happen.
    void afterCommit(std::function<void()> action);

    // Transaction nesting, used by Transaction.
    int transactionDepth() const { return m_transactionDepth; }
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();

private:
    QSqlQuery execPrepared(const PreparedSql &prepared, const QVariantList &values,
                           const QString &originalSql);
    void readKept(const PreparedSql &prepared, const QVariantList &values,
                  const QString &originalSql, const std::function<void(QSqlQuery &)> &read);
    void bindAndExec(QSqlQuery &q, const PreparedSql &prepared, const QVariantList &values,
                     const QString &originalSql);

    // Statements kept prepared, by engine text; one in use is never shared.
    struct Kept;
    QHash<QString, std::shared_ptr<Kept>> m_kept;

    QString m_name;
    QString m_path;
    Dialect m_dialect;
    QHash<QString, QString> m_namedQueries;
    QHash<QString, PreparedSql> m_prepared;
    QHash<QString, QStringList> m_columns;
    int m_transactionDepth = 0;
    struct Pending
    {
        int depth;
        std::function<void()> action;
    };
    std::vector<Pending> m_afterCommit;
};
