#include "companies.h"

#include "core/password.h"
#include "db/connection.h"
#include "db/firstday.h"

#include <QSqlQuery>

namespace companies {
namespace {

QList<qint64> ids(Connection &c, const QString &sql, const QVariantList &values)
{
    QList<qint64> out;
    QSqlQuery q = c.run(sql, values);
    while (q.next())
        out << q.value(0).toLongLong();
    q.finish();
    return out;
}

} // namespace

void copyConfiguration(Connection &c, qint64 n, qint64 s)
{
    // An own company is a partner of itself, so that it can stand as the
    // buyer of its own cash receipts.
    c.exec(QStringLiteral("update Clienti set id_firma=:n where id=:n2"), {n, n});

    c.exec(QStringLiteral("INSERT INTO Rapoarte  (id_firma, titluRaport, Raport)  SELECT :n , titluRaport, Raport "
                          "FROM Rapoarte where id_firma=:s"),
           {n, s});

    const QList<qint64> startWorkPoints =
        ids(c, QStringLiteral("select id from SeriiActe where id_firma=:s order by id"), {s});
    c.exec(QStringLiteral(" INSERT INTO SeriiActe  (id_firma,SerieFactura, NrFactura, SerieChitanta,NrChitanta,id_moneda,"
                          "Bifadefault,SerieAviz,   NrAviz,Dispozitiedeincasareplata, SerieDispozdeincasare, NrNIR, "
                          "NrBC ,SerieNIR, SerieBC,DenumirePunctLucru,   AbrevierePunctLucru, AdresaPunctLucru )  "
                          "SELECT :n , SerieFactura, NrFactura,SerieChitanta, NrChitanta, id_moneda,Bifadefault,"
                          "SerieAviz,   NrAviz,Dispozitiedeincasareplata, SerieDispozdeincasare, NrNIR, NrBC ,"
                          "SerieNIR, SerieBC,DenumirePunctLucru,  AbrevierePunctLucru, AdresaPunctLucru  FROM "
                          "SeriiActe where id_firma=:s order by id"),
           {n, s});
    const QList<qint64> newWorkPoints =
        ids(c, QStringLiteral("select id from SeriiActe where id_firma=:n order by id"), {n});

    c.insert(QStringLiteral("Angajati"),
             {QStringLiteral("id_firma"), QStringLiteral("nume"), QStringLiteral("prenume"), QStringLiteral("parola"),
              QStringLiteral("Bifa")},
             {n, QStringLiteral("Administrator"), QString(),
              hashPassword(QString::fromLatin1(firstday::AdministratorPassword)), true});

    c.exec(QStringLiteral("INSERT INTO catfactin (id_firma, CategorieFacturi,cod, venit) Select :n, categoriefacturi, "
                          "cod, venit from catfactin where id_firma=:s"),
           {n, s});
    c.exec(QStringLiteral("INSERT INTO categorii (id_firma, Categorie) Select :n, categorie from categorii where "
                          "id_firma=:s"),
           {n, s});
    c.exec(QStringLiteral("INSERT INTO categoriistocuri (id_firma, Categorie) Select :n, categorie from "
                          "categoriistocuri where id_firma=:s"),
           {n, s});
    c.exec(QStringLiteral("INSERT INTO categacteexpira (id_firma, denumire) Select :n, denumire from "
                          "categacteexpira where id_firma=:s"),
           {n, s});

    // Warehouses belong to work points: each new work point gets the
    // warehouses of the start company's work point it was copied from.
    for (qsizetype i = 0; i < startWorkPoints.size() && i < newWorkPoints.size(); ++i) {
        c.exec(QStringLiteral("INSERT INTO subcategoriistocuri (id_categorie, Categorie) Select :wp, Categorie from "
                              "subcategoriistocuri where id_categorie=:old order by id"),
               {newWorkPoints[i], startWorkPoints[i]});
    }

    c.exec(QStringLiteral("INSERT INTO ModeleContract  (id_firma, titlu, textcontract,SerieContract,nrContract)  "
                          "SELECT :n , titlu, textcontract, SerieContract, nrContract FROM modelecontract where "
                          "id_firma=:s"),
           {n, s});
}

void deleteConfiguration(Connection &c, qint64 id)
{
    for (const char *table : {"Rapoarte", "SeriiActe", "Angajati", "Delegati", "CatFactIn", "ModeleContract", "Conturi",
                              "Categorii", "CategoriiStocuri"}) {
        c.exec(QStringLiteral("Delete from ") + QLatin1String(table) + QStringLiteral(" where id_firma=:c"), {id});
    }
}

} // namespace companies
