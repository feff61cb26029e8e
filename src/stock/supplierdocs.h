#pragma once

#include "core/money.h"

#include <QDateTime>
#include <QString>

#include <optional>

class Tdm;

// Documents received from suppliers: an invoice, a delivery note or a
// consumption note of another firm, entered as goods (each line a stock lot)
// or as services.
namespace supplierdocs {

// The amounts of one line as the entry page shows them.
struct LineAmounts
{
    Money unitPrice, value, vat, total;                 // input side, input currency
    Money unitPriceOut, valueOut, vatOut, totalOut;     // sale side, when asked for
};

// Input side from the price and quantity; with `withSalePrice` the sale
// price is the input price with the mark-up, else the sale side is 0.
LineAmounts recalcInputPrices(Money price, double quantity, Money vatRate, int decimalsIn, bool withSalePrice,
                              Money markup, Money vatRateOut, int decimalsOut);
// Sale side from a sale price typed by hand.
LineAmounts recalcOutputPrices(const LineAmounts &input, Money salePrice, double quantity, Money vatRateOut,
                               int decimalsOut, bool withSalePrice);

struct Header
{
    int kind = 0;            // 0 invoice, 1 delivery note, 2 consumption note
    bool goods = true;       // "NIR": the lines go into stock
    qint64 warehouseId = -1; // for goods
    QString series;
    QString number;
    QDateTime date = QDateTime::currentDateTime();
    QDate dueDate = QDate::currentDate();
    QString comment;
    qint64 mentionId = 0;
    QString mentionText;
    qint64 categoryId = 0;
    qint64 supplierAccountId = -1;
    qint64 workPointId = 0;
};

struct Line
{
    QString name;
    QString code;
    QString unit;
    Money price;
    double quantity = 1;
    Money vatRate;
    QString currencyIn;
    std::optional<Money> rateIn = Money::fromInt(1); // nullopt: the typed rate is not a number
    bool withSalePrice = false;
    Money markup;
    Money vatRateOut;
    QString currencyOut;
    std::optional<Money> rateOut = Money::fromInt(1);
    LineAmounts amounts; // as shown: proposed from the price or typed by hand
};

// The document being entered: the header is written with its first line,
// in one transaction, so no header is ever left without lines.
class Workspace
{
public:
    explicit Workspace(Tdm &dm);

    void selectSupplier(qint64 supplierId);
    qint64 supplierId() const { return m_supplierId; }

    // The checks of the header page; false after a message.
    bool checkHeader(const Header &header, bool modifying);
    void setHeader(const Header &header);
    const Header &header() const { return m_header; }

    // Lines go to an existing document of the supplier.
    void useDocument(qint64 documentId);
    void startNewDocument();
    bool docOpen() const { return m_docOpen; }
    qint64 documentId() const { return m_documentId; }

    // Adds a line; nullopt after a message. The line that opens a document
    // gives it its currency.
    std::optional<qint64> addLine(const Line &line);
    // Removes a line; a line of a validated document only after a question,
    // and never one whose lot was already sold from.
    bool removeLine(qint64 lineId);

    struct Totals
    {
        Money value, vat, total;
        double quantity = 0;
    };
    Totals totals() const;
    // The same for any document of the supplier, such as the one shown in
    // the document list.
    Totals totals(qint64 documentId) const;

private:
    qint64 writeHeader(const QString &currency);

    Tdm &m_dm;
    Header m_header;
    qint64 m_supplierId = 0;
    bool m_docOpen = false;
    qint64 m_documentId = -1;
};

} // namespace supplierdocs
