#include "workspace.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/util.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "documentinserts.h"
#include "numbering.h"
#include "stock/stockissue.h"

#include <QSqlQuery>

namespace {

const QString ValidatedLine =
    QStringLiteral("Factura e validata. Nu puteti sterge inregistrarea curenta. Treceti-i numarul "
                   "pe 0 dupa care  puteti sterge.");

} // namespace

DocumentWorkspace::DocumentWorkspace(Tdm &dm, RateSource rates)
    : m_dm(dm), m_rates(std::move(rates))
{}

void DocumentWorkspace::selectClient(qint64 clientId)
{
    m_clientId = clientId;
    m_partnerId = clientId;
    startNewDocument();
}

void DocumentWorkspace::startNewDocument()
{
    m_docOpen = false;
    m_documentId = -1;
}

bool DocumentWorkspace::setHeader(const Header &header)
{
    m_header = header;
    m_partnerId = m_clientId;
    AppState &state = m_dm.state();
    state.currentDocKind = header.kind;
    state.currentWorkPointId = header.workPointId;
    if (header.kind == numbering::ConsumptionNote) {
        // Goods consumed inside the company: the company is its own partner.
        const qint64 company = m_dm.companyId();
        const int found =
            m_dm.cnc()
                .scalar(QStringLiteral("select count(*) from Clienti where id=:id"), {company})
                .toInt();
        if (found == 0) {
            m_dm.prompter().information(QStringLiteral("Client nelocalizat "));
            return false;
        }
        m_partnerId = company;
    }
    return true;
}

bool DocumentWorkspace::documentIsValidated() const
{
    if (!m_docOpen)
        return false;
    return m_dm.cnc()
               .scalar(QStringLiteral(
                           "select count(*) from Facturi where id=:id and (Nf>0 or Validata=true)"),
                       {m_documentId})
               .toInt() > 0;
}

qint64 DocumentWorkspace::writeHeader(qint64 warehouse)
{
    Connection &c = m_dm.cnc();
    DocumentHeader h;
    QSqlQuery wp = c.run(QStringLiteral("select SerieFactura, seriebc from SeriiActe where id=:id"),
                         {m_header.workPointId});
    if (wp.next()) {
        h.seriaF = wp.value(0).toString();
        if (m_header.kind == numbering::ConsumptionNote)
            h.seriaBc = wp.value(1).toString();
    }
    wp.finish();
    h.data = m_header.date;
    h.idCump = m_partnerId;
    h.numeDelegat = m_header.delegate;
    h.delegatCnp = m_header.delegateCnp;
    h.seriaBuletin = m_header.cardSeries;
    h.nrBuletin = m_header.cardNumber;
    h.sectia = m_header.cardSection;
    h.transport = m_header.transport;
    h.dataExped = m_header.dispatchDate.isValid() ? m_header.dispatchDate : m_header.date;
    h.autoNr = m_header.vehicle;
    h.contract = m_header.contractText;
    h.modPlata = m_header.payment;
    h.tipFact = m_header.mentionId;
    h.termenPlata = m_header.dueDate.isValid() ? m_header.dueDate : m_header.date;
    h.comentariu = m_header.comment;
    const Dataset &staff = m_dm.adoAngajati;
    if (staff.isOpen() && !staff.isEmpty()) {
        h.operatorName = staff.asString(QStringLiteral("Nume")) + u' ' +
                         staff.asString(QStringLiteral("Prenume"));
        h.cnp = staff.asString(QStringLiteral("CNP"));
    }
    h.idMagazie = warehouse;
    h.tvaText = m_header.mentionText;
    h.dataComenzii = m_header.date;
    h.monedaFacturii = m_header.currency;
    h.monedaContract = m_header.currency;
    h.idVanzator = m_dm.companyId();
    h.idNrContract = m_header.contractId;
    h.tipAvizFactura = m_header.kind;
    h.idContClient = m_header.clientAccountId;
    h.idContFurnizor = c.scalar(QStringLiteral("Select min(ID) from Conturi Where id_firma=:idf"),
                                {m_dm.companyId()})
                           .toLongLong();
    if (h.idContFurnizor == 0)
        h.idContFurnizor = -1;
    h.idPunctLucru = m_header.workPointId;
    h.greutate = m_header.weight;
    h.volum = m_header.volume;
    h.licenta = m_header.licence;
    h.termeniLivrare = m_header.deliveryTerms;
    return insertDocumentHeader(c, QStringLiteral("Facturi"), h);
}

void DocumentWorkspace::reopenDocument()
{
    Tdm::openPartnerDocument(m_dm.adoNrFAct, m_partnerId, m_dm.companyId(), m_header.kind,
                             m_documentId);
}

std::optional<Money> DocumentWorkspace::rateFor(const QString &currency)
{
    const CurrencyInfo main = defaultCurrency(m_dm.cnc());
    if (currency.compare(main.code, Qt::CaseInsensitive) == 0)
        return Money::fromInt(1);
    if (m_rates) {
        if (const std::optional<Money> rate = m_rates(currency))
            return rate;
    }
    Prompter &p = m_dm.prompter();
    p.information(QStringLiteral("Eroare la introducerea cursului"));
    for (;;) {
        const std::optional<QString> typed =
            p.input(QStringLiteral("Curs valutar"), QStringLiteral("Introduceti cursul"),
                    QStringLiteral("1"));
        if (!typed)
            return std::nullopt;
        const std::optional<Money> rate = linecalc::parseAmount(*typed);
        if (rate && *rate > Money())
            return rate;
        p.information(QStringLiteral(
            "Cursul nu e introdus corect. Posibil separatorul zecimal sa fie gresit"));
    }
}

std::optional<qint64> DocumentWorkspace::addProductLine(qint64 productId,
                                                        const QString &quantityText, int discount)
{
    Prompter &p = m_dm.prompter();
    Connection &c = m_dm.cnc();
    Dataset product(c, QStringLiteral("Select * from ListaProduse where id=:id"));
    product.setParam(0, productId);
    product.open();
    if (product.isEmpty()) {
        p.information(QStringLiteral("Nu aveti produse "));
        return std::nullopt;
    }
    const std::optional<Money> quantity = linecalc::parseAmount(quantityText);
    if (!quantity) {
        p.information(QStringLiteral(
            "Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit"));
        return std::nullopt;
    }
    if (discount <= -100) {
        p.information(QStringLiteral(
            "Un discount de 100% sau mai mare nu se poate aplica. Alegeti alta valoare."));
        return std::nullopt;
    }
    if (documentIsValidated()) {
        p.information(QStringLiteral("Factura e validata. Nu mai puteti adauga produse."));
        return std::nullopt;
    }
    const QString currency = product.asString(QStringLiteral("moneda"));
    const std::optional<Money> rate = rateFor(currency);
    if (!rate)
        return std::nullopt;

    const CurrencyInfo main = defaultCurrency(c);
    const int pd = int(product.asInteger(QStringLiteral("NrZecimale")));
    const Money vat = m_header.mentionText.contains(QStringLiteral("Fara"), Qt::CaseInsensitive)
                          ? Money()
                          : product.asMoney(QStringLiteral("cotaTVA"));
    const linecalc::SaleAmounts a =
        linecalc::priceListLine(product.asMoney(QStringLiteral("Pret")), quantity->toDouble(),
                                discount, *rate, vat, pd, main.decimals);
    DocumentLine line;
    line.idProdusLista = productId;
    line.denumire = product.asString(QStringLiteral("DenPr"));
    line.um = product.asString(QStringLiteral("UM"));
    line.cnt = quantity->toDouble();
    line.serie = product.asString(QStringLiteral("Serie"));
    line.puOut = a.puOut;
    line.valOut = a.valOut;
    line.valTvaOut = a.valTvaOut;
    line.totalOut = a.totalOut;
    line.puOutMM = a.puOutMM;
    line.valOutMM = a.valOutMM;
    line.valTvaOutMM = a.valTvaOutMM;
    line.totalOutMM = a.totalOutMM;
    line.adaos = discount;
    line.monedaOut = currency;
    line.monedaIn = currency;
    line.cursOut = *rate;
    line.cursIn = *rate;
    line.idVanzator = m_dm.companyId();
    line.idCumparator = m_partnerId;
    line.cotaTvaOut = vat;
    line.nrzecIn = pd;
    line.nrzecOut = pd;
    line.nrzecMM = main.decimals;
    line.monedaMM = main.code;
    line.stocValoric = a.valOut;

    return writeLine(line, -1);
}

qint64 DocumentWorkspace::writeLine(DocumentLine line, qint64 warehouse)
{
    Connection &c = m_dm.cnc();
    qint64 lineId = 0;
    const bool wasOpen = m_docOpen;
    try {
        Transaction t(c);
        if (!m_docOpen) {
            m_documentId = writeHeader(warehouse);
            m_docOpen = true;
        }
        line.idFact = m_documentId;
        lineId = insertDocumentLine(c, QStringLiteral("ProdCumparate"), line);
        if (m_dm.adoSetari.asBoolean(QStringLiteral("tipTaxa")))
            writeGeneralLines(Money::fromInt(1), QStringLiteral("Taxa"));
        t.commit();
    } catch (...) {
        // Nothing was written: a header without its first line is not kept.
        if (!wasOpen)
            startNewDocument();
        throw;
    }
    // A new document is shown once; after that only its lines change.
    if (wasOpen && m_dm.adoNrFAct.isOpen() && !m_dm.adoNrFAct.isEmpty() &&
        m_dm.adoNrFAct.value(QStringLiteral("fid")).toLongLong() == m_documentId)
        m_dm.reopenCurrentDocumentLines();
    else
        reopenDocument();
    return lineId;
}

std::optional<qint64> DocumentWorkspace::addStockLine(qint64 warehouseId, const QString &name,
                                                      const QString &unit,
                                                      const QString &quantityText,
                                                      const QString &percentText)
{
    Prompter &p = m_dm.prompter();
    Connection &c = m_dm.cnc();
    const QString percent = percentText.trimmed();
    if (!stockissue::percentChoices().contains(percent)) {
        p.information(QStringLiteral("Alegeti procentul de discount/adaos din lista."));
        return std::nullopt;
    }
    const int m = percent.toInt();
    const std::optional<Money> typed = linecalc::parseAmount(quantityText);
    if (!typed) {
        p.information(QStringLiteral(
            "Eroare la introducerea cantitatii. Poate separatorul zecimal e gresit"));
        return std::nullopt;
    }
    const double q = typed->toDouble();
    const qint64 company = m_dm.companyId();
    const double available = stockissue::stockOf(c, warehouseId, company, m_header.workPointId,
                                                 m_header.date, name, unit);
    if (Money::fromDouble(available) < *typed) {
        p.information(QStringLiteral("Cantitatea de scazut este mai mare decat cea de pe stoc"));
        return std::nullopt;
    }
    const std::optional<stockissue::Lot> lot = stockissue::firstLot(
        c, warehouseId, company, m_header.workPointId, m_header.date, name, unit);
    if (!lot) {
        p.information(QStringLiteral("Nu aveti produse "));
        return std::nullopt;
    }
    if (documentIsValidated()) {
        p.information(QStringLiteral("Factura e validata. Nu mai puteti adauga produse."));
        return std::nullopt;
    }
    const std::optional<Money> rate = rateFor(lot->currencyOut);
    if (!rate)
        return std::nullopt;

    const CurrencyInfo main = defaultCurrency(c);
    const int dMM = main.decimals;
    const int dOut = lot->decimalsOut;
    const int64_t v = lot->vatRateOut.rounded(0).units() / Money::Scale;
    const int64_t r = rate->units();
    // Unit prices: the lot's sale price with the percent, or for a
    // consumption note (and a lot without a sale price on an invoice) its
    // input cost, the percent entering the main-currency price only.
    Money pu, puMM;
    const bool atCost = m_header.kind == numbering::ConsumptionNote ||
                        (m_header.kind == numbering::Invoice && lot->puOut.isZero());
    if (atCost) {
        puMM = Money::fromUnits(lot->puInMM.units() * 100 + lot->puIn.units() * m)
                   .mulDiv(r, Money::Scale * 100, dMM);
        pu = lot->puIn.rounded(dOut);
    } else {
        puMM = lot->puOut.mulDiv(r * (100 + m), Money::Scale * 100, dMM);
        pu = lot->puOut.mulDiv(100 + m, 100, dOut);
    }

    DocumentLine line;
    line.idMagazie = warehouseId;
    line.idActin = -1;
    line.idProdusLista = lot->lineId;
    line.denumire = lot->name;
    line.um = lot->unit;
    line.serie = lot->series;
    line.cnt = q;
    line.codm = -1;
    line.puOut = pu;
    line.valOut = pu.times(q, dOut);
    line.valTvaOut = line.valOut.mulDiv(v, 100, dOut);
    line.totalOut = line.valOut + line.valTvaOut;
    line.puOutMM = puMM;
    line.valOutMM = puMM.times(q, dMM);
    line.valTvaOutMM = line.valOutMM.mulDiv(v, 100, dMM);
    line.totalOutMM = line.valOutMM + line.valTvaOutMM;
    line.adaos = m;
    line.monedaOut = lot->currencyOut;
    line.monedaIn = lot->currencyIn;
    line.cursOut = *rate;
    line.cursIn = *rate;
    line.idVanzator = lot->supplierId;
    line.idCumparator = company;
    line.cotaTvaOut = Money::fromInt(v);
    line.nrzecIn = dOut;
    line.nrzecOut = dOut;
    line.nrzecMM = dMM;
    line.monedaMM = main.code;
    line.stocValoric = line.valOut;
    line.adinStoc = true;
    return writeLine(line, warehouseId);
}

bool DocumentWorkspace::addGeneralLine(const QString &percentText)
{
    Prompter &p = m_dm.prompter();
    if (percentText.trimmed() == QLatin1String("0")) {
        p.information(QStringLiteral("Nu puteti pune valoare 0.Alegeti alta valoare"));
        return false;
    }
    const std::optional<Money> percent = linecalc::parseAmount(percentText);
    if (!percent || percent->isZero()) {
        p.information(QStringLiteral(
            "Eroare la introducerea discountului. Poate separatorul zecimal e gresit"));
        return false;
    }
    if (!m_docOpen || lineCount() == 0) {
        p.information(QStringLiteral("Nu ati adaugat nimic pe factura/aviz/bc."));
        return false;
    }
    if (documentIsValidated()) {
        p.information(QStringLiteral("Factura e validata. Nu mai puteti adauga produse."));
        return false;
    }
    const bool fee = m_dm.adoSetari.asBoolean(QStringLiteral("tipTaxa"));
    const QString name =
        fee ? QStringLiteral("Taxa")
            : (percentText.contains(u'-') ? QStringLiteral("Discount") : QStringLiteral("Adaos"));
    {
        Transaction t(m_dm.cnc());
        writeGeneralLines(*percent, name);
        t.commit();
    }
    reopenDocument();
    return true;
}

// One general line per currency and VAT rate of the lines it applies to, so
// that its VAT follows the goods it corrects and no amounts of different
// currencies are added. A fee is kept single: it replaces the earlier one.
void DocumentWorkspace::writeGeneralLines(Money percent, const QString &name)
{
    Connection &c = m_dm.cnc();
    const bool fee = name == QLatin1String("Taxa");
    if (fee)
        c.exec(QStringLiteral("delete from ProdCumparate where id_fact=:f and UM like '%\\%%' "
                              "escape '\\' and Denumire='Taxa'"),
               {m_documentId});
    const CurrencyInfo main = defaultCurrency(c);
    Dataset groups(
        c, QStringLiteral("select monedaOut, cotaTVAOut, max(nrzecOUT) as nz, sum(ValOut) as v, "
                          "sum(ValOutMM) as vmm "
                          "from ProdCumparate where id_fact=:f and UM not like '%\\%%' escape '\\' "
                          "group by monedaOut, cotaTVAOut order by monedaOut, cotaTVAOut"));
    groups.setParam(0, m_documentId);
    groups.open();
    const bool noVat =
        fee || m_header.mentionText.contains(QStringLiteral("Fara"), Qt::CaseInsensitive);
    for (groups.first(); !groups.eof(); groups.next()) {
        linecalc::Group g;
        g.currency = groups.asString(QStringLiteral("monedaOut"));
        g.vatRate = groups.asMoney(QStringLiteral("cotaTVAOut"));
        g.decimals = int(groups.asInteger(QStringLiteral("nz")));
        g.value = groups.asMoney(QStringLiteral("v"));
        g.valueMM = groups.asMoney(QStringLiteral("vmm"));
        const Money vat = noVat ? Money() : g.vatRate;
        const linecalc::SaleAmounts a = linecalc::generalLine(g, percent, vat, main.decimals);
        DocumentLine line;
        line.idFact = m_documentId;
        line.idProdusLista = 0;
        line.denumire = name;
        line.um = QStringLiteral("%");
        line.cnt = percent.toDouble();
        line.valOut = a.valOut;
        line.valTvaOut = a.valTvaOut;
        line.totalOut = a.totalOut;
        line.puOutMM = a.puOutMM;
        line.valOutMM = a.valOutMM;
        line.valTvaOutMM = a.valTvaOutMM;
        line.totalOutMM = a.totalOutMM;
        line.adaos = percent.toDouble();
        line.monedaOut = g.currency;
        line.monedaIn = g.currency;
        line.idVanzator = m_dm.companyId();
        line.idCumparator = m_partnerId;
        line.cotaTvaOut = vat;
        line.nrzecIn = g.decimals;
        line.nrzecOut = g.decimals;
        line.nrzecMM = main.decimals;
        line.monedaMM = main.code;
        line.stocValoric = a.valOut;
        insertDocumentLine(c, QStringLiteral("ProdCumparate"), line);
    }
}

bool DocumentWorkspace::removeLine(qint64 lineId)
{
    Connection &c = m_dm.cnc();
    const int validated =
        c.scalar(QStringLiteral(
                     "select count(*) from Facturi f inner join ProdCumparate p on p.id_fact=f.id "
                     "where p.id=:id and (f.Nf>0 or f.Validata=true)"),
                 {lineId})
            .toInt();
    if (validated > 0) {
        m_dm.prompter().information(ValidatedLine);
        return false;
    }
    c.exec(QStringLiteral("Delete from ProdCumparate where id=:id"), {lineId});
    if (m_docOpen)
        reopenDocument();
    return true;
}

int DocumentWorkspace::lineCount() const
{
    if (!m_docOpen)
        return 0;
    return m_dm.cnc()
        .scalar(QStringLiteral("select count(*) from ProdCumparate where id_fact=:f"),
                {m_documentId})
        .toInt();
}

linecalc::Totals DocumentWorkspace::totals() const
{
    QList<linecalc::TotalsLine> lines;
    if (m_docOpen) {
        Dataset ds(m_dm.cnc(),
                   QStringLiteral("select * from ProdCumparate where id_fact=:f order by id"));
        ds.setParam(0, m_documentId);
        ds.open();
        for (ds.first(); !ds.eof(); ds.next()) {
            linecalc::TotalsLine l;
            l.valOut = ds.asMoney(QStringLiteral("ValOut"));
            l.valTvaOut = ds.asMoney(QStringLiteral("ValTVAOut"));
            l.totalOut = ds.asMoney(QStringLiteral("TotalOut"));
            l.cnt = ds.asFloat(QStringLiteral("Cnt"));
            l.um = ds.asString(QStringLiteral("UM"));
            l.adaos = ds.asFloat(QStringLiteral("Adaos"));
            l.nrzecOut = int(ds.asInteger(QStringLiteral("nrzecOUT")));
            lines << l;
        }
    }
    return linecalc::documentTotals(lines);
}
