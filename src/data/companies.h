#pragma once

#include <QtGlobal>

class Connection;

// What an own company brings with it besides its Clienti row.
namespace companies {

// Gives a new own company its configuration, copied from the start-up
// company: templates, work points with their series, an Administrator who
// can log in, expense, price-list, stock and expiring-document categories,
// warehouses for the new work points and contract templates. Run inside the
// transaction that inserts the company row.
void copyConfiguration(Connection &connection, qint64 newCompanyId, qint64 startCompanyId);

// Removes a company's configuration; its partners, documents, payments,
// contracts, cash sheets and warehouses stay.
void deleteConfiguration(Connection &connection, qint64 companyId);

} // namespace companies
