#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// A statement without rows: text, positional parameters, execute.
class Command
{
public:
    explicit Command(Connection &connection, const QString &sql = {});

    Connection &connection() const { return m_connection; }
    // A text with other parameters clears their values.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    int paramCount() const { return int(m_params.size()); }
    void setParam(int position, const QVariant &value);
    void setParams(const QVariantList &values);
    // Runs the statement; returns the number of rows it changed. Throws DbError.
    int execute();

private:
    Connection &m_connection;
    QString m_sql;
    QStringList m_paramNames;
    QVariantList m_params;
};
