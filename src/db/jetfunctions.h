#pragma once
struct sqlite3;
// Registers the Jet functions the program's SQL uses on an open SQLite handle.
// Returns false when a registration fails.
bool registerJetFunctions(sqlite3 *db);
