#include "maildispatch.h"

#include "mimemessage.h"
#include "smime.h"
#include "smtpsender.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUuid>

namespace {

std::optional<MailProblem> invalidAddress(const QString &list, MailField field)
{
    for (const Mailbox &box : parseMailboxes(list)) {
        if (!isValidAddress(box.address))
            return MailProblem{field, QStringLiteral("Adresa de email invalida: ") + box.address};
    }
    return std::nullopt;
}

QByteArray messageId(const QString &sender)
{
    return QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' +
           sender.section(u'@', 1).toLatin1();
}

} // namespace

std::optional<MailProblem> checkMailForm(const MailForm &form)
{
    const QString from = form.from.trimmed();
    if (from.isEmpty())
        return MailProblem{MailField::From, QStringLiteral("Plese input From email address!")};
    if (parseMailboxes(from).size() != 1)
        return MailProblem{MailField::From, QStringLiteral("Adresa de email invalida: ") + from};
    if (auto problem = invalidAddress(from, MailField::From))
        return problem;
    if (form.to.trimmed().isEmpty() && form.cc.trimmed().isEmpty())
        return MailProblem{
            MailField::To,
            QStringLiteral("Please input To or Cc email addresses, please use comma(,) "
                           "to separate multiple addresses!")};
    if (auto problem = invalidAddress(form.to, MailField::To))
        return problem;
    if (auto problem = invalidAddress(form.cc, MailField::Cc))
        return problem;
    if (form.authentication && (form.user.trimmed().isEmpty() || form.password.isEmpty()))
        return MailProblem{form.user.trimmed().isEmpty() ? MailField::User : MailField::Password,
                           QStringLiteral("Please input User, Password for SMTP authentication!")};
    // Messages go only through the company's server: direct delivery to the
    // recipients' servers is refused by most of them from an office line.
    if (form.host.trimmed().isEmpty())
        return MailProblem{MailField::Host, QStringLiteral("Introduceti serverul SMTP al firmei!")};
    return std::nullopt;
}

QString dispatchMail(const MailForm &form, const MailSettings &settings)
{
    const Mailbox from = parseMailboxes(form.from).value(0);
    const QList<Mailbox> to = parseMailboxes(form.to);
    const QList<Mailbox> cc = parseMailboxes(form.cc);

    QList<MailAttachment> attachments;
    const QMimeDatabase types;
    for (const QString &path : form.attachments) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("Nu pot citi atasamentul ") + path + QStringLiteral(": ") +
                   file.errorString();
        attachments << MailAttachment{
            QFileInfo(path).fileName(),
            types.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1(),
            file.readAll()};
    }
    QByteArray entity = mixedEntity(form.body, attachments);

    if (form.sign) {
        const SmimeResult signature =
            signEntity(entity, settings.signerCertificate, form.certificatePassword, from.address);
        if (!signature.error.isEmpty())
            return signature.error;
        entity = signature.entity;
    }

    QStringList recipients;
    for (const Mailbox &box : to + cc)
        recipients << box.address;
    recipients.removeDuplicates();

    if (form.encrypt) {
        QList<QByteArray> certificates;
        for (const QString &address : std::as_const(recipients)) {
            const CertificateLookup lookup =
                findCertificate(settings.recipientCertificates, address);
            if (!lookup.error.isEmpty())
                return QStringLiteral("Failed to find cert for ") + address + QStringLiteral(": ") +
                       lookup.error;
            certificates << lookup.der;
        }
        const SmimeResult envelope = encryptEntity(entity, certificates);
        if (!envelope.error.isEmpty())
            return envelope.error;
        entity = envelope.entity;
    }

    const MailHeaders headers{
        from, to, cc, form.subject, QDateTime::currentDateTime(), messageId(from.address)};
    const int port = smtpPort(form.port, form.secure);
    SmtpAccount account;
    account.host = form.host.trimmed();
    account.port = port;
    account.security = smtpSecurity(port, form.secure);
    account.authentication = form.authentication;
    account.user = form.user.trimmed();
    account.password = form.password;
    account.caFile = settings.caFile;
    return sendSmtp(account, from.address, recipients, headerBlock(headers) + entity);
}
