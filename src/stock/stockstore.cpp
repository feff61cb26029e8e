#include "stockstore.h"

#include "db/connection.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "db/values.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace stock {
namespace {

// The live stock lines of a product at a work point, oldest first.
const QString LinesSql = QStringLiteral(
    "select pc.id, f.Data, f.InOut, f.eNIR, pc.Cnt, pc.Valoare, pc.ValInMM, pc.PUnIn, pc.PUInMM, "
    "pc.nrzecIN, pc.nrzecMM, pc.Stoc, pc.Stoc_Valoric, pc.Stoc_ValoricMM, pc.Stoc_Istoric, "
    "pc.Stoc_Valoric_Istoric, pc.Stoc_Valoric_IstoricMM, pc.ValoareMagazieIesire, "
    "pc.ValoareMagazieIesireMM from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.adinStoc = true and pc.id_magazie > 0 "
    "and f.id_punctlucru = :wp and (f.Validata = true or f.InOut = true or f.eNIR = true) "
    "and f.Anulata = false and f.Stornata = false "
    "order by f.Data, pc.id");

// The lots with stock left that an issue of a day may take from.
const QString OpenLotsSql = QStringLiteral(
    "select pc.id, f.Data, pc.Cnt, pc.Valoare, pc.ValInMM, pc.PUnIn, pc.PUInMM, pc.nrzecIN, "
    "pc.nrzecMM, pc.Stoc, pc.Stoc_Valoric, pc.Stoc_ValoricMM "
    "from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.adinStoc = true and pc.id_magazie > 0 and pc.Stoc > 0 "
    "and f.id_punctlucru = :wp and f.Anulata = false and f.Stornata = false "
    "and (f.InOut = true or f.eNIR = true) and f.Data < :dayafter order by f.Data, pc.id");

const QString LotCountSql = QStringLiteral(
    "select count(*) from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.adinStoc = true and pc.id_magazie > 0 "
    "and f.id_punctlucru = :wp and f.Anulata = false and f.Stornata = false "
    "and (f.InOut = true or f.eNIR = true) and f.Data < :dayafter");

// Stock lines of the product in any state: whether it ever was in stock here.
const QString AnyLineSql = QStringLiteral(
    "select count(*) from ProdCumparate pc inner join Facturi f on f.id = pc.id_fact "
    "where pc.Denumire = :name and pc.adinStoc = true and pc.id_magazie > 0 "
    "and f.id_punctlucru = :wp");

const QString IssueLineSql =
    QStringLiteral("select pc.adinStoc, f.Data, f.InOut, f.eNIR from ProdCumparate pc "
                   "inner join Facturi f on f.id = pc.id_fact where pc.id = :id");

const QString LotStateSql = QStringLiteral(
    "update ProdCumparate set Stoc = :q, Stoc_Valoric = :v, Stoc_ValoricMM = :vm where id = :id");

const QString LotSql = QStringLiteral(
    "update ProdCumparate set Stoc = :q, Stoc_Valoric = :v, Stoc_ValoricMM = :vm, "
    "Stoc_Istoric = :hq, Stoc_Valoric_Istoric = :hv, Stoc_Valoric_IstoricMM = :hvm where id = :id");

const QString IssueSql = QStringLiteral(
    "update ProdCumparate set ValoareMagazieIesire = :e, ValoareMagazieIesireMM = :em, "
    "Stoc_Istoric = :hq, Stoc_Valoric_Istoric = :hv, Stoc_Valoric_IstoricMM = :hvm where id = :id");

void requireTransaction(Connection &connection)
{
    if (connection.transactionDepth() == 0)
        throw DbError::database(
            QStringLiteral("stock is updated only inside the caller's transaction"));
}


// Dates come back as ISO text from SQLite and as date-times from a server.
// Built in UTC so that no local clock change can move or drop one.
QDateTime dateOf(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return QDateTime(dt.date(), dt.time(), Qt::UTC);
    }
    const QString text = v.toString();
    if (text.isEmpty())
        return {};
    const QDate day(text.mid(0, 4).toInt(), text.mid(5, 2).toInt(), text.mid(8, 2).toInt());
    const QTime time(text.mid(11, 2).toInt(), text.mid(14, 2).toInt(), text.mid(17, 2).toInt());
    if (!day.isValid())
        throw DbError::conversion(u'\'' + text + QStringLiteral("' is not a valid date and time"));
    return QDateTime(day, time.isValid() ? time : QTime(0, 0), Qt::UTC);
}

bool sameQuantity(double a, double b)
{
    return std::llround(a * 10000.0) == std::llround(b * 10000.0);
}

bool sameBalance(const Balance &a, const Balance &b)
{
    return sameQuantity(a.quantity, b.quantity) && a.value == b.value && a.valueMM == b.valueMM;
}

QVariant money(Money m)
{
    return QVariant::fromValue(m);
}

// One statement prepared once and run for many rows.
class Statement
{
public:
    Statement(Connection &connection, const QString &sql)
        : m_connection(connection), m_sql(sql), m_query(connection.database())
    {
        const PreparedSql &prepared = connection.prepare(connection.dialect().adaptCommand(sql));
        if (!m_query.prepare(prepared.sql))
            fail();
    }

    void run(const QVariantList &values)
    {
        for (qsizetype i = 0; i < values.size(); ++i)
            m_query.bindValue(int(i), m_connection.dialect().toDb(values[i]));
        if (!m_query.exec())
            fail();
    }

private:
    [[noreturn]] void fail()
    {
        throw DbError::database(m_query.lastError().text() + QStringLiteral(" [") + m_sql + u']');
    }

    Connection &m_connection;
    QString m_sql;
    QSqlQuery m_query;
};

QSqlQuery select(Connection &connection, const QString &sql, const QVariantList &values)
{
    return connection.run(connection.dialect().adaptDataset(sql), values);
}

qint64 countOf(Connection &connection, const QString &sql, const QVariantList &values)
{
    return connection.scalar(connection.dialect().adaptDataset(sql), values).toLongLong();
}

// A lot from its row: the id in column 0, then its columns from `firstColumn` on.
Lot lotFrom(const QSqlQuery &q, int dateColumn, int firstColumn)
{
    Lot lot;
    lot.id = q.value(0).toLongLong();
    lot.date = dateOf(q.value(dateColumn));
    lot.received = q.value(firstColumn).toDouble();
    lot.value = moneyFromValue(q.value(firstColumn + 1));
    lot.valueMM = moneyFromValue(q.value(firstColumn + 2));
    lot.unitPrice = moneyFromValue(q.value(firstColumn + 3));
    lot.unitPriceMM = moneyFromValue(q.value(firstColumn + 4));
    lot.decimals = q.value(firstColumn + 5).toInt();
    lot.decimalsMM = q.value(firstColumn + 6).toInt();
    lot.remaining = q.value(firstColumn + 7).toDouble();
    lot.remainingValue = moneyFromValue(q.value(firstColumn + 8));
    lot.remainingValueMM = moneyFromValue(q.value(firstColumn + 9));
    return lot;
}

bool sameState(const Lot &a, const Lot &b)
{
    return sameQuantity(a.remaining, b.remaining) && a.remainingValue == b.remainingValue &&
           a.remainingValueMM == b.remainingValueMM;
}

void writeIssue(Statement &statement, qint64 id, const Exit &exit)
{
    statement.run({money(exit.value), money(exit.valueMM), exit.after.quantity,
                   money(exit.after.value), money(exit.after.valueMM), id});
}

} // namespace

Method valuationMethod(Connection &connection, qint64 companyId)
{
    const QVariant code = connection.scalar(
        QStringLiteral("select tipstoc from Clienti where id = :id"), {companyId});
    if (!code.isValid() || code.isNull())
        throw DbError::database(
            QStringLiteral("no valuation method for company %1").arg(companyId));
    switch (code.toInt()) {
    case 0:
        return Method::Fifo;
    case 1:
        return Method::Lifo;
    case 2:
        return Method::Average;
    default:
        throw DbError::database(QStringLiteral("unknown valuation method %1").arg(code.toInt()));
    }
}

void consumeStock(Connection &connection, qint64 lineId, const QString &name, double quantity,
                  int decimalsIn, int decimalsMM, qint64 workPointId, Method method)
{
    requireTransaction(connection);
    QSqlQuery line = select(connection, IssueLineSql, {lineId});
    if (!line.next())
        throw DbError::database(QStringLiteral("stock line %1 not found").arg(lineId));
    if (!line.value(0).toBool())
        return;
    if (line.value(2).toBool() || line.value(3).toBool())
        throw DbError::database(
            QStringLiteral("line %1 was received into stock, it cannot leave it").arg(lineId));
    const Issue issue{lineId, dateOf(line.value(1)), quantity, decimalsIn, decimalsMM};
    line.finish();

    const QDate dayAfter = issue.date.date().addDays(1);
    std::vector<Lot> lots;
    QSqlQuery q = select(connection, OpenLotsSql, {name, workPointId, dayAfter});
    while (q.next())
        lots.push_back(lotFrom(q, 1, 2));
    q.finish();
    // Lots that exist but are empty make it a shortage, not an unknown product.
    if (lots.empty() && quantity > 0 &&
        countOf(connection, LotCountSql, {name, workPointId, dayAfter}) > 0)
        throw StockError::shortage(name, 0, quantity);

    const std::vector<Lot> before = lots;
    const Exit exit = consume(lots, issue, method, name);
    Transaction transaction(connection);
    Statement lotState(connection, LotStateSql);
    for (std::size_t i = 0; i < lots.size(); ++i) {
        if (!sameState(lots[i], before[i])) {
            lotState.run({lots[i].remaining, money(lots[i].remainingValue),
                          money(lots[i].remainingValueMM), lots[i].id});
        }
    }
    Statement issueLine(connection, IssueSql);
    writeIssue(issueLine, lineId, exit);
    transaction.commit();
}

int replayStock(Connection &connection, const QString &name, qint64 workPointId, Method method)
{
    requireTransaction(connection);
    std::vector<Lot> lots;
    std::vector<Balance> lotHistory;
    std::vector<Issue> issues;
    std::vector<Exit> stored;
    QSqlQuery q = select(connection, LinesSql, {name, workPointId});
    while (q.next()) {
        Balance history{q.value(14).toDouble(), moneyFromValue(q.value(15)), moneyFromValue(q.value(16))};
        if (q.value(2).toBool() || q.value(3).toBool()) {
            lots.push_back(lotFrom(q, 1, 4));
            lotHistory.push_back(history);
        } else {
            issues.push_back({q.value(0).toLongLong(), dateOf(q.value(1)), q.value(4).toDouble(),
                              q.value(9).toInt(), q.value(10).toInt()});
            stored.push_back({moneyFromValue(q.value(17)), moneyFromValue(q.value(18)), history, {}});
        }
    }
    q.finish();
    if (lots.empty() && issues.empty()) {
        if (countOf(connection, AnyLineSql, {name, workPointId}) == 0)
            throw StockError::noHistory();
        return 0;
    }

    const std::vector<Lot> before = lots;
    const Replay result = replay(lots, issues, method, name);
    Transaction transaction(connection);
    int changed = 0;
    Statement lotLine(connection, LotSql);
    for (std::size_t i = 0; i < lots.size(); ++i) {
        const Lot &lot = lots[i];
        const Balance &after = result.lots[i];
        if (sameState(lot, before[i]) && sameBalance(after, lotHistory[i]))
            continue;
        lotLine.run({lot.remaining, money(lot.remainingValue), money(lot.remainingValueMM),
                     after.quantity, money(after.value), money(after.valueMM), lot.id});
        ++changed;
    }
    Statement issueLine(connection, IssueSql);
    for (std::size_t i = 0; i < issues.size(); ++i) {
        const Exit &exit = result.issues[i];
        if (exit.value == stored[i].value && exit.valueMM == stored[i].valueMM &&
            sameBalance(exit.after, stored[i].after))
            continue;
        writeIssue(issueLine, issues[i].id, exit);
        ++changed;
    }
    transaction.commit();
    return changed;
}

} // namespace stock
