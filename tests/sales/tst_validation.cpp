#include "db/dberror.h"
#include "sales/validation.h"
#include "sales/workspace.h"
#include "support/modules.h"

#include <QTest>

namespace {

qint64 addProduct(Modules &m, const QString &name, const char *price, const char *vat, const QString &currency = QStringLiteral("RON"))
{
    const qint64 sub = m.cnc().scalar(QStringLiteral("select min(id) from Sortimente")).toLongLong();
    return m.cnc().insert(QStringLiteral("ListaProduse"),
                          {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"), QStringLiteral("Pret"),
                           QStringLiteral("cotaTVA"), QStringLiteral("moneda"), QStringLiteral("NrZecimale")},
                          {sub, name, QStringLiteral("buc"), QVariant::fromValue(*Money::parse(QString::fromLatin1(price))),
                           QVariant::fromValue(*Money::parse(QString::fromLatin1(vat))), currency, 2});
}

// A document with lines, built as the document window builds it.
struct Draft
{
    DocumentWorkspace ws;
    Draft(Modules &m, int kind, const QList<QPair<qint64, QString>> &lines, const QString &currency = QStringLiteral("RON"))
        : ws(m.dm, [](const QString &) { return Money::parse(QStringLiteral("4.9767")); })
    {
        ws.selectClient(m.addPartner(QStringLiteral("CLIENT SRL")));
        DocumentWorkspace::Header h;
        h.kind = kind;
        h.workPointId = m.state.currentWorkPointId;
        h.date = QDate::currentDate();
        h.currency = currency;
        h.mentionText = QStringLiteral("Cu TVA");
        ws.setHeader(h);
        for (const auto &[product, quantity] : lines)
            ws.addProductLine(product, quantity, 0);
    }
};

QString line(Modules &m, qint64 document, const QString &name, const char *column)
{
    Dataset ds(m.cnc(), QStringLiteral("select * from ProdCumparate where id_fact=:f and Denumire=:d"));
    ds.setParams({document, name});
    ds.open();
    const QVariant v = ds.value(QString::fromLatin1(column));
    if (v.metaType().id() == QMetaType::QString)
        return v.toString();
    return ds.asMoney(QString::fromLatin1(column)).toString(2);
}

DocumentValidation validator(Modules &m, DocumentValidation::StockIssuer stock = {})
{
    return DocumentValidation(m.dm, [](const QString &c) -> std::optional<Money> {
        if (c == QLatin1String("EUR"))
            return Money::parse(QStringLiteral("4.9767"));
        return std::nullopt;
    }, std::move(stock));
}

} // namespace

class TestValidation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainCurrencyInvoice();
    void euroLineOnALeuInvoice();
    void euroInvoice();
    void deliveryNoteNeverAsksARate();
    void consumptionNoteFillsThePurchaseSide();
    void refusals();
    void dateOrderQuestion();
    void failureHalfWayChangesNothing();
};

void TestValidation::mainCurrencyInvoice()
{
    Modules m;
    m.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17"));
    Draft d(m, 0, {{addProduct(m, QStringLiteral("Cafea"), "10", "21"), QStringLiteral("2")}});
    m.prompter.answers.enqueue(true);
    DocumentValidation v = validator(m);
    QCOMPARE(v.validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    QCOMPARE(v.number(), 17);
    QCOMPARE(m.prompter.shown, (QStringList{QStringLiteral("question: Daca totul este in regula, doriti sa alocati numarul de ordine Factura ?"),
                                            QStringLiteral("info: Validare efectuata")}));
    Dataset doc(m.cnc(), QStringLiteral("select * from Facturi where id=:id"));
    doc.setParam(0, d.ws.documentId());
    doc.open();
    QCOMPARE(doc.asInteger(QStringLiteral("Nf")), 17);
    QVERIFY(doc.asBoolean(QStringLiteral("Validata")));
    QCOMPARE(doc.asMoney(QStringLiteral("ValoareCurs")).toString(2), QStringLiteral("1.00"));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 18);
    QCOMPARE(line(m, d.ws.documentId(), QStringLiteral("Cafea"), "ValOut"), QStringLiteral("20.00"));
    QCOMPARE(line(m, d.ws.documentId(), QStringLiteral("Cafea"), "TotaloutMM"), QStringLiteral("24.20"));
}

void TestValidation::euroLineOnALeuInvoice()
{
    Modules m;
    const qint64 lei = addProduct(m, QStringLiteral("Cafea"), "10", "21");
    const qint64 euro = addProduct(m, QStringLiteral("Licenta"), "100", "21", QStringLiteral("EUR"));
    Draft d(m, 0, {{lei, QStringLiteral("2")}, {euro, QStringLiteral("1")}});
    QVERIFY(d.ws.addGeneralLine(QStringLiteral("-10")));
    const QString discountBefore = m.cnc().scalar(QStringLiteral("select sum(ValOut) from ProdCumparate where UM='%' and monedaOut='RON'")).toString();
    m.prompter.shown.clear();
    m.prompter.answers.enqueue(true);
    m.prompter.inputs.enqueue(QStringLiteral("5"));
    DocumentValidation v = validator(m);
    QCOMPARE(v.validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    QCOMPARE(m.prompter.shown[1], QStringLiteral("input: Valoarea cursului valutar este de: / Introduceti cursul EUR: [4,9767]"));
    const qint64 doc = d.ws.documentId();
    // The euro line is converted at 5 and relabelled; the leu line is not touched.
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "PUOut"), QStringLiteral("500.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "ValOut"), QStringLiteral("500.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "ValTVAOut"), QStringLiteral("105.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "monedaOut"), QStringLiteral("RON"));
    QCOMPARE(line(m, doc, QStringLiteral("Cafea"), "PUOut"), QStringLiteral("10.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Cafea"), "ValOut"), QStringLiteral("20.00"));
    // The discount lines keep their amounts: -2.00 on the lei, -10 EUR = -50.00 on the euro line.
    QCOMPARE(discountBefore.toDouble(), -2.0);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select sum(ValOut) from ProdCumparate where id_fact=:f and UM='%'"), {doc}).toDouble(), -52.0);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select sum(ValOut) from ProdCumparate where id_fact=:f"), {doc}).toDouble(), 468.0);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select ValoareCurs from Facturi where id=:f"), {doc}).toDouble(), 5.0);
}

void TestValidation::euroInvoice()
{
    Modules m;
    const qint64 euro = addProduct(m, QStringLiteral("Licenta"), "100", "21", QStringLiteral("EUR"));
    Draft d(m, 0, {{euro, QStringLiteral("2")}}, QStringLiteral("EUR"));
    m.prompter.answers.enqueue(true);
    m.prompter.inputs.enqueue(QStringLiteral("4,9767"));
    DocumentValidation v = validator(m);
    QCOMPARE(v.validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    const qint64 doc = d.ws.documentId();
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "ValOut"), QStringLiteral("200.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "monedaOut"), QStringLiteral("EUR"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "ValOutMM"), QStringLiteral("995.34"));
    QCOMPARE(line(m, doc, QStringLiteral("Licenta"), "ValTVAOutMM"), QStringLiteral("209.02"));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select ValoareCurs from Facturi where id=:f"), {doc}).toDouble(), 4.9767);
}

void TestValidation::deliveryNoteNeverAsksARate()
{
    Modules m;
    m.cnc().exec(QStringLiteral("update SeriiActe set NrAviz=4"));
    Draft d(m, 1, {{addProduct(m, QStringLiteral("Licenta"), "100.005", "21", QStringLiteral("EUR")), QStringLiteral("1")}});
    m.prompter.shown.clear();
    m.prompter.answers.enqueue(true);
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    QCOMPARE(m.prompter.shown.size(), 2);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Nf from Facturi")).toInt(), 4);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrAviz from SeriiActe")).toInt(), 5);
}

void TestValidation::consumptionNoteFillsThePurchaseSide()
{
    Modules m;
    Draft d(m, 2, {{addProduct(m, QStringLiteral("Hartie"), "12.5", "21"), QStringLiteral("4")}});
    m.prompter.answers.enqueue(true);
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    const qint64 doc = d.ws.documentId();
    QCOMPARE(line(m, doc, QStringLiteral("Hartie"), "PUnIn"), QStringLiteral("12.50"));
    QCOMPARE(line(m, doc, QStringLiteral("Hartie"), "Valoare"), QStringLiteral("50.00"));
    QCOMPARE(line(m, doc, QStringLiteral("Hartie"), "ValoareTVA"), QStringLiteral("10.50"));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select BC from Facturi")).toInt(), 1);
}

void TestValidation::refusals()
{
    Modules m;
    Draft d(m, 0, {{addProduct(m, QStringLiteral("Cafea"), "10", "21"), QStringLiteral("1")}});
    const QString before = m.cnc().scalar(QStringLiteral("select group_concat(Nf || Validata) from Facturi")).toString();
    // Confirmation cancelled: nothing happens.
    m.prompter.answers.enqueue(false);
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Stopped);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select group_concat(Nf || Validata) from Facturi")).toString(), before);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 1);
    // Validated once, refused the second time.
    m.prompter.answers.enqueue(true);
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    m.prompter.shown.clear();
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Stopped);
    QCOMPARE(m.prompter.shown, QStringList{QStringLiteral("info: Factura are deja numar alocat. Validare respinsa")});
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 2);
}

void TestValidation::dateOrderQuestion()
{
    Modules m;
    const qint64 product = addProduct(m, QStringLiteral("Cafea"), "10", "21");
    m.cnc().insert(QStringLiteral("Facturi"),
                   {QStringLiteral("Nf"), QStringLiteral("Data"), QStringLiteral("Tipavizfactura"), QStringLiteral("id_vanzator"),
                    QStringLiteral("id_punctlucru"), QStringLiteral("Validata"), QStringLiteral("SeriaF")},
                   {30, QDate::currentDate().addDays(3), 0, m.dm.companyId(), m.state.currentWorkPointId, true, QStringLiteral("FCT")});
    Draft d(m, 0, {{product, QStringLiteral("1")}});
    m.prompter.answers.enqueue(false);
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Stopped);
    QVERIFY(m.prompter.shown.last().startsWith(QStringLiteral("question: Aveti Factura validat(a) emise pe ")));
    // Yes: the number is typed, and the counter is left alone.
    m.prompter.answers.enqueue(true);
    m.prompter.answers.enqueue(true);
    m.prompter.inputs.enqueue(QStringLiteral("29"));
    QCOMPARE(validator(m).validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Validated);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Nf from Facturi where id=:id"), {d.ws.documentId()}).toInt(), 29);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 1);
}

void TestValidation::failureHalfWayChangesNothing()
{
    Modules m;
    m.cnc().exec(QStringLiteral("update SeriiActe set NrFactura=17"));
    const qint64 product = addProduct(m, QStringLiteral("Cafea"), "10", "21");
    Draft d(m, 0, {{product, QStringLiteral("1")}, {product, QStringLiteral("2")}});
    m.cnc().exec(QStringLiteral("update ProdCumparate set id_magazie=1"));
    int issued = 0;
    DocumentValidation v = validator(m, [&](qint64, const QString &, double, int, int, qint64) {
        if (++issued == 2)
            throw DbError::database(QStringLiteral("Stoc insuficient pentru Cafea"));
    });
    m.prompter.answers.enqueue(true);
    QCOMPARE(v.validate(d.ws.documentId(), {}), DocumentValidation::Outcome::Failed);
    QCOMPARE(m.prompter.shown.last(),
             QStringLiteral("error: EDatabaseError error raised la parcurgere bucla, "
                            "with message : Stoc insuficient pentru Cafea"));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 17);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Nf from Facturi")).toInt(), 0);
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Validata from Facturi")).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
