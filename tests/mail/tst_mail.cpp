#include "mail/mailfixture.h"

#include "mail/maildispatch.h"
#include "mail/smtpsender.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sender = QStringLiteral("Ștefan Comerț SRL <office@firma.example>");
const QString Cc = QStringLiteral("Contabil Ăâî <contabil@client.example>");
const QString SmtpUser = QStringLiteral("tarabix");
const QString SmtpPassword = QStringLiteral("Secret-SMTP");
// Diacritics, a line a relay could take for the end of the data, a line
// mailboxes rewrite, one longer than a mail line, a trailing space.
const QString Body = QStringLiteral(
    "Stimate client,\n\nVă informăm că în data de 24.01.2024 a fost emisă Factura 12.\n"
    ".\n.linie care incepe cu punct\n"
    "From aici incepe o linie pe care unele servere o modifica\n"
    "O linie lunga, mult peste saptezeci si sase de caractere, cu diacritice: ăâîșț ĂÂÎȘȚ, TVA=19% "
    "și iar ăâîșț.\n"
    "spatiu la final \n"
    "Vă mulțumim,");
const QString PdfName = QStringLiteral("Client Țară-Factura-12 - 24.01.2024.pdf");

enum Server
{
    Trusted,
    Untrusted,
    WithoutTls,
};

} // namespace

class TestMail : public QObject
{
    Q_OBJECT

    MailCertificates m_certs;
    QTemporaryDir m_files;
    QByteArray m_pdf;
    SmtpTestServer m_trusted;
    SmtpTestServer m_untrusted;
    SmtpTestServer m_withoutTls;
    SmtpTestServer m_implicit;

    SmtpTestServer &server(int which)
    {
        return which == Trusted ? m_trusted : which == Untrusted ? m_untrusted : m_withoutTls;
    }
    MailSettings settings() const
    {
        return {m_certs.signer(), m_certs.recipientFolder(), m_certs.ca()};
    }
    MailForm form(int which)
    {
        MailForm f;
        f.from = Sender;
        f.to = QLatin1StringView(MailCertificates::Recipient);
        f.cc = Cc;
        f.subject = QStringLiteral(
            "Factura Ștefan Comerț SRL 12 din 24.01.2024, cu diacritice: ăâîșț ĂÂÎȘȚ");
        f.body = Body;
        f.attachments = QStringList{m_files.filePath(PdfName)};
        f.host = QStringLiteral("127.0.0.1");
        f.port = server(which).port();
        f.secure = true;
        f.authentication = true;
        f.user = SmtpUser;
        f.password = SmtpPassword;
        f.certificatePassword = QLatin1StringView(MailCertificates::Pkcs12Password);
        return f;
    }
    qsizetype receivedCount() const
    {
        return m_trusted.messages().size() + m_untrusted.messages().size() +
               m_withoutTls.messages().size();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(m_certs.make(), QString());
        m_pdf = QByteArrayLiteral("%PDF-1.4\n");
        for (int n = 0; n < 4096; ++n)
            m_pdf += char(n % 256);
        m_pdf += QByteArrayLiteral("\n%%EOF\n");
        QFile pdf(m_files.filePath(PdfName));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write(m_pdf);
        pdf.close();

        const QStringList tls{QStringLiteral("--cert"), m_certs.path(QStringLiteral("server.pem")),
                              QStringLiteral("--key"), m_certs.path(QStringLiteral("server.key"))};
        const QStringList auth{QStringLiteral("--auth"), SmtpUser + u':' + SmtpPassword};
        QCOMPARE(m_trusted.start(QStringList{QStringLiteral("--tls"), QStringLiteral("starttls")} +
                                 tls + auth),
                 QString());
        QCOMPARE(m_implicit.start(QStringList{QStringLiteral("--tls"), QStringLiteral("implicit")} +
                                  tls + auth),
                 QString());
        QCOMPARE(m_untrusted.start(
                     {QStringLiteral("--tls"), QStringLiteral("starttls"), QStringLiteral("--cert"),
                      m_certs.path(QStringLiteral("untrusted.pem")), QStringLiteral("--key"),
                      m_certs.path(QStringLiteral("untrusted.key"))}),
                 QString());
        QCOMPARE(m_withoutTls.start({}), QString());
    }

    void delivers_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<bool>("sign");
        QTest::addColumn<bool>("encrypt");
        const QString to = QLatin1StringView(MailCertificates::Recipient);
        QTest::newRow("text and PDF") << to << Cc << false << false;
        QTest::newRow("only Cc") << QString() << Cc << false << false;
        QTest::newRow("signed") << to << Cc << true << false;
        QTest::newRow("signed and encrypted") << to << QString() << true << true;
    }

    void delivers()
    {
        QFETCH(QString, to);
        QFETCH(QString, cc);
        QFETCH(bool, sign);
        QFETCH(bool, encrypt);
        MailForm f = form(Trusted);
        f.to = to;
        f.cc = cc;
        f.sign = sign;
        f.encrypt = encrypt;
        const qsizetype before = m_trusted.messages().size();

        QCOMPARE(dispatchMail(f, settings()), QString());

        const QStringList messages = m_trusted.messages();
        QCOMPARE(messages.size(), before + 1);
        const QString received = messages.last();
        const QJsonObject envelope = m_trusted.envelope(received);
        QCOMPARE(envelope.value(QStringLiteral("from")).toString(),
                 QStringLiteral("office@firma.example"));
        QStringList recipients;
        if (!to.isEmpty())
            recipients << to;
        if (!cc.isEmpty())
            recipients << QStringLiteral("contabil@client.example");
        QCOMPARE(envelope.value(QStringLiteral("to")).toVariant().toStringList(), recipients);
        QVERIFY(envelope.value(QStringLiteral("authenticated")).toBool());

        const QJsonObject outer = parsedMessage(received);
        QCOMPARE(outer.value(QStringLiteral("From")).toString(), Sender);
        QCOMPARE(outer.value(QStringLiteral("To")).toString(), to);
        QCOMPARE(outer.value(QStringLiteral("Cc")).toString(), cc);
        QCOMPARE(outer.value(QStringLiteral("Subject")).toString(), f.subject);

        QString content = received;
        if (encrypt) {
            QCOMPARE(outer.value(QStringLiteral("type")).toString(),
                     QStringLiteral("application/pkcs7-mime"));
            QVERIFY(attachmentData(outer, PdfName).isEmpty());
            content = m_files.filePath(QStringLiteral("decrypted.eml"));
            QCOMPARE(
                openssl({QStringLiteral("cms"), QStringLiteral("-decrypt"), QStringLiteral("-in"),
                         received, QStringLiteral("-recip"),
                         m_certs.path(QStringLiteral("recipient.pem")), QStringLiteral("-inkey"),
                         m_certs.path(QStringLiteral("recipient.key")), QStringLiteral("-out"),
                         content}),
                QString());
        }
        if (sign) {
            QCOMPARE(
                openssl({QStringLiteral("cms"), QStringLiteral("-verify"), QStringLiteral("-in"),
                         content, QStringLiteral("-CAfile"), m_certs.ca(), QStringLiteral("-out"),
                         m_files.filePath(QStringLiteral("verified.eml"))}),
                QString());
        }
        const QJsonObject message = parsedMessage(content);
        QCOMPARE(message.value(QStringLiteral("text"))
                     .toString()
                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                 Body);
        QCOMPARE(attachmentData(message, PdfName), m_pdf);
    }

    void implicitTls()
    {
        SmtpAccount account;
        account.host = QStringLiteral("127.0.0.1");
        account.port = m_implicit.port();
        account.security = SmtpSecurity::ImplicitTls;
        account.authentication = true;
        account.user = SmtpUser;
        account.password = SmtpPassword;
        account.caFile = m_certs.ca();
        const QByteArray message =
            "From: office@firma.example\r\nSubject: TLS de la inceput\r\n\r\nText\r\n";
        QCOMPARE(sendSmtp(account, QStringLiteral("office@firma.example"),
                          {QLatin1StringView(MailCertificates::Recipient)}, message),
                 QString());
        QCOMPARE(m_implicit.messages().size(), 1);
        QCOMPARE(parsedMessage(m_implicit.messages().constFirst())
                     .value(QStringLiteral("Subject"))
                     .toString(),
                 QStringLiteral("TLS de la inceput"));
    }

    // Nothing reaches any server and the reason comes back.
    void refuses_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("certificatePassword");
        QTest::addColumn<bool>("sign");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("reason");
        const QString p12 = QLatin1StringView(MailCertificates::Pkcs12Password);
        QTest::newRow("server certificate not trusted")
            << int(Untrusted) << Sender << Cc << SmtpPassword << p12 << false << false
            << QStringLiteral("SSL certificate problem");
        QTest::newRow("server without STARTTLS")
            << int(WithoutTls) << Sender << Cc << SmtpPassword << p12 << false << false
            << QStringLiteral("STARTTLS");
        QTest::newRow("wrong SMTP password")
            << int(Trusted) << Sender << Cc << QStringLiteral("gresita") << p12 << false << false
            << QStringLiteral("535");
        QTest::newRow("recipient refused")
            << int(Trusted) << Sender << QStringLiteral("nimeni@refused.example") << SmtpPassword
            << p12 << false << false << QStringLiteral("550");
        QTest::newRow("signing certificate of another sender")
            << int(Trusted) << QStringLiteral("alt@firma.example") << Cc << SmtpPassword << p12
            << true << false
            << QStringLiteral("Not cert found for signing: certificatul din ") + m_certs.signer() +
                   QStringLiteral(" nu este emis pentru alt@firma.example");
        QTest::newRow("wrong certificate password")
            << int(Trusted) << Sender << Cc << SmtpPassword << QStringLiteral("gresita") << true
            << false
            << QStringLiteral("Not cert found for signing: parola certificatului este gresita");
        QTest::newRow("recipient without certificate")
            << int(Trusted) << Sender << Cc << SmtpPassword << p12 << true << true
            << QStringLiteral(
                   "Failed to find cert for contabil@client.example: nu exista un certificat");
    }

    void refuses()
    {
        QFETCH(int, which);
        QFETCH(QString, from);
        QFETCH(QString, cc);
        QFETCH(QString, password);
        QFETCH(QString, certificatePassword);
        QFETCH(bool, sign);
        QFETCH(bool, encrypt);
        QFETCH(QString, reason);
        MailForm f = form(which);
        f.from = from;
        f.cc = cc;
        f.password = password;
        f.certificatePassword = certificatePassword;
        f.sign = sign;
        f.encrypt = encrypt;
        const qsizetype before = receivedCount();

        const QString error = dispatchMail(f, settings());

        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(receivedCount(), before);
    }

    void checksForm_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const QString to = QLatin1StringView(MailCertificates::Recipient);
        const QString host = QStringLiteral("127.0.0.1");
        QTest::newRow("complete") << Sender << to << QString() << SmtpPassword << host << -1
                                  << QString();
        QTest::newRow("no sender")
            << QStringLiteral("  ") << to << Cc << SmtpPassword << host << int(MailField::From)
            << QStringLiteral("Plese input From email address!");
        QTest::newRow("no recipient") << Sender << QStringLiteral(" ") << QString() << SmtpPassword
                                      << host << int(MailField::To)
                                      << QStringLiteral("Please input To or Cc email addresses, "
                                                        "please use comma(,) to separate multiple "
                                                        "addresses!");
        QTest::newRow("header injected in To")
            << Sender << QStringLiteral("client@client.example\r\nBcc: spion@rau.example")
            << QString() << SmtpPassword << host << int(MailField::To)
            << QStringLiteral(
                   "Adresa de email invalida: client@client.example\r\nBcc: spion@rau.example");
        QTest::newRow("Cc without domain")
            << Sender << to << QStringLiteral("a@b.ro, contabil") << SmtpPassword << host
            << int(MailField::Cc) << QStringLiteral("Adresa de email invalida: contabil");
        QTest::newRow("authentication without password")
            << Sender << to << Cc << QString() << host << int(MailField::Password)
            << QStringLiteral("Please input User, Password for SMTP authentication!");
        QTest::newRow("no server")
            << Sender << to << Cc << SmtpPassword << QStringLiteral(" ") << int(MailField::Host)
            << QStringLiteral("Introduceti serverul SMTP al firmei!");
    }

    void checksForm()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, cc);
        QFETCH(QString, password);
        QFETCH(QString, host);
        QFETCH(int, field);
        QFETCH(QString, message);
        MailForm f = form(Trusted);
        f.from = from;
        f.to = to;
        f.cc = cc;
        f.password = password;
        f.host = host;

        const std::optional<MailProblem> problem = checkMailForm(f);

        QCOMPARE(problem ? int(problem->field) : -1, field);
        QCOMPARE(problem ? problem->message : QString(), message);
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
