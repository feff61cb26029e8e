#include "templates.h"

#include "db/connection.h"

#include <QFile>

namespace templates {

const QStringList &titles()
{
    static const QStringList list = {
        QStringLiteral("Contract"),   QStringLiteral("Factura"),     QStringLiteral("FacturasiChit"),
        QStringLiteral("Chitanta"),   QStringLiteral("Dispozitie"),  QStringLiteral("RegCasa"),
        QStringLiteral("NIR"),        QStringLiteral("BC"),          QStringLiteral("Aviz"),
        QStringLiteral("FisaMagazie"), QStringLiteral("Inventar"),   QStringLiteral("Raportare"),
        QStringLiteral("ActeExpira"), QStringLiteral("FisaService")};
    return list;
}

QString defaultText(const QString &title)
{
    for (const QString &known : titles()) {
        if (known.compare(title, Qt::CaseInsensitive) != 0)
            continue;
        QFile f(QStringLiteral(":/templates/") + known + QStringLiteral(".html"));
        if (f.open(QIODevice::ReadOnly))
            return QString::fromUtf8(f.readAll());
    }
    return {};
}

void installDefaults(Connection &connection, qint64 companyId)
{
    for (const QString &title : titles()) {
        const QString text = defaultText(title);
        if (text.isEmpty())
            continue;
        if (connection.scalar(QStringLiteral("select count(*) from Rapoarte where id_firma=:f and titluRaport=:t"),
                              {companyId, title})
                .toInt()
            > 0)
            continue;
        connection.insert(QStringLiteral("Rapoarte"),
                          {QStringLiteral("id_firma"), QStringLiteral("titluRaport"), QStringLiteral("Raport")},
                          {companyId, title, text.toUtf8()}, QStringLiteral("ID"));
    }
}

} // namespace templates
