#include "supplierdocs.h"

#include "core/prompter.h"
#include "core/rounding.h"
#include "data/tdm.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "sales/documentinserts.h"

#include <QSqlQuery>

namespace supplierdocs {
namespace {

Money percentOf(Money amount, Money rate, int decimals)
{
    return amount.mulDiv(rate.units(), 100 * Money::Scale, decimals);
}

int decimalsOf(Connection &c, const QString &currency, int fallback)
{
    const QVariant d = c.scalar(QStringLiteral("select Nrzecimale from Monede where CodIso=:c"), {currency});
    return d.isValid() && !d.isNull() ? d.toInt() : fallback;
}

// The supplier's series and number identify the document: a header is
// never written without them.
bool checkNumbering(Prompter &p, const Header &header)
{
    if (header.number.trimmed().isEmpty()) {
        p.information(QStringLiteral("Nu ati completat NR"));
        return false;
    }
    if (header.series.trimmed().isEmpty()) {
        p.information(QStringLiteral("Introduceti seria si numarul documentului."));
        return false;
    }
    bool ok = false;
    const qint64 number = header.number.trimmed().toLongLong(&ok);
    if (!ok || number < 1) {
        p.information(QStringLiteral(
            "Numarul documentului furnizorului trebuie sa fie un numar intreg pozitiv."));
        return false;
    }
    return true;
}

} // namespace

LineAmounts recalcInputPrices(Money price, double quantity, Money vatRate, int decimalsIn, bool withSalePrice,
                              Money markup, Money vatRateOut, int decimalsOut)
{
    LineAmounts a;
    a.unitPrice = price.rounded(decimalsIn);
    a.value = a.unitPrice.times(quantity, decimalsIn);
    a.vat = percentOf(a.value, vatRate, decimalsIn);
    a.total = (a.value + a.vat).rounded(decimalsIn);
    if (withSalePrice) {
        a.unitPriceOut = a.unitPrice.mulDiv(markup.units() + 100 * Money::Scale, 100 * Money::Scale, decimalsOut);
        a.valueOut = a.unitPriceOut.times(quantity, decimalsOut);
        a.vatOut = percentOf(a.valueOut, vatRateOut, decimalsOut);
        a.totalOut = (a.valueOut + a.vatOut).rounded(decimalsOut);
    }
    return a;
}

LineAmounts recalcOutputPrices(const LineAmounts &input, Money salePrice, double quantity, Money vatRateOut,
                               int decimalsOut, bool withSalePrice)
{
    LineAmounts a = input;
    a.unitPriceOut = a.valueOut = a.vatOut = a.totalOut = Money();
    if (!withSalePrice)
        return a;
    a.unitPriceOut = salePrice.rounded(decimalsOut);
    a.valueOut = a.unitPriceOut.times(quantity, decimalsOut);
    a.vatOut = percentOf(a.valueOut, vatRateOut, decimalsOut);
    a.totalOut = (a.valueOut + a.vatOut).rounded(decimalsOut);
    return a;
}

Workspace::Workspace(Tdm &dm) : m_dm(dm) {}

void Workspace::selectSupplier(qint64 supplierId)
{
    m_supplierId = supplierId;
    startNewDocument();
}

void Workspace::startNewDocument()
{
    m_docOpen = false;
    m_documentId = -1;
}

void Workspace::useDocument(qint64 documentId)
{
    m_documentId = documentId;
    m_docOpen = documentId > 0;
}

bool Workspace::checkHeader(const Header &header, bool modifying)
{
    Prompter &p = m_dm.prompter();
    if (!modifying && header.number.trimmed().isEmpty()) {
        p.information(QStringLiteral("Nu ati completat NR"));
        return false;
    }
    if (!modifying && header.kind == 1 && !header.goods) {
        p.information(QStringLiteral("Nu ati bifat NIR pentru acest aviz"));
        return false;
    }
    if (!modifying && !checkNumbering(p, header))
        return false;
    if (header.goods && header.warehouseId <= 0) {
        p.information(QStringLiteral("Alegeti magazia in care intra marfa."));
        return false;
    }
    return true;
}

void Workspace::setHeader(const Header &header)
{
    m_header = header;
}

qint64 Workspace::writeHeader(const QString &currency)
{
    Connection &c = m_dm.cnc();
    DocumentHeader h;
    h.nf = m_header.number.trimmed().toLongLong();
    h.seriaF = m_header.series.trimmed();
    h.data = m_header.date.date();
    h.idCump = m_dm.companyId();
    h.idVanzator = m_supplierId;
    h.inOut = true;
    h.tipAvizFactura = m_header.kind;
    h.eNir = m_header.goods;
    h.idMagazie = m_header.goods ? m_header.warehouseId : -1;
    QSqlQuery wp = c.run(QStringLiteral("select AbrevierePunctLucru from SeriiActe where id=:id"), {m_header.workPointId});
    if (wp.next() && m_header.goods)
        h.seriaNir = wp.value(0).toString();
    wp.finish();
    h.idPunctLucru = m_header.workPointId;
    h.termenPlata = m_header.dueDate;
    h.comentariu = m_header.comment;
    const Dataset &staff = m_dm.adoAngajati;
    if (staff.isOpen() && !staff.isEmpty()) {
        h.operatorName = staff.asString(QStringLiteral("Nume")) + u' ' + staff.asString(QStringLiteral("Prenume"));
        h.cnp = staff.asString(QStringLiteral("CNP"));
    }
    h.tvaText = m_header.mentionText;
    h.tipFact = m_header.mentionId;
    h.catCheltuiala = m_header.categoryId;
    h.idContClient = c.scalar(QStringLiteral("Select min(ID) from Conturi Where id_firma=:idf"), {m_dm.companyId()}).toLongLong();
    if (h.idContClient == 0)
        h.idContClient = -1;
    h.idContFurnizor = m_header.supplierAccountId;
    h.monedaFacturii = currency;
    h.monedaContract = currency;
    h.valoareCurs = Money();
    h.dataExped = m_header.date.date();
    h.dataComenzii = m_header.date.date();
    const qint64 id = insertDocumentHeader(c, QStringLiteral("Facturi"), h);
    // The time of day matters for the order of movements of a day.
    c.exec(QStringLiteral("update Facturi set Data=:d where id=:id"), {m_header.date, id});
    return id;
}

std::optional<qint64> Workspace::addLine(const Line &line)
{
    Prompter &p = m_dm.prompter();
    if (line.name.trimmed().isEmpty()) {
        p.information(QStringLiteral("Nu ati introdus denumirea produsului."));
        return std::nullopt;
    }
    // In modify mode with no document chosen the line opens a new one, so
    // the header's numbering is checked here as well.
    if (!m_docOpen && !checkNumbering(p, m_header))
        return std::nullopt;
    // A rate of 0 would zero every amount kept in the main currency.
    const auto validRate = [](const std::optional<Money> &rate) { return rate && *rate > Money(); };
    if (!validRate(line.rateIn) || !validRate(line.rateOut)) {
        p.information(QStringLiteral(
            "Cursul nu e introdus corect. Posibil separatorul zecimal sa fie gresit"));
        return std::nullopt;
    }
    if (m_header.kind == 0 && line.price.isZero()) {
        p.information(QStringLiteral("Nu ati introdus pretul produsului."));
        return std::nullopt;
    }
    Connection &c = m_dm.cnc();
    const CurrencyInfo main = defaultCurrency(c);
    const int dIn = decimalsOf(c, line.currencyIn, main.decimals);
    const int dOut = decimalsOf(c, line.currencyOut.isEmpty() ? line.currencyIn : line.currencyOut, main.decimals);
    const int dMM = main.decimals;

    DocumentLine l;
    l.idMagazie = m_header.goods ? m_header.warehouseId : -1;
    l.idActin = -1;
    l.idProdusLista = -1;
    l.denumire = line.name.trimmed();
    l.serie = line.code;
    l.codm = 1;
    l.cnt = roundTo(4, line.quantity);
    l.stoc = l.cnt;
    l.um = line.unit;
    l.punIn = line.amounts.unitPrice;
    l.valoare = line.amounts.value;
    l.valoareTva = line.amounts.vat;
    l.totalIn = line.amounts.total;
    l.stocValoric = line.amounts.value;
    l.cotaTvaIn = line.vatRate;
    l.monedaIn = line.currencyIn;
    l.cursIn = *line.rateIn;
    l.puInMM = line.amounts.unitPrice.mulDiv(line.rateIn->units(), Money::Scale, dMM);
    if (line.currencyIn.compare(main.code, Qt::CaseInsensitive) == 0 &&
        *line.rateIn == Money::fromInt(1)) {
        // In the main currency the amounts are the same ones: the supplier's
        // own rounding, typed by hand, is kept on both sides.
        l.valInMM = l.valoare;
        l.valTvaInMM = l.valoareTva;
        l.totalInMM = l.totalIn;
    } else {
        l.valInMM = l.puInMM.times(l.cnt, dMM);
        l.valTvaInMM = percentOf(l.valInMM, line.vatRate, dMM);
        l.totalInMM = (l.valInMM + l.valTvaInMM).rounded(dMM);
    }
    l.puOut = line.amounts.unitPriceOut;
    l.valOut = line.amounts.valueOut;
    l.valTvaOut = line.amounts.vatOut;
    l.totalOut = line.amounts.totalOut;
    l.adaos = line.markup.toDouble();
    l.cotaTvaOut = line.vatRateOut;
    l.monedaOut = line.currencyOut.isEmpty() ? line.currencyIn : line.currencyOut;
    l.cursOut = *line.rateOut;
    if (line.withSalePrice) {
        // The sale price already carries the mark-up; it is converted once.
        l.puOutMM = line.amounts.unitPriceOut.mulDiv(line.rateOut->units(), Money::Scale, dMM);
        l.valOutMM = l.puOutMM.times(l.cnt, dMM);
        l.valTvaOutMM = percentOf(l.valOutMM, line.vatRateOut, dMM);
        l.totalOutMM = (l.valOutMM + l.valTvaOutMM).rounded(dMM);
    }
    l.nrzecIn = dIn;
    l.nrzecOut = dOut;
    l.nrzecMM = dMM;
    l.monedaMM = main.code;
    l.idVanzator = m_supplierId;
    l.idCumparator = m_dm.companyId();
    l.adinStoc = m_header.goods;

    const bool wasOpen = m_docOpen;
    qint64 lineId = 0;
    try {
        Transaction t(c);
        if (!m_docOpen) {
            m_documentId = writeHeader(line.currencyIn.isEmpty() ? main.code : line.currencyIn);
            m_docOpen = true;
        }
        l.idFact = m_documentId;
        lineId = insertDocumentLine(c, QStringLiteral("ProdCumparate"), l);
        // The lot's value in the main currency is what stock issues take out.
        c.exec(QStringLiteral("update ProdCumparate set Stoc_ValoricMM=:v where id=:id"), {QVariant::fromValue(l.valInMM), lineId});
        t.commit();
    } catch (...) {
        if (!wasOpen)
            startNewDocument();
        throw;
    }
    return lineId;
}

bool Workspace::removeLine(qint64 lineId)
{
    Prompter &p = m_dm.prompter();
    Connection &c = m_dm.cnc();
    Dataset l(c, QStringLiteral("select p.Cnt, p.Stoc, p.adinStoc, f.Validata from ProdCumparate p inner join Facturi f "
                                "on f.id=p.id_fact where p.id=:id"));
    l.setParam(0, lineId);
    l.open();
    if (l.isEmpty())
        return false;
    if (l.asBoolean(QStringLiteral("adinStoc")) && l.asFloat(QStringLiteral("Stoc")) < l.asFloat(QStringLiteral("Cnt"))) {
        p.information(QStringLiteral("Din acest lot s-a iesit deja din stoc. Linia nu poate fi stearsa."));
        return false;
    }
    if (l.asBoolean(QStringLiteral("Validata"))
        && !p.confirm(QStringLiteral("Documentul este validat. Stergeti totusi linia selectata?")))
        return false;
    c.exec(QStringLiteral("Delete from ProdCumparate where id=:id"), {lineId});
    return true;
}

Workspace::Totals Workspace::totals() const
{
    return m_docOpen ? totals(m_documentId) : Totals();
}

Workspace::Totals Workspace::totals(qint64 documentId) const
{
    Totals t;
    Dataset ds(m_dm.cnc(), QStringLiteral("select * from ProdCumparate where id_fact=:f order by id"));
    ds.setParam(0, documentId);
    ds.open();
    for (ds.first(); !ds.eof(); ds.next()) {
        const int n = int(ds.asInteger(QStringLiteral("nrzecOUT")));
        t.value = (t.value + ds.asMoney(QStringLiteral("Valoare"))).rounded(n);
        t.vat = (t.vat + ds.asMoney(QStringLiteral("ValoareTVA"))).rounded(n);
        t.total = (t.total + ds.asMoney(QStringLiteral("TotalIn"))).rounded(n);
        if (!ds.asString(QStringLiteral("UM")).contains(u'%'))
            t.quantity = roundTo(3, t.quantity + ds.asFloat(QStringLiteral("Cnt")));
    }
    return t;
}

} // namespace supplierdocs
