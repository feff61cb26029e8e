#include "mailsettings.h"

#include <QSettings>

namespace {
const QString SignerKey = QStringLiteral("Email/CertificatSemnatura");
const QString RecipientsKey = QStringLiteral("Email/CertificateDestinatari");
const QString CaKey = QStringLiteral("Email/AutoritatiServer");
} // namespace

MailSettings readMailSettings(const QSettings &settings)
{
    MailSettings mail;
    mail.signerCertificate = settings.value(SignerKey).toString();
    mail.recipientCertificates = settings.value(RecipientsKey).toString();
    mail.caFile = settings.value(CaKey).toString();
    return mail;
}

void writeMailSettings(QSettings &settings, const MailSettings &mail)
{
    settings.setValue(SignerKey, mail.signerCertificate);
    settings.setValue(RecipientsKey, mail.recipientCertificates);
    settings.setValue(CaKey, mail.caFile);
}
