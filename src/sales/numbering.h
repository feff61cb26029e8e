#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

class Connection;

// Document kinds and their numbers, taken from the work point's counters.
namespace numbering {

enum Kind { Invoice = 0, DeliveryNote = 1, ConsumptionNote = 2 };

// "Factura", "Aviz", "BC".
QString kindText(int kind);

struct LaterDocument
{
    qint64 nf = 0;
    QDateTime date;
};

// A validated document of the same kind, company and work point dated after
// the day of `date` (documents of that same day do not count).
std::optional<LaterDocument> laterValidatedDocument(Connection &connection, int kind, QDate date, qint64 companyId,
                                                    qint64 workPointId);
// The question asked when there is one.
QString dateOrderQuestion(int kind, const LaterDocument &later);

// Gives the document its number inside the caller's transaction, so that a
// validation that does not complete consumes nothing. Without a typed
// number the work point's counter gives it and advances; a typed number
// must be 1 or more and not already used by a document of the same company,
// work point, kind and series (the counter is then left alone). A
// consumption note gets the number in BC too. Throws ActionRefused.
qint64 allocateNumber(Connection &connection, qint64 documentId, int kind, qint64 workPointId,
                      std::optional<qint64> typedNumber);

} // namespace numbering
