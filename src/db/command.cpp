#include "command.h"

#include "connection.h"
#include "dberror.h"

Command::Command(Connection &connection, const QString &sql) : m_connection(connection)
{
    if (!sql.isEmpty())
        setSql(sql);
}

void Command::setSql(const QString &sql)
{
    m_sql = sql;
    const QStringList names = m_connection.prepare(sql).parameterNames;
    if (names != m_paramNames) {
        m_paramNames = names;
        m_params = QVariantList(m_paramNames.size());
    }
}

void Command::setParam(int position, const QVariant &value)
{
    if (position < 0 || position >= m_params.size())
        throw DbError::database(QStringLiteral("Parameter %1 not found").arg(position + 1));
    m_params[position] = value;
}

void Command::setParams(const QVariantList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        setParam(int(i), values[i]);
}

int Command::execute()
{
    return m_connection.exec(m_sql, m_params);
}
