#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

enum class SmtpSecurity
{
    Opportunistic, // STARTTLS when the server offers it
    StartTls,      // STARTTLS or no sending at all
    ImplicitTls,   // TLS from the first byte (smtps)
};

struct SmtpAccount
{
    QString host;
    int port = 25;
    SmtpSecurity security = SmtpSecurity::StartTls;
    bool authentication = false;
    QString user;
    QString password;
    // Authorities to trust instead of the system's, for a private server.
    QString caFile;
};

// The port of an account: the stored one, or the submission port when none is.
int smtpPort(int storedPort, bool secure);
// Port 465 speaks TLS from the start; on any other port a secure account
// requires STARTTLS.
SmtpSecurity smtpSecurity(int port, bool secure);

// Hands the message (headers and body, CRLF line ends) to the server for the
// recipients, verifying the server's certificate. Returns the error text, or
// an empty string once the server has accepted the message for every
// recipient. Blocks until then.
QString sendSmtp(const SmtpAccount &account, const QString &sender, const QStringList &recipients,
                 const QByteArray &message);
