#pragma once

#include <QString>

class Connection;

// The program's own SQLite file: its identity, its schema version and how
// it comes into being.
namespace database {

// Written into the SQLite header; a file without it is not ours.
constexpr int ApplicationId = 0x54726278; // "Trbx"
// The schema version this program writes; migrations advance older files.
int schemaVersion();

// Opens the database at `path`. A missing file is created with the schema
// and a first day's configuration (built beside it and moved into place
// when complete). A file that exists but is not a database of this program,
// or comes from a newer version, is never touched: DbError is thrown.
void openOrCreate(Connection &connection, const QString &path);

// Advances an open database of this program to schemaVersion(), one
// version at a time, each in its own transaction.
void migrate(Connection &connection);

} // namespace database
