#include "mail/mailfixture.h"

#include "mail/emailwindow.h"
#include "mail/secretstore.h"
#include "reports/reportengine.h"
#include "support/scriptedprompter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString SmtpUser = QStringLiteral("tarabix");
const QString SmtpPassword = QStringLiteral("Secret-SMTP");
const QString SmtpKey = QStringLiteral("smtp/tarabix@127.0.0.1");
const QString PdfName = QStringLiteral("Factura-12.pdf");

// A keychain in memory; with `failure` set it behaves like a machine
// without one.
class MapStore : public SecretStore
{
public:
    QHash<QString, QString> secrets;
    QString failure;
    QStringList writes;

    Lookup read(const QString &key) override
    {
        if (!failure.isEmpty())
            return {std::nullopt, failure};
        return {secrets.contains(key) ? std::optional<QString>(secrets.value(key)) : std::nullopt,
                {}};
    }
    QString write(const QString &key, const QString &secret) override
    {
        if (!failure.isEmpty())
            return failure;
        secrets.insert(key, secret);
        writes << key;
        return {};
    }
};

} // namespace

class TestEmailWindow : public QObject
{
    Q_OBJECT

    MailCertificates m_certs;
    QTemporaryDir m_files;
    SmtpTestServer m_server;

    EmailDraft draft() const
    {
        EmailDraft d;
        d.host = QStringLiteral("127.0.0.1");
        d.port = m_server.port();
        d.user = SmtpUser;
        d.password = SmtpPassword;
        d.authentication = true;
        d.secure = true;
        d.from = QLatin1StringView(MailCertificates::Sender);
        d.to = QLatin1StringView(MailCertificates::Recipient);
        d.cc = QStringLiteral("contabil@client.example");
        d.subject = QStringLiteral("Factura Firma SRL 12 din 24.01.2024");
        d.body = QStringLiteral("Stimate client,\r\n\r\nVa multumim,\r\nIon Popescu");
        d.attachments = QStringList{m_files.filePath(PdfName)};
        return d;
    }
    MailSettings settings() const
    {
        return {m_certs.signer(), m_certs.recipientFolder(), m_certs.ca()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(m_certs.make(), QString());
        QFile pdf(m_files.filePath(PdfName));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4\n\x01\x02\xff\n%%EOF\n");
        pdf.close();
        QCOMPARE(
            m_server.start({QStringLiteral("--tls"), QStringLiteral("starttls"),
                            QStringLiteral("--cert"), m_certs.path(QStringLiteral("server.pem")),
                            QStringLiteral("--key"), m_certs.path(QStringLiteral("server.key")),
                            QStringLiteral("--auth"), SmtpUser + u':' + SmtpPassword}),
            QString());
    }

    void sends_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("databasePassword");
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("no keychain: the database's password")
            << QStringLiteral("No keychain service available") << QString() << SmtpPassword << true
            << QStringLiteral(
                   "(No keychain service available): parola serverului este cea din baza de date")
            << QStringList();
        QTest::newRow("the keychain's password before the database's")
            << QString() << SmtpPassword << QStringLiteral("veche") << true << QString()
            << QStringList();
        QTest::newRow("a password that worked is kept")
            << QString() << QString() << SmtpPassword << true << QString() << QStringList{SmtpKey};
        QTest::newRow("a refused password is not kept and not reported as sent")
            << QString() << QString() << QStringLiteral("gresita") << false << QString()
            << QStringList();
    }

    void sends()
    {
        QFETCH(QString, failure);
        QFETCH(QString, stored);
        QFETCH(QString, databasePassword);
        QFETCH(bool, delivered);
        QFETCH(QString, note);
        QFETCH(QStringList, writes);
        MapStore store;
        store.failure = failure;
        if (!stored.isEmpty())
            store.secrets.insert(SmtpKey, stored);
        ScriptedPrompter prompter;
        TfrmEmail window(settings(), store, prompter);
        EmailDraft d = draft();
        d.password = databasePassword;
        window.load(d);
        const auto *lbKeychain = window.findChild<QLabel *>(QStringLiteral("lbKeychain"));
        QCOMPARE(lbKeychain->isVisibleTo(&window), !note.isEmpty());
        QVERIFY2(lbKeychain->text().contains(note), qPrintable(lbKeychain->text()));
        auto *btSend = window.findChild<QPushButton *>(QStringLiteral("btSend"));
        const qsizetype before = m_server.messages().size();

        btSend->click();

        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(m_server.messages().size(), before + (delivered ? 1 : 0));
        QVERIFY(btSend->isEnabled());
        QCOMPARE(store.writes, writes);
        if (!delivered) {
            QVERIFY2(prompter.shown.constFirst().startsWith(QStringLiteral("error: ")),
                     qPrintable(prompter.shown.constFirst()));
            return;
        }
        QCOMPARE(prompter.shown.constFirst(), QStringLiteral("info: Message delivered"));
        if (!writes.isEmpty())
            QCOMPARE(store.secrets.value(SmtpKey), SmtpPassword);
        const QJsonObject message = parsedMessage(m_server.messages().constLast());
        QCOMPARE(message.value(QStringLiteral("From")).toString(), d.from);
        QCOMPARE(message.value(QStringLiteral("To")).toString(), d.to);
        QCOMPARE(message.value(QStringLiteral("Cc")).toString(), d.cc);
        QCOMPARE(message.value(QStringLiteral("Subject")).toString(), d.subject);
        QCOMPARE(message.value(QStringLiteral("text"))
                     .toString()
                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                 d.body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(attachmentData(message, PdfName), QByteArray("%PDF-1.4\n\x01\x02\xff\n%%EOF\n"));
    }

    void refusesFormWithoutSender()
    {
        MapStore store;
        ScriptedPrompter prompter;
        TfrmEmail window(settings(), store, prompter);
        EmailDraft d = draft();
        d.from.clear();
        window.load(d);
        const qsizetype before = m_server.messages().size();

        window.findChild<QPushButton *>(QStringLiteral("btSend"))->click();

        QCOMPARE(prompter.shown,
                 QStringList{QStringLiteral("error: Plese input From email address!")});
        QCOMPARE(window.focusWidget(), window.findChild<QLineEdit *>(QStringLiteral("edFrom")));
        QCOMPARE(m_server.messages().size(), before);
    }
};

QTEST_MAIN(TestEmailWindow)
#include "tst_emailwindow.moc"
