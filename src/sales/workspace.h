#pragma once

#include "core/money.h"
#include "linecalc.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

class Tdm;
struct DocumentLine;

// The document being built in the document window: its client, the header
// chosen in the header step, and its lines. The header is written together
// with the first line, in one transaction.
class DocumentWorkspace
{
public:
    // The day's rate of a currency against the main currency; nullopt when
    // it cannot be had.
    using RateSource = std::function<std::optional<Money>(const QString &currency)>;

    struct Header
    {
        int kind = 0;
        qint64 workPointId = 0;
        QDate date = QDate::currentDate();
        QString payment;
        QString currency;
        int currencyDecimals = 2;
        qint64 mentionId = 0;
        QString mentionText;
        QString contractText;
        qint64 contractId = -1;
        qint64 clientAccountId = -1;
        QDate dueDate;
        QString comment;
        QString delegate, delegateCnp, cardSeries, cardNumber, cardSection, transport, vehicle;
        QDate dispatchDate;
        QString weight, volume, licence, deliveryTerms;
    };

    DocumentWorkspace(Tdm &dm, RateSource rates);

    // Step 1: the partner of the next document; a new document starts.
    void selectClient(qint64 clientId);
    qint64 clientId() const { return m_clientId; }

    // Step 2: the header of the next document. A consumption note is issued
    // to the company itself; false (after a message) when its own partner
    // row cannot be found.
    bool setHeader(const Header &header);
    const Header &header() const { return m_header; }

    // Whether the document's header exists, and its id (-1 before).
    bool docOpen() const { return m_docOpen; }
    qint64 documentId() const { return m_documentId; }
    // The next line starts a new document.
    void startNewDocument();

    // Adds a product of the price list with the quantity typed and a
    // discount (negative) or mark-up percent. Returns the new line's id, or
    // nullopt after a message.
    std::optional<qint64> addProductLine(qint64 productId, const QString &quantityText,
                                         int discount);
    // Adds a product given out from a warehouse with the quantity typed and
    // the percent chosen in "Discount/Adaos %", priced from the product's
    // oldest lot with stock up to the document's day: an invoice or delivery
    // note at the lot's sale price, a consumption note at its input cost.
    // Stock moves when the document is validated. Returns the new line's
    // id, or nullopt after a message.
    std::optional<qint64> addStockLine(qint64 warehouseId, const QString &name, const QString &unit,
                                       const QString &quantityText, const QString &percentText);
    // Adds a general discount (negative), mark-up or fee line of the percent
    // typed: one line per currency and VAT rate of the document's lines.
    bool addGeneralLine(const QString &percentText);
    // Removes a line of a document that is not validated.
    bool removeLine(qint64 lineId);

    int lineCount() const;
    linecalc::Totals totals() const;

private:
    bool documentIsValidated() const;
    qint64 writeHeader(qint64 warehouse);
    // Writes a line, and the header first when the document has none yet, in
    // one transaction; then shows the document.
    qint64 writeLine(DocumentLine line, qint64 warehouse);
    void reopenDocument();
    void writeGeneralLines(Money percent, const QString &name);
    std::optional<Money> rateFor(const QString &currency);

    Tdm &m_dm;
    RateSource m_rates;
    Header m_header;
    qint64 m_clientId = 0;
    qint64 m_partnerId = 0; // the buyer written on the header
    bool m_docOpen = false;
    qint64 m_documentId = -1;
};
