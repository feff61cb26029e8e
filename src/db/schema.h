#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The tables of the database, column by column in their order, and the
// saved queries that datasets call by name.
namespace schema {

enum class ColumnType { Id, Int32, Int16, UInt8, Money, Decimal, Double, Bool, DateTime, Text, Memo, Blob };

struct Column
{
    const char *name;
    ColumnType type;
    int length = 0; // for Text
};

struct Table
{
    const char *name;
    std::vector<Column> columns;
};

struct Index
{
    const char *name;
    const char *table;
    const char *columns;
};

const std::vector<Table> &tables();
const std::vector<Index> &indexes();
const Table *findTable(const QString &name);

// CREATE TABLE and CREATE INDEX statements for SQLite.
QStringList sqliteStatements();

// Saved queries, by name; their SQL is written in the Access dialect.
const QHash<QString, QString> &namedQueries();

} // namespace schema
