#include "firstday.h"

#include "connection.h"
#include "core/password.h"
#include "reports/templates.h"

#include <QDate>

namespace firstday {
namespace {

QStringList columns(std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *n : names)
        out << QString::fromLatin1(n);
    return out;
}

} // namespace

void populate(Connection &c)
{
    const QStringList currencyColumns = columns({"CodIso", "Nrzecimale", "Ordine", "Simbol",
                                                 "Fractie", "Raportmonedafractie", "BifaDefault"});
    const qint64 ron = c.insert(QStringLiteral("Monede"), currencyColumns,
                                {QStringLiteral("RON"), 2, 1, QStringLiteral("lei"),
                                 QStringLiteral("bani"), QStringLiteral("100"), true},
                                QStringLiteral("ID"));
    c.insert(QStringLiteral("Monede"), currencyColumns,
             {QStringLiteral("EUR"), 2, 2, QStringLiteral("euro"), QStringLiteral("centi"),
              QStringLiteral("100"), false},
             QStringLiteral("ID"));
    c.insert(QStringLiteral("Monede"), currencyColumns,
             {QStringLiteral("USD"), 2, 3, QStringLiteral("dolari"), QStringLiteral("centi"),
              QStringLiteral("100"), false},
             QStringLiteral("ID"));

    // Methods are told apart by what their text contains: "Chitanta" and
    // "Bon de casa" are cash, "OP" and "card" go through a bank, "Dispozitie"
    // takes the disposition counter.
    for (const char *method :
         {"Chitanta", "Bon de casa", "OP", "Card", "Dispozitie de incasare", "Dispozitie de plata"})
        c.insert(QStringLiteral("Metodedeplata"), {QStringLiteral("Denumire")},
                 {QString::fromUtf8(method)}, QStringLiteral("Valoare"));

    for (const char *unit : {"buc", "kg", "l", "m", "mp", "ore", "luna", "serviciu", "set", "%"})
        c.insert(QStringLiteral("UM"), {QStringLiteral("UM")}, {QString::fromUtf8(unit)});

    // The document window works with two mentions: with VAT (each line at its
    // product's rate) and without VAT.
    const QStringList mentionColumns = columns({"Mentiune", "CotaTVA", "BifaDefault"});
    c.insert(QStringLiteral("Mentiuni_Facturi"), mentionColumns,
             {QStringLiteral("Cu TVA"), 21.0, true}, QStringLiteral("ID"));
    c.insert(QStringLiteral("Mentiuni_Facturi"), mentionColumns,
             {QStringLiteral("Fara TVA"), 0.0, false}, QStringLiteral("ID"));

    const QStringList intervalColumns = columns({"Interval", "Nrzile"});
    c.insert(QStringLiteral("IntervalFacturare"), intervalColumns, {QStringLiteral("Lunar"), 30},
             QStringLiteral("ID"));
    c.insert(QStringLiteral("IntervalFacturare"), intervalColumns,
             {QStringLiteral("Trimestrial"), 90}, QStringLiteral("ID"));
    c.insert(QStringLiteral("IntervalFacturare"), intervalColumns,
             {QStringLiteral("Semestrial"), 180}, QStringLiteral("ID"));
    c.insert(QStringLiteral("IntervalFacturare"), intervalColumns, {QStringLiteral("Anual"), 365},
             QStringLiteral("ID"));

    const qint64 company = c.insert(QStringLiteral("Clienti"),
                                    columns({"NumeFirma", "Tara", "DataIn", "Sold", "emitent",
                                             "client", "furnizor", "tipstoc", "smtpport"}),
                                    {QStringLiteral("FIRMA MEA SRL"), QStringLiteral("Romania"),
                                     QDate::currentDate(), 0, true, false, false, 0, 587});
    c.exec(QStringLiteral("UPDATE Clienti SET id_firma=:id WHERE id=:id2"), {company, company});

    const qint64 workPoint = c.insert(QStringLiteral("SeriiActe"),
                                      columns({"id_firma",
                                               "DenumirePunctLucru",
                                               "AbrevierePunctLucru",
                                               "AdresaPunctLucru",
                                               "BifaDefault",
                                               "SerieFactura",
                                               "NrFactura",
                                               "SerieAviz",
                                               "NrAviz",
                                               "SerieChitanta",
                                               "NrChitanta",
                                               "SerieDispozdeincasare",
                                               "Dispozitiedeincasareplata",
                                               "serienir",
                                               "nrnir",
                                               "seriebc",
                                               "nrbc",
                                               "NrFisaService",
                                               "id_moneda",
                                               "CaleFPRINT"}),
                                      {company,
                                       QStringLiteral("Sediu"),
                                       QStringLiteral("SED"),
                                       QString(),
                                       true,
                                       QStringLiteral("FCT"),
                                       1,
                                       QStringLiteral("AVZ"),
                                       1,
                                       QStringLiteral("CHT"),
                                       1,
                                       QStringLiteral("DSP"),
                                       1,
                                       QStringLiteral("NIR"),
                                       1,
                                       QStringLiteral("BC"),
                                       1,
                                       1,
                                       ron,
                                       QString()});

    c.insert(QStringLiteral("Angajati"), columns({"id_firma", "Nume", "Prenume", "Bifa", "Parola"}),
             {company, QStringLiteral("Administrator"), QString(), true,
              hashPassword(QString::fromLatin1(AdministratorPassword))});

    c.insert(QStringLiteral("CategoriiStocuri"), columns({"id_firma", "Categorie"}),
             {company, QStringLiteral("Marfuri")});
    c.insert(QStringLiteral("SubcategoriiStocuri"), columns({"id_categorie", "Categorie"}),
             {workPoint, QStringLiteral("Magazie")});

    const qint64 category =
        c.insert(QStringLiteral("Categorii"), columns({"id_firma", "Categorie"}),
                 {company, QStringLiteral("Produse")});
    c.insert(QStringLiteral("Sortimente"), columns({"id_categorie", "Categorie"}),
             {category, QStringLiteral("General")});

    const QStringList expenseColumns = columns({"id_firma", "CategorieFacturi", "Cod", "venit"});
    c.insert(QStringLiteral("CatFactIn"), expenseColumns,
             {company, QStringLiteral("Marfuri"), QStringLiteral("371"), false});
    c.insert(QStringLiteral("CatFactIn"), expenseColumns,
             {company, QStringLiteral("Servicii si utilitati"), QStringLiteral("628"), false});
    c.insert(QStringLiteral("CatFactIn"), expenseColumns,
             {company, QStringLiteral("Vanzari"), QStringLiteral("707"), true});

    templates::installDefaults(c, company);

    c.insert(QStringLiteral("Istoric"), columns({"Vers", "Data", "Descriere"}),
             {QStringLiteral("5.1.0"), QDate::currentDate(), QStringLiteral("Baza de date noua")},
             QStringLiteral("ID"));
}

} // namespace firstday
