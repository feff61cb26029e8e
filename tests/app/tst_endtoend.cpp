// The typical request of a working day, through the windows: an invoice
// paid in cash, printed, sent by e-mail and given a fiscal receipt.
#include "../mail/mailfixture.h"
#include "cashbook/regcasa.h"
#include "fiscal/bonfiscal.h"
#include "frame/login.h"
#include "frame/mainwindow.h"
#include "mail/emailwindow.h"
#include "mail/mailsettings.h"
#include "mail/secretstore.h"
#include "payments/chitanta.h"
#include "reports/reportengine.h"
#include "sales/confirmare.h"
#include "sales/factnoua.h"
#include "settings/clientnou.h"
#include "settings/companylookup.h"
#include "settings/webclient.h"
#include "settings/websettings.h"
#include "support/modules.h"
#include "widgets/dbgrid.h"
#include "widgets/moneyedit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

class NoKeychain : public SecretStore
{
public:
    Lookup read(const QString &) override { return {std::nullopt, {}}; }
    QString write(const QString &, const QString &) override { return {}; }
};

// Shows nothing for the preview, and sends the e-mail the engine fills in
// through the real e-mail window.
class MailingHost : public ReportHost
{
public:
    MailingHost(const MailSettings &settings, Prompter &prompter)
        : m_settings(settings), m_prompter(prompter)
    {}
    QStringList previews;
    QList<EmailDraft> drafts;
    void preview(const QString &title, const QString &) override { previews << title; }
    void design(const QString &, const QString &) override {}
    void email(const EmailDraft &draft) override
    {
        drafts << draft;
        NoKeychain keychain;
        TfrmEmail window(m_settings, keychain, m_prompter);
        window.load(draft);
        window.findChild<QPushButton *>(QStringLiteral("btSend"))->click();
    }

private:
    MailSettings m_settings;
    Prompter &m_prompter;
};

// With TARABIX_SCREENSHOT_DIR set (run under xvfb-run), the windows the
// user saw are kept as pictures for review.
void keepPicture(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("TARABIX_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(window->window()->grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

template <class W> W *child(TfrmMain &frame)
{
    for (QMdiSubWindow *sub : frame.mdiArea()->subWindowList()) {
        if (auto *w = qobject_cast<W *>(sub->widget()))
            return w;
    }
    return nullptr;
}

QAction *toolbarAction(TfrmMain &frame, const QString &text)
{
    const QList<QAction *> actions = frame.findChildren<QAction *>();
    const auto it = std::find_if(actions.begin(), actions.end(),
                                 [&text](QAction *a) { return a->text() == text; });
    return it == actions.end() ? nullptr : *it;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void invoicePaidInCash();
};

void TestEndToEnd::invoicePaidInCash()
{
    MailCertificates certs;
    QCOMPARE(certs.make(), QString());
    SmtpTestServer smtp;
    QCOMPARE(smtp.start({QStringLiteral("--tls"), QStringLiteral("starttls"),
                         QStringLiteral("--cert"), certs.path(QStringLiteral("server.pem")),
                         QStringLiteral("--key"), certs.path(QStringLiteral("server.key"))}),
             QString());

    Modules m;
    Connection &c = m.cnc();
    const QString fiscalFile = m.program.filePath(QStringLiteral("bon.inp"));
    c.exec(QStringLiteral("update SeriiActe set NrFactura=17, NrChitanta=5, CaleFPRINT=:p"),
           {fiscalFile});
    c.exec(QStringLiteral("update Clienti set smtphost='127.0.0.1', smtpport=:p, smtpSSL=true, "
                          "email='facturi@firma-mea.ro' "
                          "where emitent=true"),
           {smtp.port()});
    const qint64 sub = c.scalar(QStringLiteral("select min(id) from Sortimente")).toLongLong();
    c.insert(QStringLiteral("ListaProduse"),
             {QStringLiteral("id_sort"), QStringLiteral("DenPr"), QStringLiteral("UM"),
              QStringLiteral("Pret"), QStringLiteral("cotaTVA"), QStringLiteral("moneda"),
              QStringLiteral("NrZecimale")},
             {sub, QStringLiteral("Cafea boabe"), QStringLiteral("kg"), 50, 21,
              QStringLiteral("RON"), 2});
    m.dm.adoSetari.requeryKeepingPosition();

    MailingHost host({certs.signer(), certs.recipientFolder(), certs.ca()}, m.prompter);
    ReportEngine reports(m.dm, m.rc, m.prompter);
    reports.setHost(&host);
    reports.setDocumentsDir(m.program.filePath(QStringLiteral("documente")));
    WebSettings webSettings;
    WebClient web(webSettings, m.state, m.prompter);
    CompanyLookup lookup(web);
    TfrmMain frame(WindowContext{m.dm, m.rc, m.prompter, reports, nullptr, &lookup});
    frame.show();

    // Log in.
    frame.showLogin();
    TfrmPwd *login = frame.findChild<TfrmPwd *>();
    QTest::keyClicks(login->passwordEdit(), QStringLiteral("9276"));
    QTest::mouseClick(login->confirmButton(), Qt::LeftButton);
    QVERIFY(!frame.isLocked());

    // "Facturi/BC/Avize", issue a document; a new client.
    QTimer::singleShot(0, this, [] {
        auto *chooser = qobject_cast<TfrmConfirmareFactura *>(QApplication::activeModalWidget());
        QVERIFY(chooser);
        chooser->setChoice(0);
        chooser->accept();
    });
    toolbarAction(frame, QStringLiteral("Facturi/BC/Avize"))->trigger();
    TfrmFactNoua *window = child<TfrmFactNoua>(frame);
    QVERIFY(window);
    frame.CreateChildForm(QStringLiteral("Clienti"));
    TfrmClientNou *client = child<TfrmClientNou>(frame);
    QVERIFY(client);
    QTest::keyClicks(client->nameEdit(), QStringLiteral("Cafeneaua Vesela SRL"));
    QTest::keyClicks(client->fiscalCodeEdit(), QStringLiteral("RO18547223"));
    QTest::keyClicks(client->edit(QStringLiteral("E-mail")),
                     QStringLiteral("contabilitate@cafeneaua.ro"));
    QTest::mouseClick(client->okButton(), Qt::LeftButton);
    QVERIFY(client->savedId() > 0);

    QTest::keyClicks(window->edNume(), QStringLiteral("vesela"));
    QTest::keyClick(window->edNume(), Qt::Key_Return);
    QTest::mouseClick(window->btPasUrmator(), Qt::LeftButton);
    window->wwAchitare()->setCurrentIndex(
        window->wwAchitare()->findText(QStringLiteral("Chitanta")));
    QTest::mouseClick(window->bitBtn3(), Qt::LeftButton);
    window->edCantitS()->setText(QStringLiteral("2"));
    QTest::mouseClick(window->btAdauga(), Qt::LeftButton);
    QTest::mouseClick(window->btPasUrmator3(), Qt::LeftButton);
    QCOMPARE(window->totalBox(QStringLiteral("edTotalOut"))->text(), QStringLiteral("121.00"));

    // Validate.
    m.prompter.shown.clear();
    m.prompter.answers.enqueue(true);
    QTest::mouseClick(window->btValidare(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Validare efectuata"));
    QVERIFY(window->btIncasare()->isVisible());
    keepPicture(window, QStringLiteral("document"));

    // Preview with the e-mail box ticked: a PDF, and the e-mail sent.
    window->cbEmail()->setChecked(true);
    QTest::mouseClick(window->btPrevizualizare(), Qt::LeftButton);
    QCOMPARE(host.previews, QStringList{QStringLiteral("Factura")});
    QCOMPARE(host.drafts.size(), 1);
    const QString pdf = host.drafts.first().attachments.value(0);
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Message delivered"));
    QCOMPARE(smtp.messages().size(), 1);
    const QJsonObject mail = parsedMessage(smtp.messages().first());
    QCOMPARE(mail.value(QStringLiteral("To")).toString(),
             QStringLiteral("contabilitate@cafeneaua.ro"));
    QCOMPARE(mail.value(QStringLiteral("Subject")).toString(),
             QStringLiteral("Factura FIRMA MEA SRL 17 din ") +
                 QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    QFile sentPdf(pdf);
    QVERIFY(sentPdf.open(QIODevice::ReadOnly));
    QCOMPARE(attachmentData(mail, QFileInfo(pdf).fileName()), sentPdf.readAll());

    // Collect in cash.
    m.prompter.answers.enqueue(true);
    QTest::mouseClick(window->btIncasare(), Qt::LeftButton);
    TfrmChitanta *receipts = child<TfrmChitanta>(frame);
    QVERIFY(receipts);
    QTest::mouseClick(receipts->nextButton(), Qt::LeftButton);
    QCOMPARE(receipts->method()->currentText(), QStringLiteral("Chitanta"));
    QCOMPARE(receipts->number()->text(), QStringLiteral("5"));
    QCOMPARE(receipts->amount()->text(), QStringLiteral("121,00"));
    QCOMPARE(receipts->amountInWords()->text(), QStringLiteral("unasutadouazecisiunulei"));
    m.prompter.inputs.enqueue(QStringLiteral("250"));
    m.prompter.inputs.enqueue(QStringLiteral("1"));
    QTest::mouseClick(receipts->addButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Incasare introdusa."));
    keepPicture(receipts, QStringLiteral("receipts"));

    // The fiscal receipt file.
    m.prompter.answers.enqueue(true);
    QTimer::singleShot(0, this, [&] {
        auto *dialog = receipts->findChild<TfrmBonFiscal *>();
        QVERIFY(dialog);
        dialog->edCash()->setText(QStringLiteral("121"));
        dialog->btEmiteBonClick();
        dialog->accept();
    });
    QTest::mouseClick(receipts->fiscalButton(), Qt::LeftButton);
    QCOMPARE(m.prompter.shown.last(), QStringLiteral("info: Fisier creat"));

    // What the database says.
    Dataset invoice(c, QStringLiteral("select * from Facturi"));
    invoice.open();
    QCOMPARE(invoice.recordCount(), 1);
    QCOMPARE(invoice.asInteger(QStringLiteral("Nf")), 17);
    QVERIFY(invoice.asBoolean(QStringLiteral("Validata")));
    QVERIFY(invoice.asBoolean(QStringLiteral("Achitata")));
    QCOMPARE(invoice.asMoney(QStringLiteral("SumaAchitat")).toString(2), QStringLiteral("121.00"));
    QCOMPARE(c.scalar(QStringLiteral("select NrFactura from SeriiActe")).toInt(), 18);
    Dataset collection(c, QStringLiteral("select * from Incasari"));
    collection.open();
    QCOMPARE(collection.recordCount(), 1);
    QCOMPARE(collection.asInteger(QStringLiteral("NrChit")), 5);
    QCOMPARE(collection.asString(QStringLiteral("Seria")), QStringLiteral("CHT"));
    QCOMPARE(collection.asString(QStringLiteral("Sumaliteral")),
             QStringLiteral("unasutadouazecisiunulei"));
    QCOMPARE(c.scalar(QStringLiteral("select NrChitanta from SeriiActe")).toInt(), 6);
    Dataset sheet(c, QStringLiteral("select * from RegistruCasaSold"));
    sheet.open();
    QCOMPARE(sheet.asMoney(QStringLiteral("Sold")).toString(2), QStringLiteral("250.00"));
    QCOMPARE(sheet.asMoney(QStringLiteral("Incasari")).toString(2), QStringLiteral("121.00"));
    QCOMPARE(sheet.asMoney(QStringLiteral("Total")).toString(2), QStringLiteral("371.00"));
    QCOMPARE(c.scalar(QStringLiteral("select nractcasa from RegistrulCasaDetalii")).toString(),
             QStringLiteral("CHT-5"));
    QFile receiptFile(fiscalFile);
    QVERIFY(receiptFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = receiptFile.readAll();
    QVERIFY(bytes.startsWith("S,1,______,_,__;Cafea boabe;60.50;2.000;"));
    QVERIFY(bytes.contains("T,1,______,_,__;\r\n"));

    // The day's sheet in the cash register window.
    toolbarAction(frame, QStringLiteral("Registrul de Casa"))->trigger();
    QVERIFY(child<TfrmRC>(frame));
    keepPicture(child<TfrmRC>(frame), QStringLiteral("cashregister"));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
