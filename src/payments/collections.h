#pragma once

#include "core/monedaplata.h"
#include "core/money.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class Tdm;
class TdmRC;

// Money received from clients: receipts ("Chitanta"), cash-collection
// dispositions ("Dispozitie"), cash, card and bank collections.
namespace collections {

// What a payment method means, read from its text. A bank or card method
// is never a receipt, a disposition or a cash operation, whatever else its
// text says.
struct Method
{
    bool none = false;        // "--": nothing chosen
    bool bank = false;        // "OP", card: through a bank
    bool receipt = false;     // numbered from the receipt counter
    bool disposition = false; // numbered from the disposition counter
    bool cash = false;        // written in the cash register book
};
Method classify(const QString &methodText);

// The number and series a method proposes at a work point.
struct Numbering
{
    qint64 number = 0;
    QString series;
};
Numbering proposedNumber(Tdm &dm, const QString &methodText, qint64 workPointId);

// An unpaid invoice of a client, as the pick list shows it.
struct UnpaidInvoice
{
    qint64 id = 0;
    QString text;
    QString currency;
    Money total;
    Money collected;
    Money due() const { return total - collected; }
};
QList<UnpaidInvoice> unpaidInvoices(Tdm &dm, qint64 clientId, qint64 invoiceToCollect = 0);

struct Collection
{
    qint64 invoiceId = 0; // 0 when the collection settles no invoice
    qint64 clientId = 0;
    QDate date = QDate::currentDate();
    QString method;
    Money amount;
    QString amountInWords;
    QString reprezentand;
    QString numberText;
    QString series;
    QString comment;
    TMonedaPlata currency;
    Money rate = Money::fromInt(1);
    QString bank = QStringLiteral(" ");
    qint64 workPointId = 0;
    qint64 categoryId = 0;
};

// The category the cash line of a collection is filed under: the first of
// the company's invoice categories as the program lists them; 0 without any.
qint64 cashLineCategory(const TdmRC &rc, qint64 companyId);

struct Added
{
    qint64 id = 0;
    bool invoicePaid = false;
    std::optional<Money> remaining; // what is still to pay on the invoice
};

// Records a collection: the row, its cash line for a cash method, the
// counter it took its number from and the invoice's paid state — in one
// transaction. Nullopt after a message (nothing written).
std::optional<Added> addCollection(Tdm &dm, const Collection &collection);

// What was collected on an invoice in its own currency, cancelled
// collections left out, written on the invoice; it is paid once that
// reaches its total. Returns whether it is paid.
bool settleInvoice(Tdm &dm, qint64 invoiceId);

// Removes a collection, its own cash line, and reopens its own invoice.
void deleteCollection(Tdm &dm, qint64 collectionId);
// Cancels a collection: it stays listed as cancelled, its cash line goes
// and its invoice is settled again.
void cancelCollection(Tdm &dm, qint64 collectionId);

} // namespace collections
