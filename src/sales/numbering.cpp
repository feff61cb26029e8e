#include "numbering.h"

#include "db/adapter.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/dberror.h"

#include <QSqlQuery>

namespace numbering {

QString kindText(int kind)
{
    switch (kind) {
    case DeliveryNote:
        return QStringLiteral("Aviz");
    case ConsumptionNote:
        return QStringLiteral("BC");
    default:
        return QStringLiteral("Factura");
    }
}

std::optional<LaterDocument> laterValidatedDocument(Connection &connection, int kind, QDate date, qint64 companyId,
                                                    qint64 workPointId)
{
    Dataset ds(connection, QStringLiteral("Select nf, data from Facturi where (data)>=:pd1 and nf>0 and  validata=true "
                                          "and anulata=false and stornata=false  and Tipavizfactura=:k and "
                                          "id_vanzator=:idf and id_punctlucru=:idp order by data, id"));
    adaptDataset(ds);
    // Everything of the same day passes: "later" starts the next day.
    ds.setParams({date.addDays(1), kind, companyId, workPointId});
    ds.open();
    if (ds.isEmpty())
        return std::nullopt;
    return LaterDocument{ds.asInteger(QStringLiteral("nf")), ds.asDateTime(QStringLiteral("data"))};
}

QString dateOrderQuestion(int kind, const LaterDocument &later)
{
    return QStringLiteral("Aveti ") + kindText(kind) + QStringLiteral(" validat(a) emise pe ")
           + later.date.toString(QStringLiteral("dd.MM.yyyy"))
           + QStringLiteral(". Validare respinsa. Puteti sa continuati si validati (YES) sau NO si corectati data (din "
                            "tabelul de mai sus) si reveniti ");
}

qint64 allocateNumber(Connection &connection, qint64 documentId, int kind, qint64 workPointId,
                      std::optional<qint64> typedNumber)
{
    const char *counter = kind == DeliveryNote ? "NrAviz" : (kind == ConsumptionNote ? "nrbc" : "NrFactura");
    QSqlQuery doc = connection.run(QStringLiteral("select id_vanzator, SeriaF from Facturi where id=:id"), {documentId});
    if (!doc.next())
        throw ActionRefused(QStringLiteral("Documentul nu mai exista."));
    const qint64 company = doc.value(0).toLongLong();
    const QString series = doc.value(1).toString();
    doc.finish();

    qint64 number = 0;
    const bool typed = kind == Invoice && typedNumber.has_value();
    if (typed) {
        number = *typedNumber;
        if (number < 1)
            throw ActionRefused(QStringLiteral("Numarul documentului trebuie sa fie cel putin 1."));
    } else {
        number = connection
                     .scalar(QStringLiteral("select ") + QLatin1String(counter) + QStringLiteral(" from SeriiActe where id=:id"),
                             {workPointId})
                     .toLongLong();
        if (number < 1)
            number = 1;
    }
    const int used = connection
                         .scalar(QStringLiteral("select count(*) from Facturi where id<>:id and id_vanzator=:f and "
                                                "id_punctlucru=:p and Tipavizfactura=:k and SeriaF=:s and Nf=:n"),
                                 {documentId, company, workPointId, kind, series, number})
                         .toInt();
    if (used > 0) {
        throw ActionRefused(QStringLiteral("Numarul ") + QString::number(number) + QStringLiteral(" exista deja la ")
                            + kindText(kind) + QStringLiteral(" seria ") + series.trimmed()
                            + (typed ? QStringLiteral(". Alegeti alt numar.")
                                     : QStringLiteral(". Corectati contorul punctului de lucru din Setari.")));
    }
    if (!typed) {
        connection.exec(QStringLiteral("update SeriiActe set ") + QLatin1String(counter) + QStringLiteral("=:n where id=:id"),
                        {number + 1, workPointId});
    }
    if (kind == ConsumptionNote)
        connection.exec(QStringLiteral("update Facturi set Nf=:n, BC=:b, ValoareCurs=1 where id=:id"), {number, number, documentId});
    else
        connection.exec(QStringLiteral("update Facturi set Nf=:n, ValoareCurs=1 where id=:id"), {number, documentId});
    return number;
}

} // namespace numbering
