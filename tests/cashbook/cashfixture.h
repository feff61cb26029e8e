#pragma once

#include "db/dataset.h"
#include "support/modules.h"

#include <QDate>
#include <QStringList>

// Sheets and lines written straight into the tables, and a book read back
// as text, for the cash register tests.
namespace cash {

inline QVariant amount(const QString &text)
{
    return QVariant::fromValue(Money::parse(text).value());
}

inline qint64 sheetOn(Modules &m, QDate day, int number, const QString &sold,
                      const QString &currency = QStringLiteral("RON"), qint64 workPoint = 0)
{
    return m.cnc().insert(QStringLiteral("RegistruCasaSold"),
                          {QStringLiteral("id_firma"), QStringLiteral("id_punctlucru"),
                           QStringLiteral("Moneda"), QStringLiteral("NrZec"),
                           QStringLiteral("Data"), QStringLiteral("NrFisa"), QStringLiteral("Sold"),
                           QStringLiteral("Total")},
                          {m.dm.companyId(), workPoint ? workPoint : m.state.currentWorkPointId,
                           currency, 2, day, number, amount(sold), amount(sold)});
}

inline qint64 lineOn(Modules &m, qint64 sheet, const QString &in, const QString &out,
                     const QString &currency = QStringLiteral("RON"))
{
    return m.cnc().insert(
        QStringLiteral("RegistrulCasaDetalii"),
        {QStringLiteral("id_fisa"), QStringLiteral("incasari"), QStringLiteral("plati"),
         QStringLiteral("Moneda"), QStringLiteral("NrZecimale"), QStringLiteral("explicatii")},
        {sheet, amount(in), amount(out), currency, 2, QStringLiteral("operatie")});
}

// Every sheet of a work point and currency in chain order, as
// "dd.MM.yyyy #number opening+receipts-payments=closing".
inline QStringList book(Modules &m, const QString &currency = QStringLiteral("RON"),
                        qint64 workPoint = 0)
{
    Dataset ds(
        m.cnc(),
        QStringLiteral("select * from RegistruCasaSold where id_firma=:f and id_punctlucru=:p and "
                       "moneda=:m order by data, nrfisa"));
    ds.setParams({m.dm.companyId(), workPoint ? workPoint : m.state.currentWorkPointId, currency});
    ds.open();
    QStringList out;
    for (ds.first(); !ds.eof(); ds.next()) {
        out << ds.asDate(QStringLiteral("Data")).toString(QStringLiteral("dd.MM.yyyy")) +
                   QStringLiteral(" #") + QString::number(ds.asInteger(QStringLiteral("NrFisa"))) +
                   u' ' + ds.asMoney(QStringLiteral("Sold")).toString(2) + u'+' +
                   ds.asMoney(QStringLiteral("Incasari")).toString(2) + u'-' +
                   ds.asMoney(QStringLiteral("PLati")).toString(2) + u'=' +
                   ds.asMoney(QStringLiteral("Total")).toString(2);
    }
    return out;
}

// Makes the database refuse to update one sheet, as a failing disk or a
// lock would.
inline void blockUpdatesOf(Modules &m, qint64 sheet)
{
    m.cnc().exec(
        QStringLiteral(
            "create trigger block_sheet before update on RegistruCasaSold when old.id = %1 "
            "begin select raise(abort, 'fisa blocata'); end")
            .arg(sheet));
}

} // namespace cash
