#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the openssl tool; its error output when it fails.
inline QString openssl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("openssl did not finish");
    if (process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

inline QString smtpServerScript()
{
    return QFINDTESTDATA("smtpserver.py");
}

// Certificates made for one test run: an authority, the server's certificate
// for 127.0.0.1 that it signed, a self-signed one nobody trusts, the sender's
// signing certificate in a PKCS#12 file and a recipient's certificate.
class MailCertificates
{
public:
    static constexpr const char *Sender = "office@firma.example";
    static constexpr const char *Recipient = "client@client.example";
    static constexpr const char *Pkcs12Password = "Parola-P12";

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString ca() const { return path(QStringLiteral("ca.pem")); }
    QString signer() const { return path(QStringLiteral("signer.p12")); }
    QString recipientFolder() const { return path(QStringLiteral("recipients")); }

    // The error, empty when every file was made.
    QString make()
    {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("recipients")))
            return QStringLiteral("no temporary folder");
        QFile extensions(path(QStringLiteral("ext.cnf")));
        if (!extensions.open(QIODevice::WriteOnly))
            return extensions.errorString();
        extensions.write(
            "[server]\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n"
            "extendedKeyUsage=serverAuth\n"
            "[sender]\nsubjectAltName=email:office@firma.example\n"
            "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=emailProtection\n"
            "[recipient]\nsubjectAltName=email:client@client.example\n"
            "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=emailProtection\n");
        extensions.close();
        QString error = openssl(
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
             path(QStringLiteral("ca.key")), QStringLiteral("-out"), ca(), QStringLiteral("-subj"),
             QStringLiteral("/CN=Test CA"), QStringLiteral("-days"), QStringLiteral("2")});
        if (error.isEmpty())
            error =
                openssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                         QStringLiteral("-keyout"), path(QStringLiteral("untrusted.key")),
                         QStringLiteral("-out"), path(QStringLiteral("untrusted.pem")),
                         QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                         QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                         QStringLiteral("-days"), QStringLiteral("2")});
        for (const char *name : {"server", "sender", "recipient"}) {
            if (error.isEmpty())
                error = signedByCa(QLatin1StringView(name));
        }
        if (error.isEmpty())
            error = openssl({QStringLiteral("pkcs12"), QStringLiteral("-export"),
                             QStringLiteral("-inkey"), path(QStringLiteral("sender.key")),
                             QStringLiteral("-in"), path(QStringLiteral("sender.pem")),
                             QStringLiteral("-certfile"), ca(), QStringLiteral("-out"), signer(),
                             QStringLiteral("-passout"),
                             QStringLiteral("pass:") + QLatin1StringView(Pkcs12Password)});
        if (error.isEmpty() && !QFile::copy(path(QStringLiteral("recipient.pem")),
                                            path(QStringLiteral("recipients/client.pem"))))
            error = QStringLiteral("cannot copy the recipient's certificate");
        return error;
    }

private:
    QString signedByCa(const QString &name)
    {
        const QString error =
            openssl({QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                     QStringLiteral("-nodes"), QStringLiteral("-keyout"), path(name + u".key"),
                     QStringLiteral("-out"), path(name + u".csr"), QStringLiteral("-subj"),
                     QStringLiteral("/CN=") + name});
        if (!error.isEmpty())
            return error;
        return openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        path(name + u".csr"), QStringLiteral("-CA"), ca(), QStringLiteral("-CAkey"),
                        path(QStringLiteral("ca.key")), QStringLiteral("-CAcreateserial"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                        path(QStringLiteral("ext.cnf")), QStringLiteral("-extensions"), name,
                        QStringLiteral("-out"), path(name + u".pem")});
    }

    QTemporaryDir m_dir;
};

// A real SMTP server on a free loopback port, run by /usr/bin/python3 with
// aiosmtpd, keeping what it receives in its own folder.
class SmtpTestServer
{
public:
    SmtpTestServer() = default;
    SmtpTestServer(const SmtpTestServer &) = delete;
    SmtpTestServer &operator=(const SmtpTestServer &) = delete;
    ~SmtpTestServer()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Options after the folder, as the script takes them. Returns when the
    // server listens; the error otherwise.
    QString start(const QStringList &options)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{smtpServerScript(), QStringLiteral("serve"), m_folder.path()} +
                            options);
        while (m_process.canReadLine() || m_process.waitForReadyRead(15000)) {
            if (!m_process.canReadLine())
                continue;
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("ready ")) {
                m_port = line.mid(6).toInt();
                return {};
            }
        }
        return QStringLiteral("the SMTP server did not start");
    }

    int port() const { return m_port; }
    // The saved messages, oldest first.
    QStringList messages() const
    {
        QStringList files;
        for (int n = 1; QFile::exists(messagePath(n)); ++n)
            files << messagePath(n);
        return files;
    }
    QJsonObject envelope(const QString &messageFile) const
    {
        QFile file(messageFile.chopped(4) + QStringLiteral(".json"));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                              : QJsonObject();
    }

private:
    QString messagePath(int n) const
    {
        return m_folder.filePath(QString::number(n) + QStringLiteral(".eml"));
    }

    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
};

// Headers, text and attachments of a message file as Python's mail parser
// reads them.
inline QJsonObject parsedMessage(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  {smtpServerScript(), QStringLiteral("parse"), file});
    if (!process.waitForFinished(15000) || process.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

// The attachment of that name, decoded.
inline QByteArray attachmentData(const QJsonObject &message, const QString &name)
{
    const QJsonArray attachments = message.value(QStringLiteral("attachments")).toArray();
    for (const QJsonValue &a : attachments) {
        if (a.toObject().value(QStringLiteral("name")).toString() == name)
            return QByteArray::fromBase64(
                a.toObject().value(QStringLiteral("data")).toString().toLatin1());
    }
    return {};
}
