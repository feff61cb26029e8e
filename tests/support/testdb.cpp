#include "testdb.h"

#include "db/database.h"
#include "db/schema.h"

#include <QSqlQuery>
#include <QSqlRecord>

TestDb::TestDb() : m_path(m_dir.filePath(QStringLiteral("db/tarabix.db")))
{
    database::openOrCreate(m_connection, m_path);
}

qint64 TestDb::companyId()
{
    return m_connection.scalar(QStringLiteral("select min(id) from Clienti where emitent=true")).toLongLong();
}

qint64 TestDb::workPointId()
{
    return m_connection.scalar(QStringLiteral("select min(id) from SeriiActe where id_firma=:f and bifadefault=true"),
                               {companyId()})
        .toLongLong();
}

QString TestDb::dump()
{
    QString out;
    for (const schema::Table &t : schema::tables()) {
        out += QLatin1String(t.name) + u'\n';
        QSqlQuery q = m_connection.run(QStringLiteral("select * from ") + QLatin1String(t.name)
                                       + QStringLiteral(" order by 1, 2"));
        while (q.next()) {
            const QSqlRecord r = q.record();
            QStringList values;
            for (int i = 0; i < r.count(); ++i)
                values << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            out += values.join(u'|') + u'\n';
        }
    }
    out += QStringLiteral("seq:");
    QSqlQuery q = m_connection.run(QStringLiteral("select name, seq from sqlite_sequence order by name"));
    while (q.next())
        out += q.value(0).toString() + u'=' + q.value(1).toString() + u' ';
    return out;
}
