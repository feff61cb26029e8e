#pragma once

#include <QDate>
#include <QString>

#include <functional>

// Builds a database of a shop that has been working for a while, through the
// program's own logic: partners are saved as the "Client nou" window saves
// them, goods come in on supplier invoices, documents are built and
// validated as the document window does, collections go through the
// receipts logic with their cash sheets. The same options and seed always
// give the same database.
namespace generator {

struct Options
{
    quint32 seed = 20261211;
    int companies = 1;    // own companies
    int workPoints = 1;   // per company
    int clients = 120;    // per company
    int suppliers = 12;   // per company
    int goods = 80;       // products kept in stock
    int services = 30;    // price-list entries
    int documents = 1000; // sales documents, all companies together
    int documentsPerDay = 30;
    QDate lastDay = QDate(2026, 11, 30); // documents end on this day
};

struct Summary
{
    int companies = 0;
    int workPoints = 0;
    int partners = 0;
    int supplierDocuments = 0;
    int salesDocuments = 0;
    int validated = 0;
    int lines = 0;
    int collections = 0;          // cancelled ones included
    int cancelledCollections = 0; // each written again right after
    QDate firstDay, lastDay;
};

// Creates `programDir`/db/tarabix.db. Refuses (std::runtime_error) when a
// database is already there: a generated database never replaces data.
// `progress` hears (documents done, documents in all).
Summary generate(const QString &programDir, const Options &options,
                 const std::function<void(int, int)> &progress = {});

// A Romanian fiscal code (CUI) with its control digit, from 2 to 9 digits
// before it.
QString fiscalCode(quint32 digits);
// A Romanian IBAN with valid check digits for a bank code and account digits.
QString iban(const QString &bankCode, quint64 account);

} // namespace generator
