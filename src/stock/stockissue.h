#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class Connection;

// What a warehouse can give out on a document's day: the products with
// stock left in lots received up to the end of that day, and the lot whose
// prices a stock line of a sales document takes.
namespace stockissue {

struct ProductInStock
{
    QString name;
    QString unit;
    double stock = 0;
    Money value;
};

// One row per product name and unit with stock in the warehouse, in name order.
QList<ProductInStock> productsInStock(Connection &connection, qint64 warehouseId, qint64 companyId,
                                      qint64 workPointId, QDate documentDate);

// What is left of one product in the warehouse on the document's day.
double stockOf(Connection &connection, qint64 warehouseId, qint64 companyId, qint64 workPointId,
               QDate documentDate, const QString &name, const QString &unit);

// The prices of a lot, as a stock line copies them.
struct Lot
{
    qint64 lineId = 0;
    qint64 supplierId = 0;
    QString name, unit, series;
    Money puOut, puIn, puInMM;
    QString currencyIn, currencyOut;
    int decimalsOut = 2;
    Money vatRateOut;
};

// The oldest lot of the product with stock left in the warehouse up to the
// end of the document's day; nullopt when there is none.
std::optional<Lot> firstLot(Connection &connection, qint64 warehouseId, qint64 companyId,
                            qint64 workPointId, QDate documentDate, const QString &name,
                            const QString &unit);

// The percents offered in the "Discount/Adaos %" box of the stock page.
const QStringList &percentChoices();

} // namespace stockissue
