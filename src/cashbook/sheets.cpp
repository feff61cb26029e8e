#include "sheets.h"

#include "db/connection.h"

namespace sheets {

bool sheetExistsOn(Connection &connection, qint64 companyId, qint64 workPointId, const QString &currency, QDate day)
{
    return connection
               .scalar(QStringLiteral("Select count(data) from RegistruCasaSold Where id_firma=:f and id_punctlucru=:p "
                                      "and moneda=:m and data >= :d1 and data < :d2"),
                       {companyId, workPointId, currency, day, day.addDays(1)})
               .toInt()
           > 0;
}

} // namespace sheets
