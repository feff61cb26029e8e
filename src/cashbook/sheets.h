#pragma once

#include <QDate>

class Connection;

// The daily cash sheets of a work point and currency.
namespace sheets {

// Whether the company already has a sheet of that day for the work point
// and currency.
bool sheetExistsOn(Connection &connection, qint64 companyId, qint64 workPointId, const QString &currency,
                   QDate day);

} // namespace sheets
