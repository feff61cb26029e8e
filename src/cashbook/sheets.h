#pragma once

#include "core/monedaplata.h"
#include "core/money.h"

#include <QDate>
#include <QString>

#include <optional>

class Connection;
class Dataset;
class Prompter;

// The cash register book: for each company, work point and currency one
// sheet a day. A sheet's opening balance (Sold) is the closing balance
// (Total) of the sheet before it, whatever the year; Total = Sold +
// Incasari - PLati, counting only the lines in the sheet's currency.
// Sheets are numbered consecutively within a calendar year.
//
// Every function that writes runs in one Transaction, nested in the caller's
// when there is one, so a collection or a payment and its cash line commit
// together. Errors are thrown: DbError, or SilentAbort once a refusal has
// been shown through the prompter.
namespace sheets {

// One line of a sheet.
struct RegisterLine
{
    QString nrAnexa;
    QString nrActCasa;
    QString explicatii;
    QString simbolCont;
    Money incasari;
    Money plati;
    TMonedaPlata currency; // must be the sheet's
    qint64 categoryId = 0;

    // The collection (Incasari) or payment (Plati) row the line was made
    // from, so that deleting that row can find its line again.
    struct Source
    {
        qint64 companyId = 0;
        qint64 rowId = 0;
    };
    std::optional<Source> source;
};

// The sheet of a day, if the work point has one in that currency.
std::optional<qint64> findSheetOfDay(Connection &connection, qint64 companyId, qint64 workPointId,
                                     const QString &currency, QDate day);
bool sheetExistsOn(Connection &connection, qint64 companyId, qint64 workPointId,
                   const QString &currency, QDate day);

// Opens `sheets` on the sheets of one year of a work point and currency, in
// chain order.
void openSheetsOfYear(Dataset &sheets, qint64 companyId, qint64 workPointId,
                      const QString &currency, int year);

// Creates the sheet of `day`, empty, opening with the previous sheet's
// closing balance. The very first sheet of a work point and currency asks
// for its opening balance, the first of a year for its number. A sheet
// dated before others renumbers and re-chains the ones after it. Returns
// the new sheet, or nothing when the day already has one (said so) or a
// question was cancelled (nothing written). An answer that is not a number
// throws DbError.
std::optional<qint64> addSheet(Connection &connection, Prompter &prompter, qint64 companyId,
                               qint64 workPointId, const TMonedaPlata &currency, QDate day);

// Incasari, PLati and Total of one sheet from its lines, keeping its Sold.
void recomputeSheet(Connection &connection, qint64 sheetId);

// Recomputes a sheet, then re-chains every later sheet of its work point and
// currency: opening balances, totals and, within each year, the numbers
// following the sheet before.
void reindexSheets(Connection &connection, qint64 fromSheetId);
// As reindexSheets from the last sheet before `day` (or the first one when
// none is earlier): for when a sheet of that day went away or moved.
void reindexSheetsFromDay(Connection &connection, qint64 companyId, qint64 workPointId,
                          const QString &currency, QDate day);

// Refuses a line in another currency than its sheet's: says so, then throws
// SilentAbort.
void checkLineCurrency(Connection &connection, Prompter &prompter, qint64 sheetId,
                       const QString &currency);

// Adds a line to a sheet and re-chains from that sheet. A line in another
// currency than the sheet's is refused. Returns the line's id.
qint64 addRegisterLine(Connection &connection, Prompter &prompter, qint64 sheetId,
                       const RegisterLine &line);
// Adds a line to the day's sheet of the work point in the line's currency,
// creating the sheet first when the day has none (see addSheet). Returns the
// line's id, or nothing when the new sheet's questions were cancelled.
std::optional<qint64> addRegisterLineOnDay(Connection &connection, Prompter &prompter,
                                           qint64 companyId, qint64 workPointId, QDate day,
                                           const RegisterLine &line);
// Deletes a line and re-chains from its sheet.
void deleteRegisterLine(Connection &connection, qint64 lineId);

} // namespace sheets
