#include "sheets.h"

#include "core/prompter.h"
#include "core/rounding.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/transaction.h"

#include <algorithm>
#include <vector>

namespace sheets {

namespace {

struct Sheet
{
    qint64 id = 0;
    qint64 companyId = 0;
    qint64 workPointId = 0;
    QString currency;
    QDate day;
    int number = 0;
    Money sold;
};

constexpr QLatin1String SheetColumns("id, id_firma, id_punctlucru, Moneda, Data, NrFisa, Sold");

Sheet sheetAt(const Dataset &ds)
{
    return {ds.asInteger(QStringLiteral("id")),
            ds.asInteger(QStringLiteral("id_firma")),
            ds.asInteger(QStringLiteral("id_punctlucru")),
            ds.asString(QStringLiteral("Moneda")),
            ds.asDate(QStringLiteral("Data")),
            int(ds.asInteger(QStringLiteral("NrFisa"))),
            ds.asMoney(QStringLiteral("Sold"))};
}

Sheet readSheet(Connection &c, qint64 id)
{
    Dataset ds(c, QStringLiteral("select ") + SheetColumns +
                      QStringLiteral(" from RegistruCasaSold where id=:id"));
    ds.setParam(0, id);
    ds.open();
    if (ds.isEmpty())
        throw DbError::database(QStringLiteral("Fisa de casa nu mai exista."));
    return sheetAt(ds);
}

// The sheets of a work point and currency dated `from` or later, in chain order.
std::vector<Sheet> sheetsFrom(Connection &c, const Sheet &of, QDate from)
{
    Dataset ds(
        c, QStringLiteral("select ") + SheetColumns +
               QStringLiteral(
                   " from RegistruCasaSold where id_firma=:f and id_punctlucru=:p and moneda=:m "
                   "and data>=:d Order By data asc, nrfisa, id"));
    ds.setParams({of.companyId, of.workPointId, of.currency, from});
    ds.open();
    std::vector<Sheet> list;
    for (ds.first(); !ds.eof(); ds.next())
        list.push_back(sheetAt(ds));
    return list;
}

struct Sums
{
    Money incasari;
    Money plati;
};

// What a sheet's lines in its own currency add up to, rounded to the
// decimals of its first line (2 without lines).
Sums sumsOf(Connection &c, const Sheet &sheet)
{
    Dataset lines(c, QStringLiteral("select incasari, plati, nrzecimale from RegistrulCasaDetalii "
                                    "where id_fisa=:s and moneda=:m order by id"));
    lines.setParams({sheet.id, sheet.currency});
    lines.open();
    const int decimals =
        lines.isEmpty()
            ? 2
            : int(std::clamp<qint64>(lines.asInteger(QStringLiteral("nrzecimale")), 0, 4));
    Sums sums;
    for (lines.first(); !lines.eof(); lines.next()) {
        sums.incasari += lines.asMoney(QStringLiteral("incasari"));
        sums.plati += lines.asMoney(QStringLiteral("plati"));
    }
    return {roundTo(decimals, sums.incasari), roundTo(decimals, sums.plati)};
}

// Writes a sheet's opening balance, number and sums; returns its closing balance.
Money writeSheet(Connection &c, const Sheet &sheet, Money opening, int number)
{
    const Sums sums = sumsOf(c, sheet);
    const Money total = opening + sums.incasari - sums.plati;
    c.exec(QStringLiteral("Update RegistruCasaSold Set Sold=:s, Incasari=:i, PLati=:p, Total=:t, "
                          "NrFisa=:n where id=:id"),
           {QVariant::fromValue(opening), QVariant::fromValue(sums.incasari),
            QVariant::fromValue(sums.plati), QVariant::fromValue(total), number, sheet.id});
    return total;
}

void rechainFrom(Connection &c, const Sheet &start)
{
    Transaction t(c);
    Money carry = writeSheet(c, start, start.sold, start.number);
    int number = start.number;
    int year = start.day.year();
    bool after = false;
    for (const Sheet &sheet : sheetsFrom(c, start, start.day)) {
        if (!after) {
            after = sheet.id == start.id;
            continue;
        }
        // The first sheet of a year keeps the number it was given.
        number = sheet.day.year() == year ? number + 1 : sheet.number;
        year = sheet.day.year();
        carry = writeSheet(c, sheet, carry, number);
    }
    t.commit();
}

void refuseOtherCurrency(Prompter &prompter, const Sheet &sheet, const QString &currency)
{
    if (currency == sheet.currency)
        return;
    prompter.information(QStringLiteral("Operatia este in ") + currency +
                         QStringLiteral(", iar fisa de casa in ") + sheet.currency +
                         QStringLiteral(". Adaugati operatia pe o fisa in ") + currency +
                         QStringLiteral("."));
    throw SilentAbort();
}

} // namespace

std::optional<qint64> findSheetOfDay(Connection &connection, qint64 companyId, qint64 workPointId,
                                     const QString &currency, QDate day)
{
    const QVariant id = connection.scalar(
        QStringLiteral(
            "select id from RegistruCasaSold where moneda=:m and id_firma=:f and id_punctlucru=:p "
            "and data>=:d1 and data<:d2 order by id"),
        {currency, companyId, workPointId, day, day.addDays(1)});
    if (id.isNull())
        return std::nullopt;
    return id.toLongLong();
}

bool sheetExistsOn(Connection &connection, qint64 companyId, qint64 workPointId,
                   const QString &currency, QDate day)
{
    return findSheetOfDay(connection, companyId, workPointId, currency, day).has_value();
}

void openSheetsOfYear(Dataset &sheets, qint64 companyId, qint64 workPointId,
                      const QString &currency, int year)
{
    sheets.close();
    sheets.setSql(
        QStringLiteral("select * from RegistruCasaSold where moneda=:pm and id_firma=:pid and "
                       "data>=:d1 and data<:d2 and id_punctlucru=:idp Order By data asc, nrfisa"));
    sheets.setParams({currency, companyId, QDate(year, 1, 1), QDate(year + 1, 1, 1), workPointId});
    sheets.open();
}

std::optional<qint64> addSheet(Connection &connection, Prompter &prompter, qint64 companyId,
                               qint64 workPointId, const TMonedaPlata &currency, QDate day)
{
    const QString code = currency.code;
    if (findSheetOfDay(connection, companyId, workPointId, code, day)) {
        prompter.information(QStringLiteral(
            "Exista fisa cu aceasta data. Introducerea noii fise nu poate fi facuta."));
        return std::nullopt;
    }
    Money opening;
    Dataset previous(connection,
                     QStringLiteral("Select top 1 total from RegistruCasaSold where moneda=:pm and "
                                    "id_firma=:idf and id_punctlucru=:idp and data<:pd "
                                    "Order by data desc, nrfisa desc"));
    previous.setParams({code, companyId, workPointId, day});
    previous.open();
    if (previous.isEmpty()) {
        prompter.information(
            QStringLiteral("Nu aveti inregistrari in ") + code +
            QStringLiteral(" registrul de casa, de aceea in fereastra urmatoare introduceti soldul "
                           "initial de la care incepeti."));
        const std::optional<QString> answer =
            prompter.input(QStringLiteral("Soldul initial in") + code,
                           QStringLiteral("Introduceti soldul initial in ") + code +
                               QStringLiteral(" (de ex: 1000)"),
                           QStringLiteral("1000"));
        if (!answer)
            return std::nullopt;
        QString typed = answer->trimmed();
        typed.replace(u',', u'.');
        const std::optional<Money> amount = Money::parse(typed);
        if (!amount)
            throw DbError::conversion(u'\'' + *answer +
                                      QStringLiteral("' is not a valid floating point value"));
        opening = roundTo(currency.decimals, *amount);
    } else {
        opening = previous.asMoney(QStringLiteral("total"));
    }

    int number = 0;
    const QVariant previousNumber = connection.scalar(
        QStringLiteral(
            "Select top 1 nrfisa from RegistruCasaSold where moneda=:pm and id_firma=:idf and "
            "id_punctlucru=:idp and data<:pd and data>=:py Order by data desc, nrfisa desc"),
        {code, companyId, workPointId, day, QDate(day.year(), 1, 1)});
    if (previousNumber.isNull()) {
        prompter.information(
            QStringLiteral("Nu aveti inregistrari in ") + code +
            QStringLiteral(" registrul de casa pe acest an, de aceea in fereastra urmatoare "
                           "introduceti nr de fisa cu care incepeti."));
        const std::optional<QString> answer = prompter.input(
            QStringLiteral("Nr de fisa cu care incepeti"),
            QStringLiteral("Introduceti numarul de fisa de la care incepeti (de ex: 12)"),
            QStringLiteral("1"));
        if (!answer)
            return std::nullopt;
        bool ok = false;
        number = answer->trimmed().toInt(&ok);
        if (!ok || number < 1)
            throw DbError::conversion(u'\'' + *answer +
                                      QStringLiteral("' is not a valid integer value"));
    } else {
        number = previousNumber.toInt() + 1;
    }

    Transaction t(connection);
    qint64 id = 0;
    try {
        id = connection.insert(QStringLiteral("RegistruCasaSold"),
                               {QStringLiteral("Sold"), QStringLiteral("Total"),
                                QStringLiteral("NrFisa"), QStringLiteral("Data"),
                                QStringLiteral("id_firma"), QStringLiteral("Moneda"),
                                QStringLiteral("NrZec"), QStringLiteral("id_punctlucru")},
                               {QVariant::fromValue(opening), QVariant::fromValue(opening), number,
                                day, companyId, code, currency.decimals, workPointId});
        // A sheet dated before others pushes their numbers on.
        reindexSheets(connection, id);
    } catch (const DbError &) {
        prompter.error(QStringLiteral("Eroare la introducerea fisei in reg de casa"));
        throw SilentAbort();
    }
    connection.afterCommit(
        [&prompter] { prompter.information(QStringLiteral("Fisa introdusa.")); });
    t.commit();
    return id;
}

void recomputeSheet(Connection &connection, qint64 sheetId)
{
    const Sheet sheet = readSheet(connection, sheetId);
    writeSheet(connection, sheet, sheet.sold, sheet.number);
}

void reindexSheets(Connection &connection, qint64 fromSheetId)
{
    rechainFrom(connection, readSheet(connection, fromSheetId));
}

void reindexSheetsFromDay(Connection &connection, qint64 companyId, qint64 workPointId,
                          const QString &currency, QDate day)
{
    Dataset ds(
        connection,
        QStringLiteral("select ") + SheetColumns +
            QStringLiteral(" from RegistruCasaSold where id_firma=:f and id_punctlucru=:p and "
                           "moneda=:m and data<:d Order By data desc, nrfisa desc, id desc"));
    ds.setParams({companyId, workPointId, currency, day});
    ds.open();
    if (!ds.isEmpty()) {
        rechainFrom(connection, sheetAt(ds));
        return;
    }
    Sheet book;
    book.companyId = companyId;
    book.workPointId = workPointId;
    book.currency = currency;
    const std::vector<Sheet> later = sheetsFrom(connection, book, day);
    if (!later.empty())
        rechainFrom(connection, later.front());
}

void checkLineCurrency(Connection &connection, Prompter &prompter, qint64 sheetId,
                       const QString &currency)
{
    refuseOtherCurrency(prompter, readSheet(connection, sheetId), currency);
}

qint64 addRegisterLine(Connection &connection, Prompter &prompter, qint64 sheetId,
                       const RegisterLine &line)
{
    const Sheet sheet = readSheet(connection, sheetId);
    refuseOtherCurrency(prompter, sheet, line.currency.code);
    QStringList columns{QStringLiteral("nranexa"),    QStringLiteral("nractcasa"),
                        QStringLiteral("explicatii"), QStringLiteral("simbolcont"),
                        QStringLiteral("incasari"),   QStringLiteral("plati"),
                        QStringLiteral("Moneda"),     QStringLiteral("NrZecimale"),
                        QStringLiteral("id_categ"),   QStringLiteral("id_fisa")};
    // Texts are held to their columns' widths: an explanation made of a
    // partner's name and what was paid can be longer.
    QVariantList values{line.nrAnexa.left(30),
                        line.nrActCasa.left(30),
                        line.explicatii.left(100),
                        line.simbolCont.left(30),
                        QVariant::fromValue(line.incasari),
                        QVariant::fromValue(line.plati),
                        line.currency.code,
                        line.currency.decimals,
                        line.categoryId,
                        sheetId};
    if (line.source) {
        columns << QStringLiteral("id_firma") << QStringLiteral("id_incasare_Vorlesk");
        values << line.source->companyId << line.source->rowId;
    }
    Transaction t(connection);
    const qint64 id = connection.insert(QStringLiteral("RegistrulCasaDetalii"), columns, values);
    rechainFrom(connection, sheet);
    t.commit();
    return id;
}

std::optional<qint64> addRegisterLineOnDay(Connection &connection, Prompter &prompter,
                                           qint64 companyId, qint64 workPointId, QDate day,
                                           const RegisterLine &line)
{
    Transaction t(connection);
    std::optional<qint64> sheet =
        findSheetOfDay(connection, companyId, workPointId, line.currency.code, day);
    if (!sheet)
        sheet = addSheet(connection, prompter, companyId, workPointId, line.currency, day);
    if (!sheet)
        return std::nullopt;
    const qint64 id = addRegisterLine(connection, prompter, *sheet, line);
    t.commit();
    return id;
}

void deleteRegisterLine(Connection &connection, qint64 lineId)
{
    const QVariant sheet = connection.scalar(
        QStringLiteral("select id_fisa from RegistrulCasaDetalii where id=:id"), {lineId});
    Transaction t(connection);
    connection.exec(QStringLiteral("Delete from RegistrulCasaDetalii where id=:id"), {lineId});
    if (!sheet.isNull())
        reindexSheets(connection, sheet.toLongLong());
    t.commit();
}

} // namespace sheets
