#pragma once

#include "core/money.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Connection;
class Dataset;
class Prompter;

// The command file that the fiscal printer's driver picks up and prints as a
// receipt: one record per line, each ended by CR LF, in code page 1250.
namespace fiscalreceipt {

// One document line as the receipt needs it.
struct Line
{
    QString name;        // Denumire
    QString unit;        // UM; a "%" in it marks a discount, mark-up or fee line
    double quantity = 0; // Cnt; the signed percent on a "%" line
    Money total;         // TotaloutMM: with VAT, in the main currency
};

// How the customer pays, in the main currency.
struct Payment
{
    Money cash;
    Money card;
    Money cheque; // cheques or meal tickets
};

// The visible rows of a document's line list (ProdCumparate rows) in their
// order, read without moving it. Throws DbError for an amount that is not one.
QList<Line> linesOf(const Dataset &lines);
// What the customer pays: the sum of the line totals.
Money totalOf(const QList<Line> &lines);

// A product name as an item record can carry it: no field or record
// separator, no control character, no diacritics, "?" for what the code page
// lacks, at most 19 characters.
QString itemName(const QString &name);

// Why this payment cannot be issued for `total`; nullopt when it can. Each
// part counts rounded to 2 decimals, as it is written.
std::optional<QString> paymentProblem(Money total, const Payment &payment);

// The records of the file in order, without line ends: the items and
// percent lines, then the payment.
QStringList records(const QList<Line> &lines, const Payment &payment);
// The file content: every record ended by CR LF, in code page 1250.
QByteArray fileContent(const QStringList &records);

// Replaces the file at `path` whole, or leaves it as it was. The reason when
// it could not; nullopt once written.
std::optional<QString> writeFile(const QString &path, const QByteArray &content);

// The file path set for a work point; empty when none is.
QString workPointPath(Connection &connection, qint64 workPointId);

// Checks the payment, asks for confirmation, writes the file at `path` and
// tells the outcome. True when the file was written.
bool issue(const QList<Line> &lines, Money total, const Payment &payment, const QString &path,
           Prompter &prompter);

} // namespace fiscalreceipt
