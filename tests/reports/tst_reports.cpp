#include "db/dataset.h"
#include "reports/pagedhtml.h"
#include "reports/reportengine.h"
#include "reports/templates.h"
#include "support/modules.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextDocument>

namespace {

// Records what the engine would show.
class RecordingHost : public ReportHost
{
public:
    QStringList previews;
    QStringList designs;
    QList<EmailDraft> emails;
    void preview(const QString &, const QString &html) override { previews << html; }
    void design(const QString &title, const QString &) override { designs << title; }
    void email(const EmailDraft &draft) override { emails << draft; }
};

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void setTemplate(Modules &m, qint64 company, const QString &title, const QString &text)
{
    m.cnc().exec(QStringLiteral("delete from Rapoarte where id_firma=:f and titluRaport=:t"), {company, title});
    m.cnc().insert(QStringLiteral("Rapoarte"), {QStringLiteral("id_firma"), QStringLiteral("titluRaport"), QStringLiteral("Raport")},
                   {company, title, text.toUtf8()}, QStringLiteral("ID"));
}

// A validated invoice of two lines at 21% and 11% for a client with a bank account.
struct SampleInvoice
{
    qint64 client = 0;
    qint64 document = 0;

    explicit SampleInvoice(Modules &m, const QString &clientName = QStringLiteral("CLIENTUL MEU SRL"))
    {
        Connection &c = m.cnc();
        const qint64 company = m.dm.companyId();
        c.exec(QStringLiteral("update Clienti set NumeFirma='FURNIZORUL NOSTRU SRL', CUI='RO123456', RegCom='J40/1/2020', "
                              "Sediul='Str. Lunga 1', Localitate='Brasov', Judet='Brasov' where id=:id"),
               {company});
        c.insert(QStringLiteral("Conturi"), {QStringLiteral("id_firma"), QStringLiteral("Banca"), QStringLiteral("Cont")},
                 {company, QStringLiteral("Banca Furnizorului"), QStringLiteral("RO49AAAA1B31007593840000")});
        client = c.insert(QStringLiteral("Clienti"),
                          {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("CUI"), QStringLiteral("RegCom"),
                           QStringLiteral("Sediul"), QStringLiteral("Localitate"), QStringLiteral("Judet"), QStringLiteral("client"),
                           QStringLiteral("email")},
                          {company, clientName, QStringLiteral("RO987654"), QStringLiteral("J08/22/2019"),
                           QStringLiteral("Bd. Scurt 2"), QStringLiteral("Sibiu"), QStringLiteral("Sibiu"), true,
                           QStringLiteral("client@example.ro")});
        c.insert(QStringLiteral("Conturi"), {QStringLiteral("id_firma"), QStringLiteral("Banca"), QStringLiteral("Cont")},
                 {client, QStringLiteral("Banca Clientului"), QStringLiteral("RO66BBBB0193015432560001")});
        document = c.insert(
            QStringLiteral("Facturi"),
            {QStringLiteral("Nf"), QStringLiteral("SeriaF"), QStringLiteral("Data"), QStringLiteral("Termenplata"),
             QStringLiteral("Tipavizfactura"), QStringLiteral("id_cump"), QStringLiteral("id_vanzator"), QStringLiteral("MonedaFacturii"),
             QStringLiteral("ValoareCurs"), QStringLiteral("TVATEXT"), QStringLiteral("Operator"), QStringLiteral("CNP"),
             QStringLiteral("NumeDelegat"), QStringLiteral("Validata"), QStringLiteral("ModPlata")},
            {17, QStringLiteral("FCT"), QDate(2026, 12, 11), QDate(2027, 1, 10), 0, client, company, QStringLiteral("RON"), 1,
             QStringLiteral("TVA 21%"), QStringLiteral("Popescu Ana"), QStringLiteral("2870514120031"),
             QStringLiteral("Ionescu Dan"), true, QStringLiteral("OP")});
        const QStringList columns = {QStringLiteral("id_fact"), QStringLiteral("Denumire"), QStringLiteral("UM"), QStringLiteral("Cnt"),
                                     QStringLiteral("PUOut"), QStringLiteral("ValOut"), QStringLiteral("ValTVAOut"),
                                     QStringLiteral("TotalOut"), QStringLiteral("cotaTVAOut"), QStringLiteral("TotaloutMM")};
        c.insert(QStringLiteral("ProdCumparate"), columns,
                 {document, QStringLiteral("Cafea boabe"), QStringLiteral("kg"), 2.5, 40, 100, 21, 121, 21, 121});
        c.insert(QStringLiteral("ProdCumparate"), columns,
                 {document, QStringLiteral("Carte de bucate"), QStringLiteral("buc"), 1, 50, 50, 5.5, 55.5, 11, 55.5});
        // Position the datasets the invoice template reads.
        m.dm.adoSetari.requeryKeepingPosition();
        m.dm.adoClienti.setParam(0, company);
        m.dm.adoClienti.open();
        m.dm.adoClienti.locate(QStringLiteral("id"), client);
        m.dm.adoNrFAct.setParams({client, company, 0});
        m.dm.adoNrFAct.open();
        m.rc.adoconturiFurnizor.setParam(0, company);
        m.rc.adoconturiFurnizor.open();
    }
};

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTitleHasADefaultForTheFirstCompany();
    void theCurrentCompanysTemplateIsUsed();
    void missingTemplateSaysWhichOne();
    void variablesArePassedAsData();
    void designOpensAndSavesBack();
    void emailAfterPreview();
    void invoicePdfCarriesWhatTheLawAsks();
    void pdfPagesAreNumbered();
};

void TestReports::everyTitleHasADefaultForTheFirstCompany()
{
    Modules m;
    for (const QString &title : templates::titles()) {
        QVERIFY2(!templates::defaultText(title).isEmpty(), qPrintable(title));
        QCOMPARE(m.count(QStringLiteral("Rapoarte"), QStringLiteral("id_firma=:f and titluRaport=:t"), {m.dm.companyId(), title}), 1);
    }
}

void TestReports::theCurrentCompanysTemplateIsUsed()
{
    Modules m;
    RecordingHost host;
    ReportEngine engine(m.dm, m.rc, m.prompter);
    engine.setHost(&host);
    const qint64 first = m.dm.companyId();
    m.dm.adoSetari.append();
    m.dm.adoSetari.setValue(QStringLiteral("NumeFirma"), QStringLiteral("A DOUA SRL"));
    m.dm.adoSetari.post();
    const qint64 second = m.cnc().scalar(QStringLiteral("select id from Clienti where NumeFirma='A DOUA SRL'")).toLongLong();
    setTemplate(m, first, QStringLiteral("Factura"), QStringLiteral("<p>prima {{frxFurnizor.NumeFirma}}</p>"));
    setTemplate(m, second, QStringLiteral("Factura"), QStringLiteral("<p>a doua {{frxFurnizor.NumeFirma}}</p>"));
    QVERIFY(m.dm.adoSetari.locate(QStringLiteral("id"), first));
    engine.printTemplate(first, QStringLiteral("Factura"));
    QVERIFY(m.dm.adoSetari.locate(QStringLiteral("id"), second));
    // The stored title and the asked one differ in case only.
    engine.printTemplate(second, QStringLiteral("FACTURA"));
    QCOMPARE(host.previews.size(), 2);
    QVERIFY(host.previews[0].contains(QStringLiteral("prima FIRMA MEA SRL")));
    QVERIFY(host.previews[1].contains(QStringLiteral("a doua A DOUA SRL")));
}

void TestReports::missingTemplateSaysWhichOne()
{
    Modules m;
    RecordingHost host;
    ReportEngine engine(m.dm, m.rc, m.prompter);
    engine.setHost(&host);
    m.prompter.shown.clear();
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Necunoscut"));
    QVERIFY(host.previews.isEmpty());
    QCOMPARE(m.prompter.shown.size(), 1);
    QVERIFY(m.prompter.shown[0].contains(QStringLiteral("\"Necunoscut\"")));
    QVERIFY(!engine.exportTemplate(m.dm.companyId(), QStringLiteral("Necunoscut"),
                                   QDir(m.program.path()).filePath(QStringLiteral("x.pdf"))));
}

void TestReports::variablesArePassedAsData()
{
    Modules m;
    RecordingHost host;
    ReportEngine engine(m.dm, m.rc, m.prompter);
    engine.setHost(&host);
    setTemplate(m, m.dm.companyId(), QStringLiteral("Inventar"), QStringLiteral("<p>[{{perioada}}] [{{titlul}}]</p>"));
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Inventar"), QStringLiteral("perioada"),
                         QStringLiteral("Magazin 'Central' <1> - 31.12.2026"));
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Inventar"), QStringLiteral("titlul"), QString());
    QTextDocument shown;
    shown.setHtml(host.previews[0]);
    QCOMPARE(shown.toPlainText(), QStringLiteral("[Magazin 'Central' <1> - 31.12.2026] [FACTURA]"));
    // An empty value leaves the template's own value.
    QCOMPARE(host.previews[1], QStringLiteral("<p>[] [FACTURA]</p>"));
}

void TestReports::designOpensAndSavesBack()
{
    Modules m;
    RecordingHost host;
    ReportEngine engine(m.dm, m.rc, m.prompter);
    engine.setHost(&host);
    engine.currentDesignerTitle = QStringLiteral("Chitanta");
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Chitanta"), {}, {}, true);
    QCOMPARE(host.designs, QStringList{QStringLiteral("Chitanta")});
    QVERIFY(host.previews.isEmpty());
    QVERIFY(engine.saveDesign(QStringLiteral("<h1>Chitanta noua</h1>")));
    QCOMPARE(m.cnc().scalar(QStringLiteral("select Raport from Rapoarte where id_firma=:f and titluRaport='Chitanta'"),
                            {m.dm.companyId()}).toByteArray(),
             QByteArray("<h1>Chitanta noua</h1>"));
    QCOMPARE(m.count(QStringLiteral("Rapoarte"), QStringLiteral("titluRaport='Chitanta'")), 1);
}

void TestReports::emailAfterPreview()
{
    Modules m;
    SampleInvoice invoice(m, QStringLiteral("A/B: \"C\""));
    RecordingHost host;
    ReportEngine engine(m.dm, m.rc, m.prompter);
    engine.setHost(&host);
    engine.setDocumentsDir(QDir(m.program.path()).filePath(QStringLiteral("documente")));
    m.cnc().exec(QStringLiteral("update Clienti set smtphost='smtp.example.ro', smtplogin='facturi', email='facturi@firma.ro', "
                                "smtpAuth=true where emitent=true"));
    m.dm.adoSetari.requeryKeepingPosition();
    m.state.sendAfterPreview = true;
    m.state.previewDocKind = QStringLiteral("Factura");
    m.state.previewDocNumber = QStringLiteral("17");
    m.state.previewDocDate = QDate(2026, 12, 11);
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Factura"), QStringLiteral("titlul"), QStringLiteral("FACTURA"));
    QCOMPARE(host.emails.size(), 1);
    QVERIFY(!m.state.sendAfterPreview);
    const EmailDraft &d = host.emails[0];
    const QString pdf = d.attachments.value(0);
    QCOMPARE(QFileInfo(pdf).absolutePath(), QDir(engine.documentsDir()).absolutePath());
    QCOMPARE(QFileInfo(pdf).fileName(), QStringLiteral("A_B_ _C_-Factura-17 - 11.12.2026.pdf"));
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(d.host, QStringLiteral("smtp.example.ro"));
    QCOMPARE(d.user, QStringLiteral("facturi"));
    QVERIFY(d.authentication);
    QCOMPARE(d.from, QStringLiteral("facturi@firma.ro"));
    QCOMPARE(d.to, QStringLiteral("client@example.ro"));
    QCOMPARE(d.subject, QStringLiteral("Factura FURNIZORUL NOSTRU SRL 17 din 11.12.2026"));
    QCOMPARE(d.body, QStringLiteral("Stimate client,\r\n\r\nVa informam ca in data de 11.12.2026 a fost emisa Factura 17\r\n\r\n"
                                    "In cazul in care considerati ca acest email trebuie adresat unei alte \r\n\r\n"
                                    "persoane sau unui alt departament din compania dvs. va rugam sa ne\r\n\r\n"
                                    "furnizati adresa de email corespunzatoare.\r\n\r\nVa multumim,\r\nAdministrator "));
    // The next preview does not send again.
    engine.printTemplate(m.dm.companyId(), QStringLiteral("Factura"));
    QCOMPARE(host.emails.size(), 1);
}

void TestReports::invoicePdfCarriesWhatTheLawAsks()
{
    Modules m;
    SampleInvoice invoice(m);
    ReportEngine engine(m.dm, m.rc, m.prompter);
    const QString path = QDir(m.program.path()).filePath(QStringLiteral("factura.pdf"));
    QVERIFY(engine.exportTemplate(m.dm.companyId(), QStringLiteral("Factura"), path, QStringLiteral("titlul"),
                                  QStringLiteral("FACTURA")));
    const QString text = pdfText(path);
    for (const char *expected :
         {"FACTURA", "FCT", "17", "11.12.2026", "10.01.2027", "FURNIZORUL NOSTRU SRL", "RO123456", "J40/1/2020",
          "Str. Lunga 1", "Brasov", "Banca Furnizorului", "RO49AAAA1B31007593840000", "CLIENTUL MEU SRL", "RO987654",
          "J08/22/2019", "Bd. Scurt 2", "Sibiu", "Banca Clientului", "RO66BBBB0193015432560001", "Cafea boabe", "kg",
          "2,5", "40,00", "100,00", "21,00", "Carte de bucate", "buc", "50,00", "5,50", "150,00", "26,50", "176,50",
          "TVA 21%", "Popescu Ana", "Ionescu Dan", "RON"}) {
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
}

void TestReports::pdfPagesAreNumbered()
{
    QTemporaryDir dir;
    QString html = QStringLiteral("<table border=\"1\">");
    for (int i = 0; i < 150; ++i)
        html += QStringLiteral("<tr><td>rand %1</td></tr>").arg(i);
    html += QStringLiteral("</table>");
    const QString path = dir.filePath(QStringLiteral("lung.pdf"));
    QString error;
    QVERIFY(pagedhtml::writePdf(html, path, &error));
    const QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("Pagina 1 din ")));
    QVERIFY(text.contains(QStringLiteral("rand 149")));
    const qsizetype pages = text.count(QStringLiteral("Pagina "));
    QVERIFY(pages >= 2);
    QVERIFY(text.contains(QStringLiteral("Pagina %1 din %1").arg(pages)));
    QVERIFY(!pagedhtml::writePdf(html, dir.filePath(QStringLiteral("nu/exista/x.pdf")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
