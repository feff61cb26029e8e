#pragma once

#include "stock/valuation.h"

class Connection;

// The stock kept in the document lines, read and written through the
// valuation engine. A product is its exact name (Denumire) at one work point.
//
// A lot is a stock line (adinStoc, a warehouse) of a received document
// (InOut or eNIR) that is validated, neither cancelled nor reversed; an issue
// is a stock line of such a document that was not received. Every operation
// runs inside the caller's transaction (a savepoint of it) and throws
// StockError with the message for the user, or DbError: the caller rolls back.
namespace stock {

// The valuation method of an own company (Clienti.tipstoc). Throws DbError.
Method valuationMethod(Connection &connection, qint64 companyId);

// Takes line `lineId` of a document being validated out of the lots of its
// product received up to the document's day, and writes the lots lowered and
// the line's exit value and stock history. A line that does not come from
// stock (adinStoc false, as on a storno document) moves nothing.
void consumeStock(Connection &connection, qint64 lineId, const QString &name, double quantity,
                  int decimalsIn, int decimalsMM, qint64 workPointId, Method method);

// Rebuilds the stock of a product at a work point from its whole history:
// every lot refilled, every issue of a validated document taken out again in
// stock order, every line's stock history rewritten. Cancelled and reversed
// documents are left out. Returns the number of lines whose figures changed.
int replayStock(Connection &connection, const QString &name, qint64 workPointId, Method method);

} // namespace stock
