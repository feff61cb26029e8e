#include "util.h"

#include "core/prompter.h"
#include "db/adapter.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/dberror.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace {

// Table and column names come from the program; anything else is refused
// before it can reach SQL.
const QString &identifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!re.match(name).hasMatch())
        throw DbError::database(QStringLiteral("Invalid name: ") + name);
    return name;
}

QString likeContains(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'%', QStringLiteral("\\%"));
    escaped.replace(u'_', QStringLiteral("\\_"));
    return u'%' + escaped + u'%';
}

QVariant money(const Money &m)
{
    return QVariant::fromValue(m);
}

QList<PickItem> pickItems(Dataset &dataset, const QString &textField, const QString &objectField,
                          const QString &dateField = {})
{
    QList<PickItem> items;
    for (dataset.first(); !dataset.eof(); dataset.next()) {
        PickItem item;
        item.text = dataset.asString(textField);
        if (!dateField.isEmpty())
            item.text += u'/' + dataset.asDate(dateField).toString(QStringLiteral("dd.MM.yyyy"));
        if (!objectField.isEmpty()) {
            try {
                item.object = dataset.asInteger(objectField);
            } catch (const DbError &) {
                // A row whose object cannot be read is listed without it.
            }
        }
        items << item;
    }
    dataset.first();
    return items;
}

} // namespace

CurrencyInfo defaultCurrency(Connection &connection)
{
    Dataset ds(connection, QStringLiteral("Select codiso, nrzecimale from Monede where bifadefault=true"));
    adaptDataset(ds);
    ds.open();
    if (ds.isEmpty())
        return {QStringLiteral("RON"), 2};
    return {ds.asString(QStringLiteral("codiso")), int(ds.asInteger(QStringLiteral("nrzecimale")))};
}

void openCompanyTable(Dataset &dataset, const QString &table, const QString &extra, qint64 companyId)
{
    dataset.close();
    dataset.setSql(QStringLiteral("Select * from ") + identifier(table) + QStringLiteral(" where id_firma=:idf") + extra);
    adaptDataset(dataset);
    dataset.setParam(0, companyId);
    dataset.open();
}

void openDocuments(Dataset &dataset, qint64 first, qint64 second, int kind)
{
    dataset.close();
    adaptDataset(dataset);
    dataset.setParams({first, second, kind});
    dataset.open();
}

void openPartnerLines(Dataset &dataset, const QString &column, const QString &mode, qint64 clientId,
                      qint64 companyId, const QVariant &value)
{
    dataset.close();
    dataset.setSql(QStringLiteral("Select * from ProdCumparate Where id_cumparator=:idc and id_vanzator= :idf and ")
                   + identifier(column) + QStringLiteral(" = :v order by ") + column);
    adaptDataset(dataset);
    const bool hasValue = value.isValid() && !value.isNull() && !value.toString().isEmpty();
    if (!hasValue || mode != QLatin1String("on") || clientId == 0)
        return;
    dataset.setParams({clientId, companyId, value});
    dataset.open();
}

void openLinesBy(Dataset &dataset, const QString &column, const QVariant &value)
{
    dataset.close();
    dataset.setSql(QStringLiteral("Select * from PRodCumparate Where ") + identifier(column)
                   + QStringLiteral(" = :v order by ") + column);
    adaptDataset(dataset);
    if (!value.isValid() || value.isNull() || value.toString().isEmpty())
        return;
    dataset.setParam(0, value);
    dataset.open();
}

void searchClients(Dataset &dataset, const QString &column, bool roleFilterOn, SearchOperator op,
                   bool supplierRole, const QVariant &value, qint64 companyId)
{
    dataset.close();
    QString sql = QStringLiteral("Select * from Clienti Where id_firma=:idf and ") + identifier(column);
    QVariant bound = value;
    if (op == SearchOperator::Contains) {
        sql += QStringLiteral(" like :v escape '\\'");
        if (roleFilterOn)
            sql += supplierRole ? QStringLiteral(" and furnizor=true ") : QStringLiteral(" and client=true ");
        bound = likeContains(value.toString());
    } else {
        sql += QStringLiteral(" = :v");
    }
    sql += QStringLiteral(" order by ") + column;
    dataset.setSql(sql);
    adaptDataset(dataset);
    dataset.setParams({companyId, bound});
    dataset.open();
}

int deleteWhere(Connection &connection, const QString &table, const QString &column, const QVariant &value)
{
    return connection.exec(QStringLiteral("Delete from ") + identifier(table) + QStringLiteral(" where ")
                               + identifier(column) + QStringLiteral("=:v"),
                           {value});
}

void sortByColumn(Dataset &dataset, const QString &column, bool &ascending, Prompter &prompter)
{
    try {
        dataset.setSort(u'[' + column + (ascending ? QStringLiteral("] ASC ") : QStringLiteral("] DESC ")));
        ascending = !ascending;
    } catch (const std::exception &) {
        prompter.error(QStringLiteral("Eroare la sortare:") + column);
    }
}

QList<PickItem> fillPickList(Dataset &dataset, const QString &textField, const QString &objectField,
                             Prompter &prompter)
{
    dataset.close();
    dataset.open();
    const QList<PickItem> items = pickItems(dataset, textField, objectField);
    if (items.isEmpty() || items.first().text.size() < 2)
        prompter.information(QStringLiteral("Nu ati selectat nici o valoare implicita in setari pentru ") + textField);
    return items;
}

QList<PickItem> fillPickListFor(Dataset &dataset, const QString &textField, qint64 parameter,
                                const QString &objectField)
{
    dataset.close();
    dataset.setParam(0, parameter);
    dataset.open();
    return pickItems(dataset, textField, objectField);
}

QList<PickItem> fillPickListDated(Dataset &dataset, const QString &textField, const QString &objectField,
                                  const QString &dateField)
{
    dataset.close();
    dataset.open();
    return pickItems(dataset, textField, objectField, dateField);
}

qint64 insertPaymentRecord(Connection &connection, const QString &table, const PaymentRecord &r)
{
    if (table.compare(QLatin1String("Incasari"), Qt::CaseInsensitive) != 0
        && table.compare(QLatin1String("Plati"), Qt::CaseInsensitive) != 0)
        throw DbError::database(QStringLiteral("Invalid payment table: ") + table);
    static const QStringList columns = {
        QStringLiteral("id_fAct"), QStringLiteral("id_cumparator"), QStringLiteral("data"), QStringLiteral("modplata"),
        QStringLiteral("suma"), QStringLiteral("sumaliteral"), QStringLiteral("reprezentand"), QStringLiteral("nrchit"),
        QStringLiteral("seria"), QStringLiteral("comentariu"), QStringLiteral("moneda"), QStringLiteral("nrzecimale"),
        QStringLiteral("operator"), QStringLiteral("curs"), QStringLiteral("id_firma"), QStringLiteral("sumamm"),
        QStringLiteral("monedamm"), QStringLiteral("nrzecmm"), QStringLiteral("banca"), QStringLiteral("id_punctlucru")};
    return connection.insert(table, columns,
                             {r.idFact, r.idCumparator, r.data, r.modPlata, money(r.suma), r.sumaLiteral,
                              r.reprezentand, r.nrChit, r.seria, r.comentariu, r.moneda, r.nrZecimale,
                              r.operatorName, r.curs, r.idFirma, money(r.sumaMM), r.monedaMM, r.nrZecMM, r.banca,
                              r.idPunctLucru});
}

qint64 insertContractLine(Connection &connection, const QString &table, const QString &keyColumn,
                          const ContractLine &l)
{
    const QStringList columns = {
        identifier(keyColumn), QStringLiteral("id_magazie"), QStringLiteral("id_actin"), QStringLiteral("id_produs_lista"),
        QStringLiteral("Denumire"), QStringLiteral("Um"), QStringLiteral("cantitate"), QStringLiteral("pretunitar"),
        QStringLiteral("valoare"), QStringLiteral("valoaretva"), QStringLiteral("total"), QStringLiteral("pretin"),
        QStringLiteral("cotatva"), QStringLiteral("serie"), QStringLiteral("codm"), QStringLiteral("monedacontract"),
        QStringLiteral("monedaFactura"), QStringLiteral("nrzecimalecontract"), QStringLiteral("nrzecimalefactura"),
        QStringLiteral("PUnitaroutMM"), QStringLiteral("valoutmm"), QStringLiteral("ValTVAOutMM"), QStringLiteral("totaloutmm")};
    try {
        return connection.insert(identifier(table), columns,
                                 {l.key, l.idMagazie, l.idActin, l.idProdusLista, l.denumire, l.um, l.cantitate,
                                  money(l.pretUnitar), money(l.valoare), money(l.valoareTva), money(l.total),
                                  money(l.pretIn), money(l.cotaTva), l.serie, l.codm, l.monedaContract,
                                  l.monedaFactura, l.nrZecimaleContract, l.nrZecimaleFactura, money(l.puMM),
                                  money(l.valMM), money(l.valTvaMM), money(l.totalMM)});
    } catch (const DbError &e) {
        throw DbError(e.className(), QStringLiteral("Eroare la adaugarea produsului\n") + e.message());
    }
}

qint64 insertContractDetailLine(Connection &connection, const QString &table, const QString &keyColumn,
                                const ContractLine &l)
{
    const QStringList columns = {identifier(keyColumn),        QStringLiteral("id_magazie"), QStringLiteral("id_actin"),
                                 QStringLiteral("id_produs_lista"), QStringLiteral("lunaan"), QStringLiteral("data"),
                                 QStringLiteral("cantitate"),  QStringLiteral("pretunitar"), QStringLiteral("valoare"),
                                 QStringLiteral("valoaretva"), QStringLiteral("total"),      QStringLiteral("cotatva")};
    try {
        return connection.insert(identifier(table), columns,
                                 {l.key, l.idMagazie, l.idActin, l.idProdusLista, l.lunaAn, l.data, l.cantitate,
                                  money(l.pretUnitar), money(l.valoare), money(l.valoareTva), money(l.total),
                                  money(l.cotaTva)});
    } catch (const DbError &e) {
        throw DbError(e.className(), QStringLiteral("Eroare la adaugarea produsului\n") + e.message());
    }
}

QString normaliseDecimalKey(const QString &key, QChar decimalSeparator)
{
    if (key == QLatin1String(".") && decimalSeparator == u',')
        return QStringLiteral(",");
    return key;
}
