#include "validation.h"

#include "core/appstate.h"
#include "core/prompter.h"
#include "data/tdm.h"
#include "data/util.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/transaction.h"
#include "linecalc.h"
#include "numbering.h"

#include <QMap>

namespace {

// Converts an amount from the line's currency to the document's, given the
// value of one unit of each in the main currency.
Money convert(Money amount, Money lineUnit, Money documentUnit, int decimals)
{
    return amount.mulDiv(lineUnit.units(), documentUnit.units(), decimals);
}

Money percentOf(Money amount, Money rate, int decimals)
{
    return amount.mulDiv(rate.units(), 100 * Money::Scale, decimals);
}

} // namespace

DocumentValidation::DocumentValidation(Tdm &dm, RateSource rates, StockIssuer stock)
    : m_dm(dm), m_rates(std::move(rates)), m_stock(std::move(stock))
{
}

std::optional<Money> DocumentValidation::askRate(const QString &currency, bool silent)
{
    Prompter &p = m_dm.prompter();
    const std::optional<Money> fetched = m_rates ? m_rates(currency) : std::nullopt;
    if (silent)
        return fetched;
    if (!fetched)
        p.information(QStringLiteral("Nu am putut citi cursul online"));
    QString proposed = fetched ? fetched->toString(4) : QStringLiteral("1");
    proposed.replace(u'.', u',');
    for (;;) {
        const std::optional<QString> typed =
            p.input(QStringLiteral("Valoarea cursului valutar este de:"),
                    QStringLiteral("Introduceti cursul ") + currency + QStringLiteral(":"),
                    proposed);
        if (!typed)
            return std::nullopt;
        const std::optional<Money> rate = linecalc::parseAmount(*typed);
        if (rate && *rate > Money())
            return rate;
        p.information(QStringLiteral("Cursul nu e introdus corect. Posibil separatorul zecimal sa fie gresit"));
    }
}

DocumentValidation::Outcome DocumentValidation::validate(qint64 documentId, const Options &options)
{
    m_error.clear();
    m_number = 0;
    Prompter &p = m_dm.prompter();
    Connection &c = m_dm.cnc();

    Dataset doc(c, QStringLiteral("select * from Facturi where id=:id"));
    doc.setParam(0, documentId);
    doc.open();
    if (doc.isEmpty())
        return Outcome::Stopped;
    Dataset lines(c, QStringLiteral("select * from ProdCumparate where id_fact=:f order by id"));
    lines.setParam(0, documentId);
    lines.open();
    if (lines.isEmpty())
        return Outcome::Stopped;

    const int kind = int(doc.asInteger(QStringLiteral("Tipavizfactura")));
    const QString kindText = numbering::kindText(kind);
    if (doc.asInteger(QStringLiteral("Nf")) >= 1 || doc.asBoolean(QStringLiteral("Validata"))) {
        if (!options.silent)
            p.information(kindText + QStringLiteral(" are deja numar alocat. Validare respinsa"));
        return Outcome::Stopped;
    }
    const qint64 workPoint = doc.asInteger(QStringLiteral("id_punctlucru"));
    const qint64 company = doc.asInteger(QStringLiteral("id_vanzator"));

    bool automatic = options.automaticNumber;
    if (const auto later = numbering::laterValidatedDocument(c, kind, doc.asDate(QStringLiteral("Data")), company, workPoint)) {
        if (options.silent || !p.confirm(numbering::dateOrderQuestion(kind, *later)))
            return Outcome::Stopped;
        automatic = false;
    }
    if (!options.silent
        && !p.confirmOkCancel(QStringLiteral("Daca totul este in regula, doriti sa alocati numarul de ordine ") + kindText
                              + QStringLiteral(" ?")))
        return Outcome::Stopped;

    std::optional<qint64> typed;
    if (kind == numbering::Invoice && !automatic) {
        const std::optional<QString> answer =
            options.silent ? std::nullopt
                           : p.input(QStringLiteral("Introduceti nr de factura dorit"), QStringLiteral("Nr de factura"),
                                     QStringLiteral("0"));
        if (!answer)
            return Outcome::Stopped;
        bool ok = false;
        typed = answer->trimmed().toLongLong(&ok);
        if (!ok) {
            p.error(DbError::conversion(u'\'' + answer->trimmed() + QStringLiteral("' is not a valid integer value"))
                        .displayText());
            return Outcome::Stopped;
        }
    }

    // The value of one unit of each currency in the main currency: the main
    // currency is 1, every other one is fetched or asked once.
    const CurrencyInfo main = defaultCurrency(c);
    const QString documentCurrency =
        doc.asString(QStringLiteral("MonedaFacturii")).isEmpty() ? main.code : doc.asString(QStringLiteral("MonedaFacturii"));
    QMap<QString, Money> unit;
    unit.insert(main.code.toUpper(), Money::fromInt(1));
    QStringList needed;
    if (kind == numbering::Invoice) {
        needed << documentCurrency.toUpper();
        for (lines.first(); !lines.eof(); lines.next())
            needed << lines.asString(QStringLiteral("monedaOut")).toUpper();
    }
    for (const QString &currency : std::as_const(needed)) {
        if (currency.isEmpty() || unit.contains(currency))
            continue;
        const std::optional<Money> rate = askRate(currency, options.silent);
        if (!rate) {
            if (options.silent) {
                m_error = QStringLiteral("Nu am putut citi cursul online pentru ") + currency;
                return Outcome::Failed;
            }
            return Outcome::Stopped;
        }
        unit.insert(currency, *rate);
    }
    const auto unitOf = [&](const QString &currency) {
        return unit.value(currency.toUpper(), Money::fromInt(1));
    };
    const Money documentUnit = unitOf(documentCurrency);
    Money documentRate = documentUnit;
    if (documentCurrency.compare(main.code, Qt::CaseInsensitive) == 0) {
        // A main-currency invoice shows the rate of its foreign lines, if any.
        for (auto it = unit.cbegin(); it != unit.cend(); ++it) {
            if (it.key() != main.code.toUpper())
                documentRate = it.value();
        }
    }
    const int ld = [&] {
        Dataset d(c, QStringLiteral("select Nrzecimale from Monede where CodIso=:c"));
        d.setParam(0, documentCurrency);
        d.open();
        return d.isEmpty() ? main.decimals : int(d.asInteger(QStringLiteral("Nrzecimale")));
    }();
    const int md = main.decimals;

    try {
        Transaction t(c);
        m_number = numbering::allocateNumber(c, documentId, kind, workPoint, typed);
        c.exec(QStringLiteral("update Facturi set ValoareCurs=:r where id=:id"), {QVariant::fromValue(documentRate), documentId});
        const bool stockDone = doc.asBoolean(QStringLiteral("actualizarestoc"));
        try {
            for (lines.first(); !lines.eof(); lines.next()) {
                const QString lineCurrency = lines.asString(QStringLiteral("monedaOut")).isEmpty()
                                                 ? documentCurrency
                                                 : lines.asString(QStringLiteral("monedaOut"));
                const Money lineUnit = kind == numbering::Invoice ? unitOf(lineCurrency) : Money::fromInt(1);
                const Money docUnit = kind == numbering::Invoice ? documentUnit : Money::fromInt(1);
                const Money vat = lines.asMoney(QStringLiteral("cotaTVAOut"));
                const double quantity = lines.asFloat(QStringLiteral("Cnt"));
                const bool general = lines.asString(QStringLiteral("UM")).contains(u'%');
                lines.edit();
                if (kind == numbering::ConsumptionNote) {
                    const Money price = lines.asMoney(QStringLiteral("PUOut"));
                    const Money priceMM = lines.asMoney(QStringLiteral("PUnitaroutMM"));
                    const Money value = price.times(quantity, ld);
                    lines.setValue(QStringLiteral("PUnIn"), QVariant::fromValue(price.rounded(ld)));
                    lines.setValue(QStringLiteral("Valoare"), QVariant::fromValue(value));
                    lines.setValue(QStringLiteral("ValoareTVA"), QVariant::fromValue(percentOf(value, vat, ld)));
                    const Money valueMM = priceMM.rounded(md).times(quantity, md);
                    lines.setValue(QStringLiteral("PUInMM"), QVariant::fromValue(priceMM.rounded(md)));
                    lines.setValue(QStringLiteral("ValInMM"), QVariant::fromValue(valueMM));
                    lines.setValue(QStringLiteral("ValTVAInMM"), QVariant::fromValue(percentOf(valueMM, vat, md)));
                } else if (general) {
                    // A general discount, mark-up or fee keeps its amounts, in the document's currency.
                    const Money value = lines.asMoney(QStringLiteral("ValOut"));
                    const Money valueDoc = convert(value, lineUnit, docUnit, ld);
                    const Money vatDoc = percentOf(valueDoc, vat, ld);
                    const Money valueMM = value.mulDiv(lineUnit.units(), Money::Scale, md);
                    const Money vatMM = percentOf(valueMM, vat, md);
                    lines.setValue(QStringLiteral("ValOut"), QVariant::fromValue(valueDoc));
                    lines.setValue(QStringLiteral("ValTVAOut"), QVariant::fromValue(vatDoc));
                    lines.setValue(QStringLiteral("TotalOut"), QVariant::fromValue(valueDoc + vatDoc));
                    lines.setValue(QStringLiteral("ValOutMM"), QVariant::fromValue(valueMM));
                    lines.setValue(QStringLiteral("ValTVAOutMM"), QVariant::fromValue(vatMM));
                    lines.setValue(QStringLiteral("TotaloutMM"), QVariant::fromValue(valueMM + vatMM));
                } else {
                    const Money priceIn = lines.asMoney(QStringLiteral("PUnIn"));
                    const Money price = lines.asMoney(QStringLiteral("PUOut"));
                    const Money priceInDoc = convert(priceIn, lineUnit, docUnit, ld);
                    const Money valueIn = priceInDoc.times(quantity, ld);
                    lines.setValue(QStringLiteral("PUnIn"), QVariant::fromValue(priceInDoc));
                    lines.setValue(QStringLiteral("Valoare"), QVariant::fromValue(valueIn));
                    lines.setValue(QStringLiteral("ValoareTVA"), QVariant::fromValue(percentOf(valueIn, vat, ld)));
                    const Money priceInMM = priceIn.mulDiv(lineUnit.units(), Money::Scale, md);
                    const Money valueInMM = priceInMM.times(quantity, md);
                    lines.setValue(QStringLiteral("PUInMM"), QVariant::fromValue(priceInMM));
                    lines.setValue(QStringLiteral("ValInMM"), QVariant::fromValue(valueInMM));
                    lines.setValue(QStringLiteral("ValTVAInMM"), QVariant::fromValue(percentOf(valueInMM, vat, md)));
                    const Money priceMM = price.mulDiv(lineUnit.units(), Money::Scale, md);
                    const Money valueMM = priceMM.times(quantity, md);
                    const Money vatMM = percentOf(valueMM, vat, md);
                    lines.setValue(QStringLiteral("PUnitaroutMM"), QVariant::fromValue(priceMM));
                    lines.setValue(QStringLiteral("ValOutMM"), QVariant::fromValue(valueMM));
                    lines.setValue(QStringLiteral("ValTVAOutMM"), QVariant::fromValue(vatMM));
                    lines.setValue(QStringLiteral("TotaloutMM"), QVariant::fromValue(valueMM + vatMM));
                    const Money priceDoc = convert(price, lineUnit, docUnit, ld);
                    const Money value = priceDoc.times(quantity, ld);
                    const Money vatDoc = percentOf(value, vat, ld);
                    lines.setValue(QStringLiteral("PUOut"), QVariant::fromValue(priceDoc));
                    lines.setValue(QStringLiteral("ValOut"), QVariant::fromValue(value));
                    lines.setValue(QStringLiteral("ValTVAOut"), QVariant::fromValue(vatDoc));
                    lines.setValue(QStringLiteral("TotalOut"), QVariant::fromValue(value + vatDoc));
                }
                if (kind == numbering::Invoice) {
                    lines.setValue(QStringLiteral("monedaOut"), documentCurrency);
                    lines.setValue(QStringLiteral("CursOut"), QVariant::fromValue(lineUnit));
                }
                lines.setValue(QStringLiteral("nrzecOUT"), ld);
                lines.setValue(QStringLiteral("monedaMM"), main.code);
                lines.setValue(QStringLiteral("nrzecMM"), md);
                lines.post();
                if (!stockDone && lines.asInteger(QStringLiteral("id_magazie")) > 0 && m_stock) {
                    m_stock(lines.asInteger(QStringLiteral("id")), lines.asString(QStringLiteral("Denumire")), quantity,
                            int(lines.asInteger(QStringLiteral("nrzecIN"))), md, workPoint);
                }
            }
        } catch (const ActionRefused &) {
            throw;
        } catch (const std::exception &e) {
            throw DbError(dynamic_cast<const DbError *>(&e)
                              ? static_cast<const DbError &>(e).className()
                              : QStringLiteral("Exception"),
                          QString::fromUtf8(e.what()), QStringLiteral("la parcurgere bucla"));
        }
        c.exec(QStringLiteral("Update Facturi Set Validata=true where id=:id"), {documentId});
        t.commit();
    } catch (const ActionRefused &e) {
        m_error = e.message();
        if (!options.silent)
            p.information(e.message());
        m_number = 0;
        return Outcome::Failed;
    } catch (const SilentAbort &) {
        m_number = 0;
        return Outcome::Failed;
    } catch (const std::exception &e) {
        m_error = errorDisplayText(e);
        if (!options.silent)
            p.error(m_error);
        m_number = 0;
        return Outcome::Failed;
    }
    if (!options.silent) {
        p.information(options.fromPeriodList
                          ? QStringLiteral("Validare efectuata.Daca e cazul, se poate trece mai departe la emiterea incasarii")
                          : QStringLiteral("Validare efectuata"));
    }
    return Outcome::Validated;
}
