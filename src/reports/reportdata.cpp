#include "reportdata.h"

#include "core/amountwords.h"
#include "db/dataset.h"
#include "displayformat.h"

#include <QDate>
#include <QMap>

#include <kainjow/mustache.hpp>

namespace {

using Data = kainjow::mustache::data;

std::string text(const QString &s)
{
    return s.toStdString();
}

Data rowObject(const Dataset &ds, int position)
{
    Data row;
    const QStringList &fields = ds.fieldNames();
    for (int i = int(fields.size()) - 1; i >= 0; --i) {
        // The first of two fields with one name is the one a name means.
        row.set(text(fields[i]), text(displayformat::field(fields[i], ds.valueAt(position, i))));
    }
    return row;
}

Data datasetObject(const Dataset &ds)
{
    Data object = ds.isEmpty() ? Data() : rowObject(ds, ds.recNo() < 0 ? 0 : ds.recNo());
    Data rows = Data::type::list;
    for (int p = 0; p < ds.recordCount(); ++p) {
        Data row = rowObject(ds, p);
        row.set("nr", text(QString::number(p + 1)));
        rows.push_back(row);
    }
    object.set("rows", rows);
    object.set("count", text(QString::number(ds.recordCount())));
    object.set("any", Data(ds.recordCount() > 0));
    return object;
}

Money moneyAt(const Dataset &ds, int position, const QString &field)
{
    const int index = ds.fieldIndex(field);
    if (index < 0)
        return {};
    const QVariant v = ds.valueAt(position, index);
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == qMetaTypeId<Money>())
        return v.value<Money>();
    if (v.metaType().id() == QMetaType::Double)
        return Money::fromDouble(v.toDouble());
    if (v.metaType().id() == QMetaType::LongLong || v.metaType().id() == QMetaType::Int)
        return Money::fromInt(v.toLongLong());
    return Money::parse(v.toString()).value_or(Money());
}

QString stringAt(const Dataset &ds, int position, const QString &field)
{
    const int index = ds.fieldIndex(field);
    return index < 0 ? QString() : ds.valueAt(position, index).toString();
}

// Totals of a document: per currency side, per VAT rate, in words.
Data documentObject(const Dataset *header, const Dataset *lines, const QString &mainCurrency)
{
    Data doc;
    QString currency = mainCurrency;
    if (header && !header->isEmpty()) {
        const QString own = header->asString(QStringLiteral("MonedaFacturii"));
        if (!own.isEmpty())
            currency = own;
        doc.set("curs", text(displayformat::money(header->asMoney(QStringLiteral("ValoareCurs")), 4)));
    }
    doc.set("moneda", text(currency));
    doc.set("monedaPrincipala", text(mainCurrency));
    doc.set("altaMoneda", Data(currency.compare(mainCurrency, Qt::CaseInsensitive) != 0));

    Money value, vat, total, valueMM, vatMM, totalMM, valueIn, vatIn, totalIn;
    double quantity = 0;
    struct Rate
    {
        Money value, vat, total;
    };
    QMap<qint64, Rate> rates; // by rate in 1/10000
    if (lines) {
        for (int p = 0; p < lines->recordCount(); ++p) {
            const Money v = moneyAt(*lines, p, QStringLiteral("ValOut"));
            const Money t = moneyAt(*lines, p, QStringLiteral("ValTVAOut"));
            const Money tot = moneyAt(*lines, p, QStringLiteral("TotalOut"));
            value += v;
            vat += t;
            total += tot;
            valueMM += moneyAt(*lines, p, QStringLiteral("ValOutMM"));
            vatMM += moneyAt(*lines, p, QStringLiteral("ValTVAOutMM"));
            totalMM += moneyAt(*lines, p, QStringLiteral("TotaloutMM"));
            valueIn += moneyAt(*lines, p, QStringLiteral("Valoare"));
            vatIn += moneyAt(*lines, p, QStringLiteral("ValoareTVA"));
            totalIn += moneyAt(*lines, p, QStringLiteral("TotalIn"));
            Rate &r = rates[moneyAt(*lines, p, QStringLiteral("cotaTVAOut")).units()];
            r.value += v;
            r.vat += t;
            r.total += tot;
            if (!stringAt(*lines, p, QStringLiteral("UM")).contains(u'%')) {
                const int index = lines->fieldIndex(QStringLiteral("Cnt"));
                if (index >= 0)
                    quantity += lines->valueAt(p, index).toDouble();
            }
        }
    }
    doc.set("valoare", text(displayformat::money(value)));
    doc.set("tva", text(displayformat::money(vat)));
    doc.set("total", text(displayformat::money(total)));
    doc.set("valoareMM", text(displayformat::money(valueMM)));
    doc.set("tvaMM", text(displayformat::money(vatMM)));
    doc.set("totalMM", text(displayformat::money(totalMM)));
    doc.set("valoareIn", text(displayformat::money(valueIn)));
    doc.set("tvaIn", text(displayformat::money(vatIn)));
    doc.set("totalIn", text(displayformat::money(totalIn)));
    doc.set("cantitateTotala", text(displayformat::quantity(quantity)));
    Data cote = Data::type::list;
    for (auto it = rates.cbegin(); it != rates.cend(); ++it) {
        Data rate;
        rate.set("cota", text(displayformat::money(Money::fromUnits(it.key()), 0)));
        rate.set("valoare", text(displayformat::money(it->value)));
        rate.set("tva", text(displayformat::money(it->vat)));
        rate.set("total", text(displayformat::money(it->total)));
        cote.push_back(rate);
    }
    doc.set("cote", cote);
    doc.set("totalInLitere", text(amountInWords(total, currency).value_or(QString())));
    return doc;
}

} // namespace

QString renderTemplate(const QString &templateText, const ReportInputs &inputs)
{
    kainjow::mustache::mustache view(text(templateText));
    if (!view.is_valid())
        throw TemplateError(view.error_message());

    Data data;
    for (auto it = inputs.datasets.cbegin(); it != inputs.datasets.cend(); ++it) {
        if (it.value() && it.value()->isOpen())
            data.set(text(it.key()), datasetObject(*it.value()));
    }
    data.set("titlul", text(QStringLiteral("FACTURA")));
    for (const char *name : {"magazia", "perioada", "tipfact"})
        data.set(name, std::string());
    for (auto it = inputs.variables.cbegin(); it != inputs.variables.cend(); ++it) {
        if (!it.value().isEmpty())
            data.set(text(it.key()), text(it.value()));
    }
    data.set("document", documentObject(inputs.datasets.value(QStringLiteral("frxFactura")),
                                        inputs.datasets.value(QStringLiteral("frxProdCump")), inputs.mainCurrency));
    data.set("azi", text(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))));
    data.set("operator", text(inputs.operatorName));

    const std::string html = view.render(data);
    if (!view.is_valid())
        throw TemplateError(view.error_message());
    return QString::fromStdString(html);
}
