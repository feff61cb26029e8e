// Printing an invoice of twenty lines to PDF from the default "Factura"
// template: the template read from the database, rendered on the invoice's
// data and laid out on numbered A4 pages. The floor is QTextDocument
// printing the same final HTML to a PDF file, laid out on the same page with
// the same font, without page numbers.
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "floor.h"
#include "quiet.h"
#include "reports/reportengine.h"
#include "sales/documentinserts.h"
#include "sales/validation.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

const QString Title = QStringLiteral("Factura");

Money money(const char *text)
{
    return *Money::parse(QString::fromLatin1(text));
}

// A new company's database, its data filled in, with one validated invoice
// of twenty lines at 21% and 11% to a client with a bank account, and the
// datasets the invoice template reads positioned on it.
struct Office
{
    QTemporaryDir dir;
    AppState state;
    Quiet prompter;
    NoStore store;
    NoEditor editor;
    Tdm dm{state, prompter};
    TdmRC rc{dm};
    ReportEngine engine{dm, rc, prompter};

    Office()
    {
        if (!dm.start({dir.path(), store, editor}))
            throw std::runtime_error("the data modules did not start");
        Connection &c = dm.cnc();
        const qint64 company = dm.companyId();
        c.exec(QStringLiteral("update Clienti set NumeFirma='FURNIZORUL NOSTRU SRL', "
                              "CUI='RO123456', RegCom='J40/1/2020', Sediul='Str. Lunga 1', "
                              "Localitate='Brasov', Judet='Brasov', Telefon='0268 000 000', "
                              "email='facturi@furnizor.ro', CapitalSoc='200' where id=:id"),
               {company});
        const QStringList account = {QStringLiteral("id_firma"), QStringLiteral("Banca"),
                                     QStringLiteral("Cont")};
        c.insert(QStringLiteral("Conturi"), account,
                 {company, QStringLiteral("Banca Furnizorului"),
                  QStringLiteral("RO49AAAA1B31007593840000")});
        const qint64 client = c.insert(
            QStringLiteral("Clienti"),
            {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("CUI"),
             QStringLiteral("RegCom"), QStringLiteral("Sediul"), QStringLiteral("Localitate"),
             QStringLiteral("Judet"), QStringLiteral("client")},
            {company, QStringLiteral("CLIENTUL MEU SRL"), QStringLiteral("RO987654"),
             QStringLiteral("J08/22/2019"), QStringLiteral("Bd. Scurt 2"), QStringLiteral("Sibiu"),
             QStringLiteral("Sibiu"), true});
        c.insert(QStringLiteral("Conturi"), account,
                 {client, QStringLiteral("Banca Clientului"),
                  QStringLiteral("RO66BBBB0193015432560001")});

        Transaction t(c);
        DocumentHeader h;
        h.seriaF = QStringLiteral("FCT");
        h.data = QDate(2026, 12, 11);
        h.termenPlata = QDate(2027, 1, 10);
        h.idCump = client;
        h.idVanzator = company;
        h.tvaText = QStringLiteral("Cu TVA");
        h.monedaFacturii = QStringLiteral("RON");
        h.monedaContract = QStringLiteral("RON");
        h.idPunctLucru = state.currentWorkPointId;
        h.modPlata = QStringLiteral("OP");
        h.operatorName = QStringLiteral("Popescu Ana");
        h.numeDelegat = QStringLiteral("Ionescu Dan");
        const qint64 document = insertDocumentHeader(c, QStringLiteral("Facturi"), h);
        for (int i = 0; i < 20; ++i) {
            const bool food = i % 4 == 0;
            DocumentLine l;
            l.idFact = document;
            l.denumire = QStringLiteral("Articol de birou nr. %1, cutie cu ambalaj").arg(i + 1);
            l.um = food ? QStringLiteral("kg") : QStringLiteral("buc");
            l.cnt = 1 + i % 7 + (food ? 0.5 : 0);
            l.puOut = Money::fromInt(12 + 3 * i) + money("0.45");
            l.cotaTvaOut = food ? money("11") : money("21");
            l.valOut = l.puOut.times(l.cnt, 2);
            l.valTvaOut = l.valOut.mulDiv(l.cotaTvaOut.units(), 100 * Money::Scale, 2);
            l.totalOut = l.valOut + l.valTvaOut;
            l.monedaOut = QStringLiteral("RON");
            l.monedaIn = QStringLiteral("RON");
            l.monedaMM = QStringLiteral("RON");
            l.idVanzator = company;
            insertDocumentLine(c, QStringLiteral("ProdCumparate"), l);
        }
        t.commit();
        DocumentValidation validation(dm, {}, {});
        DocumentValidation::Options silent;
        silent.silent = true;
        if (validation.validate(document, silent) != DocumentValidation::Outcome::Validated)
            throw std::runtime_error(validation.error().toStdString());

        dm.adoSetari.requeryKeepingPosition();
        dm.adoClienti.setParam(0, company);
        dm.adoClienti.open();
        dm.adoClienti.locate(QStringLiteral("id"), client);
        dm.adoNrFAct.close();
        dm.adoNrFAct.setFiltered(false);
        dm.adoNrFAct.setParams({client, company, 0});
        dm.adoNrFAct.open();
        rc.adoconturiFurnizor.setParam(0, company);
        rc.adoconturiFurnizor.open();
    }

    QString pdf() const { return dir.filePath(QStringLiteral("factura.pdf")); }
};

std::unique_ptr<Office> office;

Office &theOffice()
{
    if (!office)
        office = std::make_unique<Office>();
    return *office;
}

void exportInvoice(benchmark::State &state)
{
    Office &o = theOffice();
    for (auto _ : state) {
        if (!o.engine.exportTemplate(o.dm.companyId(), Title, o.pdf(), QStringLiteral("titlul"),
                                     QStringLiteral("FACTURA"))) {
            state.SkipWithError("the invoice was not exported");
            break;
        }
    }
}

void exportInvoice_floor(benchmark::State &state)
{
    Office &o = theOffice();
    const QString text = QString::fromUtf8(
        o.dm.cnc()
            .scalar(QStringLiteral("select Raport from Rapoarte where id_firma=:f and "
                                   "titluRaport=:t"),
                    {o.dm.companyId(), Title})
            .toByteArray());
    const QString html =
        o.engine.render(text, {{QStringLiteral("titlul"), QStringLiteral("FACTURA")}});
    for (auto _ : state) {
        QPdfWriter writer(o.pdf());
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&writer);
        doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        doc.setDocumentMargin(0);
        doc.setHtml(html);
        doc.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
        doc.print(&writer);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerWithFloor("exportInvoice", exportInvoice, exportInvoice_floor, {{}});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    office.reset();
    return 0;
}
