#include "collections.h"

#include "cashbook/sheets.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "sales/linecalc.h"

#include <QSqlQuery>

namespace collections {

Method classify(const QString &text)
{
    Method m;
    m.none = text.trimmed().isEmpty() || text == QLatin1String("--");
    m.bank = text.contains(QStringLiteral("OP")) || text.toLower().contains(QStringLiteral("card"));
    if (m.none || m.bank)
        return m;
    m.receipt = text.contains(QStringLiteral("Chita"));
    m.disposition = text.contains(QStringLiteral("Dispozi"));
    m.cash = text.contains(QStringLiteral("Chitanta")) || text.contains(QStringLiteral("Dispozitie"))
             || text.contains(QStringLiteral("casa"));
    return m;
}

Numbering proposedNumber(Tdm &dm, const QString &methodText, qint64 workPointId)
{
    const Method m = classify(methodText);
    Numbering n;
    if (!m.receipt && !m.disposition)
        return n;
    QSqlQuery q = dm.cnc().run(QStringLiteral("select NrChitanta, SerieChitanta, Dispozitiedeincasareplata, "
                                              "SerieDispozdeincasare from SeriiActe where id=:id"),
                               {workPointId});
    if (q.next()) {
        n.number = m.receipt ? q.value(0).toLongLong() : q.value(2).toLongLong();
        n.series = m.receipt ? q.value(1).toString() : q.value(3).toString();
    }
    q.finish();
    if (n.number < 1)
        n.number = 1;
    return n;
}

namespace {

Money sumOf(Connection &c, const QString &sql, const QVariantList &values)
{
    Dataset ds(c, sql);
    ds.setParams(values);
    ds.open();
    return ds.isEmpty() ? Money() : ds.asMoney(ds.fieldName(0));
}

int decimalsOf(Connection &c, const QString &currency)
{
    const QVariant d = c.scalar(QStringLiteral("select Nrzecimale from Monede where CodIso=:c"), {currency});
    return d.isValid() && !d.isNull() ? d.toInt() : 2;
}

} // namespace

QList<UnpaidInvoice> unpaidInvoices(Tdm &dm, qint64 clientId, qint64 invoiceToCollect)
{
    Connection &c = dm.cnc();
    const qint64 company = dm.companyId();
    Dataset invoices(c, invoiceToCollect > 0
                            ? QStringLiteral("Select * from Facturi Where  id =:idf")
                            : QStringLiteral("Select * from Facturi Where  (Tipavizfactura=0) and id_cump=:idc and achitata=0 "
                                             "and anulata=0 and nf>0 and id_vanzator=:idfirma Union All Select * from Facturi "
                                             "Where Tipavizfactura=0  and id_cump=:idfirma and id_vanzator=:idfirma and "
                                             "achitata=0 and anulata=0 and nf=0  order by data desc, id desc"));
    if (invoiceToCollect > 0)
        invoices.setParam(0, invoiceToCollect);
    else
        invoices.setParams({clientId, company, company, company});
    invoices.open();
    QList<UnpaidInvoice> out;
    for (invoices.first(); !invoices.eof(); invoices.next()) {
        UnpaidInvoice u;
        u.id = invoices.asInteger(QStringLiteral("id"));
        u.currency = invoices.asString(QStringLiteral("MonedaFacturii"));
        u.total = sumOf(c, QStringLiteral("select sum(totalout) from ProdCumparate where id_fact=:idf"), {u.id});
        u.collected = sumOf(c, QStringLiteral("select sum(suma) from incasari where id_fact=:idf and anulata=0 and moneda=:m"),
                            {u.id, u.currency});
        u.text = invoices.asString(QStringLiteral("Nf")) + QStringLiteral(" / ")
                 + invoices.asDate(QStringLiteral("Data")).toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" cu total=")
                 + u.total.toString(2) + QStringLiteral(" din care achitat=") + u.collected.toString(2);
        out << u;
    }
    return out;
}

bool settleInvoice(Tdm &dm, qint64 invoiceId)
{
    Connection &c = dm.cnc();
    Dataset invoice(c, QStringLiteral("select MonedaFacturii from Facturi where id=:id"));
    invoice.setParam(0, invoiceId);
    invoice.open();
    if (invoice.isEmpty())
        return false;
    const QString currency = invoice.asString(QStringLiteral("MonedaFacturii"));
    const Money total = sumOf(c, QStringLiteral("select sum(totalout) from ProdCumparate where id_fact=:idf"), {invoiceId});
    const Money collected = sumOf(c, QStringLiteral("select sum(suma) from Incasari where id_fact=:idf and anulata=0 and moneda=:m"),
                                  {invoiceId, currency});
    // Amounts are compared at the currency's decimals, so a total kept with
    // more decimals than were paid still closes.
    const bool paid = !total.isZero() && collected >= total.rounded(decimalsOf(c, currency));
    c.exec(QStringLiteral("Update Facturi Set Achitata=:a, SumaAchitat=:ps where id=:id"),
           {paid, QVariant::fromValue(collected), invoiceId});
    return paid;
}

qint64 cashLineCategory(const TdmRC &rc, qint64 companyId)
{
    // The shared category list may be open elsewhere: read its rows apart.
    Dataset categories(rc.adoCatFactIn.connection(), rc.adoCatFactIn.sql());
    categories.setParam(0, companyId);
    categories.open();
    return categories.isEmpty() ? 0 : categories.asInteger(QStringLiteral("id"));
}

std::optional<Added> addCollection(Tdm &dm, const Collection &col)
{
    Prompter &p = dm.prompter();
    Connection &c = dm.cnc();
    const Method method = classify(col.method);
    const CurrencyInfo main = defaultCurrency(c);
    if (method.none) {
        p.information(QStringLiteral("Nu ati completat tipul incasarii"));
        return std::nullopt;
    }
    if (col.numberText.trimmed().isEmpty()) {
        p.information(QStringLiteral("Nu ati completat numarul incasarii"));
        return std::nullopt;
    }
    bool numberOk = false;
    const qint64 number = col.numberText.trimmed().toLongLong(&numberOk);
    if (!numberOk || number < 0) {
        p.information(QStringLiteral("Nu ati completat numarul incasarii"));
        return std::nullopt;
    }
    if (col.rate.isZero()) {
        p.information(QStringLiteral("Cursul nu poate fi 0"));
        return std::nullopt;
    }
    if (col.rate == Money::fromInt(1) && !col.currency.code.contains(main.code, Qt::CaseInsensitive)) {
        p.information(QStringLiteral("Cursul nu poate fi 1"));
        return std::nullopt;
    }
    if (col.amount.isZero()) {
        p.information(QStringLiteral("Nu ati completat suma incasarii"));
        return std::nullopt;
    }
    if ((method.receipt || method.disposition) && number < 1) {
        p.information(QStringLiteral("Nu ati completat numarul incasarii"));
        return std::nullopt;
    }

    const qint64 company = dm.companyId();
    Added added;
    {
        Transaction t(c);
        if (method.receipt || method.disposition) {
            // A number given twice on one work point and series is refused.
            const int used = c.scalar(QStringLiteral("select count(*) from Incasari where id_firma=:f and id_punctlucru=:p "
                                                     "and Seria=:s and NrChit=:n"),
                                      {company, col.workPointId, col.series, number})
                                 .toInt();
            if (used > 0) {
                p.information(QStringLiteral("Numarul ") + QString::number(number) + QStringLiteral(" seria ")
                              + col.series + QStringLiteral(" a mai fost folosit. Alegeti alt numar."));
                return std::nullopt;
            }
        }
        PaymentRecord r;
        r.idFact = col.invoiceId;
        r.idCumparator = col.clientId;
        r.data = col.date.startOfDay();
        r.modPlata = col.method;
        r.suma = col.amount;
        r.sumaLiteral = col.amountInWords;
        r.reprezentand = col.reprezentand;
        r.nrChit = number;
        r.seria = col.series;
        r.comentariu = col.comment;
        r.moneda = col.currency.code;
        r.nrZecimale = col.currency.decimals;
        const Dataset &staff = dm.adoAngajati;
        if (staff.isOpen() && !staff.isEmpty())
            r.operatorName = staff.asString(QStringLiteral("Nume")) + u' ' + staff.asString(QStringLiteral("Prenume"));
        r.curs = col.rate.toDouble();
        r.idFirma = company;
        r.sumaMM = col.amount.mulDiv(col.rate.units(), Money::Scale);
        r.monedaMM = main.code;
        r.nrZecMM = main.decimals;
        r.banca = method.bank && !col.bank.trimmed().isEmpty() ? col.bank : QStringLiteral(" ");
        r.idPunctLucru = col.workPointId;
        added.id = insertPaymentRecord(c, QStringLiteral("Incasari"), r);

        if (method.cash) {
            QString clientName = c.scalar(QStringLiteral("select NumeFirma from Clienti where id=:id"), {col.clientId}).toString();
            sheets::RegisterLine line;
            line.nrAnexa = QStringLiteral(" ");
            line.nrActCasa = col.series + u'-' + QString::number(number);
            line.explicatii = clientName.trimmed() + u' ' + col.reprezentand.trimmed();
            line.simbolCont = QStringLiteral(" ");
            line.incasari = col.amount;
            line.currency = col.currency;
            line.categoryId = col.categoryId;
            line.source = sheets::RegisterLine::Source{company, added.id};
            if (!sheets::addRegisterLineOnDay(c, p, company, col.workPointId, col.date, line))
                throw SilentAbort();
        }
        if (col.invoiceId > 0) {
            added.invoicePaid = settleInvoice(dm, col.invoiceId);
            const Money total = sumOf(c, QStringLiteral("select sum(totalout) from ProdCumparate where id_fact=:idf"), {col.invoiceId});
            const Money collected = sumOf(c, QStringLiteral("select SumaAchitat from Facturi where id=:id"), {col.invoiceId});
            if (!added.invoicePaid)
                added.remaining = total - collected;
        }
        if (method.receipt || method.disposition) {
            const char *counter = method.receipt ? "NrChitanta" : "Dispozitiedeincasareplata";
            c.exec(QStringLiteral("update SeriiActe set ") + QLatin1String(counter) + QStringLiteral("=max(coalesce(")
                       + QLatin1String(counter) + QStringLiteral(", 0), :n) + 1 where id=:id"),
                   {number, col.workPointId});
        }
        t.commit();
    }
    return added;
}

namespace {

void removeCashLine(Tdm &dm, qint64 collectionId)
{
    Connection &c = dm.cnc();
    Dataset lines(c, QStringLiteral("select id from RegistrulCasaDetalii where id_firma=:f and id_incasare_Vorlesk=:id and "
                                    "incasari<>0"));
    lines.setParams({dm.companyId(), collectionId});
    lines.open();
    for (lines.first(); !lines.eof(); lines.next())
        sheets::deleteRegisterLine(c, lines.asInteger(QStringLiteral("id")));
}

qint64 invoiceOf(Connection &c, qint64 collectionId)
{
    return c.scalar(QStringLiteral("select id_fact from Incasari where id=:id"), {collectionId}).toLongLong();
}

// Takes a collection off its invoice and the register: `change` deletes it
// or marks it cancelled; the invoice is settled again on what is left.
void withdrawCollection(Tdm &dm, qint64 collectionId, const QString &change)
{
    Connection &c = dm.cnc();
    Transaction t(c);
    const qint64 invoice = invoiceOf(c, collectionId);
    removeCashLine(dm, collectionId);
    c.exec(change, {collectionId});
    if (invoice > 0)
        settleInvoice(dm, invoice);
    t.commit();
}

} // namespace

void deleteCollection(Tdm &dm, qint64 collectionId)
{
    withdrawCollection(dm, collectionId, QStringLiteral("Delete from Incasari where id=:id"));
}

void cancelCollection(Tdm &dm, qint64 collectionId)
{
    withdrawCollection(dm, collectionId,
                       QStringLiteral("update Incasari set Anulata=1 where id=:id"));
}

} // namespace collections
