#pragma once

#include "sales/documentinserts.h"
#include "support/modules.h"

#include <QDate>

// Goods in a warehouse for the tests that sell or count them.

struct LotPrices
{
    const char *puOut = "0";
    const char *puIn = "0";
    const char *puInMM = "0";
};

// The first warehouse of the current work point.
inline qint64 firstWarehouse(Modules &mod)
{
    return mod.cnc()
        .scalar(QStringLiteral("select min(id) from SubcategoriiStocuri where id_categorie=:w"),
                {mod.state.currentWorkPointId})
        .toLongLong();
}

// A document of `date` received from `supplier` with one lot of `quantity`
// pieces in `warehouse`, at 21% VAT, all in RON. Returns the lot's line.
inline qint64 receiveLot(Modules &mod, qint64 warehouse, qint64 supplier, const QString &name,
                         double quantity, QDate date, LotPrices prices = {"12.5", "8", "8"})
{
    const auto money = [](const char *text) { return *Money::parse(QString::fromLatin1(text)); };
    DocumentHeader h;
    h.data = date;
    h.idCump = mod.dm.companyId();
    h.idVanzator = supplier;
    h.inOut = true;
    h.eNir = true;
    h.idMagazie = warehouse;
    h.idPunctLucru = mod.state.currentWorkPointId;
    DocumentLine l;
    l.idFact = insertDocumentHeader(mod.cnc(), QStringLiteral("Facturi"), h);
    l.idMagazie = warehouse;
    l.denumire = name;
    l.um = QStringLiteral("buc");
    l.cnt = quantity;
    l.stoc = quantity;
    l.punIn = money(prices.puIn);
    l.puInMM = money(prices.puInMM);
    l.valoare = l.punIn.times(quantity, 2);
    l.stocValoric = l.valoare;
    l.puOut = money(prices.puOut);
    l.cotaTvaOut = money("21");
    l.monedaIn = QStringLiteral("RON");
    l.monedaOut = QStringLiteral("RON");
    l.monedaMM = QStringLiteral("RON");
    l.idVanzator = supplier;
    l.idCumparator = mod.dm.companyId();
    l.adinStoc = true;
    return insertDocumentLine(mod.cnc(), QStringLiteral("ProdCumparate"), l);
}
