#pragma once

#include "core/money.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

class Connection;
class Dataset;
class Prompter;

// Shared helpers of every window: the main currency, opening a company's
// rows, the client search, deletes, sorting, pick lists and the fixed inserts.

struct CurrencyInfo
{
    QString code;
    int decimals = 2;
};

// The currency flagged as default; "RON" with 2 decimals when none is.
CurrencyInfo defaultCurrency(Connection &connection);

// "Select * from <table> where id_firma=<company>" + extra (an ordering or a
// further condition written by the program, never typed text).
void openCompanyTable(Dataset &dataset, const QString &table, const QString &extra, qint64 companyId);

// Reopens a partner-documents view with (buyer, seller, kind).
void openDocuments(Dataset &dataset, qint64 first, qint64 second, int kind);

// The lines a company sold to a client with `column` equal to value, ordered
// by that column; left closed unless mode is "on" and client and value are given.
void openPartnerLines(Dataset &dataset, const QString &column, const QString &mode, qint64 clientId,
                      qint64 companyId, const QVariant &value);
// Every line with `column` equal to value; left closed without a value.
void openLinesBy(Dataset &dataset, const QString &column, const QVariant &value);

enum class SearchOperator { Contains, Equals };

// Searches the company's partners on `column`. With Contains the text is
// found anywhere in the column (and the role filter applies when on); with
// Equals the column must equal the value. The value is always bound.
void searchClients(Dataset &dataset, const QString &column, bool roleFilterOn, SearchOperator op,
                   bool supplierRole, const QVariant &value, qint64 companyId);

// "Delete from <table> where <column>=<value>"; returns the rows deleted.
int deleteWhere(Connection &connection, const QString &table, const QString &column, const QVariant &value);

// Sorts a grid's dataset on a column and reverses the caller's toggle, so
// each click on a title reverses the order. Shows "Eroare la sortare:" on failure.
void sortByColumn(Dataset &dataset, const QString &column, bool &ascending, Prompter &prompter);

struct PickItem
{
    QString text;
    std::optional<qint64> object;
};

// Reopens the dataset (parameters unchanged) and lists its rows. Warns when
// the first item is shorter than 2 characters.
QList<PickItem> fillPickList(Dataset &dataset, const QString &textField, const QString &objectField,
                             Prompter &prompter);
// As fillPickList with the dataset's first parameter set, and no warning.
QList<PickItem> fillPickListFor(Dataset &dataset, const QString &textField, qint64 parameter,
                                const QString &objectField);
// Items read "<text>/<date dd.MM.yyyy>".
QList<PickItem> fillPickListDated(Dataset &dataset, const QString &textField, const QString &objectField,
                                  const QString &dateField);

// One row of Incasari (collections) or Plati (payments).
struct PaymentRecord
{
    qint64 idFact = 0;
    qint64 idCumparator = 0;
    QDateTime data;
    QString modPlata;
    Money suma;
    QString sumaLiteral;
    QString reprezentand;
    qint64 nrChit = 0;
    QString seria;
    QString comentariu;
    QString moneda;
    int nrZecimale = 2;
    QString operatorName;
    double curs = 1;
    qint64 idFirma = 0;
    Money sumaMM;
    QString monedaMM;
    int nrZecMM = 2;
    QString banca;
    qint64 idPunctLucru = 0;
};
// Inserts into "Incasari" or "Plati"; returns the new id. Throws DbError.
qint64 insertPaymentRecord(Connection &connection, const QString &table, const PaymentRecord &record);

// One service of a contract, or one per-period line of it.
struct ContractLine
{
    qint64 key = 0; // the contract
    double idMagazie = -1;
    qint64 idActin = -1;
    qint64 idProdusLista = 0;
    QString denumire;
    QString um;
    double cantitate = 1;
    Money pretUnitar;
    Money valoare;
    Money valoareTva;
    Money total;
    Money pretIn;
    Money cotaTva;
    QString serie;
    qint64 codm = -1;
    QString monedaContract;
    QString monedaFactura;
    int nrZecimaleContract = 2;
    int nrZecimaleFactura = 2;
    Money puMM;
    Money valMM;
    Money valTvaMM;
    Money totalMM;
    // Per-period lines only.
    QString lunaAn;
    QDateTime data;
};
// "Eroare la adaugarea produsului" is thrown as the message of a DbError.
qint64 insertContractLine(Connection &connection, const QString &table, const QString &keyColumn,
                          const ContractLine &line);
qint64 insertContractDetailLine(Connection &connection, const QString &table, const QString &keyColumn,
                                const ContractLine &line);

// In an amount box a typed "." becomes the decimal separator in use.
QString normaliseDecimalKey(const QString &key, QChar decimalSeparator);
