#pragma once

#include <QString>
#include <QVariant>

enum class Engine {
    SQLite,     // the embedded default
    PostgreSQL, // shared server
    SqlServer,  // shared server through ODBC
};

// Makes SQL written in the Access dialect valid for the engine in use.
//
// Two layers: the rewrites a server needs (booleans, join parentheses,
// DISTINCTROW, now(), strconv), applied by the adapt* calls of the code that
// prepares a text for a server; and the syntax SQLite cannot read, applied to
// every text on its way to SQLite. Neither touches quoted literals or parts
// of longer identifiers.
class Dialect
{
public:
    explicit Dialect(Engine engine = Engine::SQLite) : m_engine(engine) {}

    Engine engine() const { return m_engine; }
    // True for every server engine: the texts that exist twice pick the
    // server one, and the adapt* rewrites are switched on.
    bool serverMode() const { return m_engine != Engine::SQLite; }

    // Full rule list for a query that returns rows.
    QString adaptDataset(const QString &sql) const;
    // Rules for a statement without rows: booleans and join parentheses.
    QString adaptCommand(const QString &sql) const;
    // Boolean literals only.
    QString adaptBooleans(const QString &sql) const;

    // What every text goes through right before the engine sees it.
    QString toEngine(const QString &sql) const;

    // A value as the engine stores it: Money, QDate and QDateTime become the
    // engine's representation, bool becomes 0/1.
    QVariant toDb(const QVariant &value) const;

private:
    Engine m_engine;
};
