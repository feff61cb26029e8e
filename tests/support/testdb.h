#pragma once

#include "db/connection.h"

#include <QTemporaryDir>

#include <memory>

// A real database file, built by the same code that creates a user's
// database, in a temporary folder removed at the end of the test.
class TestDb
{
public:
    TestDb();
    Connection &connection() { return m_connection; }
    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // The first own company and its default work point.
    qint64 companyId();
    qint64 workPointId();

    // Every row of every table, in key order: equal dumps mean equal data.
    QString dump();

private:
    QTemporaryDir m_dir;
    QString m_path;
    Connection m_connection;
};
