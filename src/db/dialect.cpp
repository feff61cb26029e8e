#include "dialect.h"

#include "core/money.h"
#include "sqltext.h"

#include <QDate>
#include <QDateTime>

namespace {

const QString IsoDateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");

void rewriteBooleans(QString &sql)
{
    sqltext::replaceWord(sql, QStringLiteral("true"), QStringLiteral("1"));
    sqltext::replaceWord(sql, QStringLiteral("false"), QStringLiteral("0"));
}

void dropJoinParentheses(QString &sql)
{
    sqltext::replaceText(sql, QStringLiteral(" ( "), QStringLiteral(" "));
    sqltext::replaceText(sql, QStringLiteral(" ) "), QStringLiteral(" "));
}

} // namespace

QString Dialect::adaptDataset(const QString &sql) const
{
    if (!serverMode())
        return sql;
    QString out = sql;
    rewriteBooleans(out);
    dropJoinParentheses(out);
    sqltext::replaceWord(out, QStringLiteral("distinctrow"), QStringLiteral("distinct"));
    if (m_engine == Engine::SqlServer)
        sqltext::replaceWord(out, QStringLiteral("now"), QStringLiteral("getdate"));
    if (sqltext::replaceWord(out, QStringLiteral("strconv"), QStringLiteral("upper")) > 0)
        sqltext::replaceText(out, QStringLiteral(",1)"), QStringLiteral(")"));
    return out;
}

QString Dialect::adaptCommand(const QString &sql) const
{
    if (!serverMode())
        return sql;
    QString out = sql;
    rewriteBooleans(out);
    dropJoinParentheses(out);
    return out;
}

QString Dialect::adaptBooleans(const QString &sql) const
{
    if (!serverMode())
        return sql;
    QString out = sql;
    rewriteBooleans(out);
    return out;
}

QString Dialect::toEngine(const QString &sql) const
{
    if (m_engine == Engine::SQLite)
        return sqltext::jetToSqlite(sql);
    return sql;
}

QVariant Dialect::toDb(const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return value;
    const int type = value.metaType().id();
    if (type == qMetaTypeId<Money>()) {
        const Money m = value.value<Money>();
        if (m_engine == Engine::SQLite)
            return m.toDouble();
        return m.toString();
    }
    if (m_engine == Engine::SQLite) {
        switch (type) {
        case QMetaType::QDate:
            return QString(value.toDate().toString(QStringLiteral("yyyy-MM-dd")) +
                           QStringLiteral(" 00:00:00"));
        case QMetaType::QDateTime:
            return value.toDateTime().toString(IsoDateTime);
        case QMetaType::Bool:
            return value.toBool() ? 1 : 0;
        default:
            break;
        }
    } else if (type == QMetaType::Bool) {
        return value.toBool() ? 1 : 0;
    }
    return value;
}
