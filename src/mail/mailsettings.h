#pragma once

#include <QString>

class QSettings;

// What sending e-mail needs from this machine: files, not company data.
struct MailSettings
{
    // PKCS#12 file with the sender's certificate and key, for signing.
    QString signerCertificate;
    // Folder of the recipients' certificates (PEM or DER), for encryption.
    QString recipientCertificates;
    // Authorities to trust for the SMTP server instead of the system's.
    QString caFile;
};

MailSettings readMailSettings(const QSettings &settings);
void writeMailSettings(QSettings &settings, const MailSettings &mail);
