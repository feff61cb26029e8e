#include "emailwindow.h"

#include "core/prompter.h"
#include "reports/reportengine.h"
#include "secretstore.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace {

QString smtpKey(const QString &user, const QString &host)
{
    return QStringLiteral("smtp/") + user.trimmed() + u'@' + host.trimmed();
}

QString certificateKey(const QString &file)
{
    return QStringLiteral("certificat/") + file;
}

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

QLineEdit *passwordEdit(const char *name)
{
    auto *edit = named(new QLineEdit, name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

TfrmEmail::TfrmEmail(const MailSettings &settings, SecretStore &secrets, Prompter &prompter,
                     QWidget *parent)
    : QDialog(parent), m_settings(settings), m_secrets(secrets), m_prompter(prompter),
      m_edFrom(named(new QLineEdit, "edFrom")), m_edTo(named(new QLineEdit, "edTo")),
      m_edCc(named(new QLineEdit, "edCc")), m_edSubject(named(new QLineEdit, "edSubject")),
      m_edBody(named(new QPlainTextEdit, "edBody")),
      m_edAttachments(named(new QLineEdit, "edAttachments")),
      m_edServer(named(new QLineEdit, "edServer")), m_spPort(named(new QSpinBox, "spPort")),
      m_chkAuth(named(new QCheckBox(QStringLiteral("My server requires user authentication")),
                      "chkAuth")),
      m_edUser(named(new QLineEdit, "edUser")), m_edPassword(passwordEdit("edPassword")),
      m_chkSSL(named(new QCheckBox(QStringLiteral("My server requires secure connection (SSL)")),
                     "chkSSL")),
      m_chkSignature(named(new QCheckBox(QStringLiteral("Digital Signature")), "chkSignature")),
      m_edCertificatePassword(passwordEdit("edCertificatePassword")),
      m_chkEncryption(named(new QCheckBox(QStringLiteral("Encryption")), "chkEncryption")),
      m_lbKeychain(named(new QLabel, "lbKeychain")),
      m_btSend(named(new QPushButton(QStringLiteral("Trimite")), "btSend"))
{
    setWindowTitle(QStringLiteral("Trimitere email"));
    setMinimumSize(671, 445);

    auto *message = new QFormLayout;
    message->addRow(QStringLiteral("From"), m_edFrom);
    message->addRow(QStringLiteral("To"), m_edTo);
    message->addRow(QStringLiteral("Cc"), m_edCc);
    message->addRow(QString(), new QLabel(QStringLiteral(
                                   "Please separate multiple email addresses with comma(,)")));
    message->addRow(QStringLiteral("Subject"), m_edSubject);

    m_spPort->setRange(0, 65535);
    m_spPort->setSpecialValueText(QStringLiteral("implicit"));
    auto *server = new QGroupBox(QStringLiteral("SMTP"));
    auto *serverForm = new QFormLayout(server);
    serverForm->addRow(QStringLiteral("Server"), m_edServer);
    serverForm->addRow(QStringLiteral("Port"), m_spPort);
    serverForm->addRow(m_chkAuth);
    serverForm->addRow(QStringLiteral("User"), m_edUser);
    serverForm->addRow(QStringLiteral("Password"), m_edPassword);
    serverForm->addRow(m_chkSSL);

    auto *top = new QHBoxLayout;
    top->addLayout(message, 1);
    top->addWidget(server);

    m_edAttachments->setReadOnly(true);
    auto *btAdd = named(new QPushButton(QStringLiteral("Add")), "btAdd");
    auto *btClear = named(new QPushButton(QStringLiteral("Clear")), "btClear");
    auto *attachments = new QHBoxLayout;
    attachments->addWidget(new QLabel(QStringLiteral("Attachments")));
    attachments->addWidget(m_edAttachments, 1);
    attachments->addWidget(btAdd);
    attachments->addWidget(btClear);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_chkSignature);
    bottom->addWidget(new QLabel(QStringLiteral("Parola certificat")));
    bottom->addWidget(m_edCertificatePassword);
    bottom->addWidget(m_chkEncryption);
    bottom->addStretch(1);
    bottom->addWidget(m_btSend);

    m_lbKeychain->setWordWrap(true);
    m_lbKeychain->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_edBody, 1);
    layout->addLayout(attachments);
    layout->addWidget(m_lbKeychain);
    layout->addLayout(bottom);

    connect(m_btSend, &QPushButton::clicked, this, &TfrmEmail::btSendClick);
    connect(btAdd, &QPushButton::clicked, this, &TfrmEmail::btAddClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmEmail::btClearClick);
    connect(m_chkAuth, &QCheckBox::toggled, this, &TfrmEmail::chkAuthClick);
    connect(m_chkSignature, &QCheckBox::toggled, this, &TfrmEmail::chkSignatureClick);
    chkAuthClick();
    chkSignatureClick();
}

void TfrmEmail::load(const EmailDraft &draft)
{
    m_edServer->setText(draft.host);
    m_spPort->setValue(draft.port);
    m_chkAuth->setChecked(draft.authentication);
    m_edUser->setText(draft.user);
    m_edPassword->setText(draft.password);
    m_chkSSL->setChecked(draft.secure);
    m_chkSignature->setChecked(draft.sign);
    m_edFrom->setText(draft.from);
    m_edTo->setText(draft.to);
    m_edCc->setText(draft.cc);
    m_edSubject->setText(draft.subject);
    m_edBody->setPlainText(draft.body);
    m_attachments = draft.attachments;
    showAttachments();

    m_keychainUsable = true;
    m_kept.clear();
    setKeychainNote({});
    if (!draft.user.trimmed().isEmpty() && !draft.host.trimmed().isEmpty())
        readSecret(smtpKey(draft.user, draft.host), m_edPassword);
    if (m_keychainUsable && !m_settings.signerCertificate.isEmpty())
        readSecret(certificateKey(m_settings.signerCertificate), m_edCertificatePassword);
}

void TfrmEmail::readSecret(const QString &key, QLineEdit *target)
{
    const SecretStore::Lookup lookup = m_secrets.read(key);
    if (!lookup.error.isEmpty()) {
        m_keychainUsable = false;
        setKeychainNote(QStringLiteral("Depozitul de parole al sistemului nu poate fi folosit (") +
                        lookup.error +
                        QStringLiteral("): parola serverului este cea din baza de date."));
        return;
    }
    if (lookup.secret) {
        m_kept.insert(key, *lookup.secret);
        target->setText(*lookup.secret);
    }
}

// Passwords that just worked go to the keychain, so that the next message
// does not depend on what the database holds.
void TfrmEmail::keepSecrets(const MailForm &sent)
{
    if (!m_keychainUsable)
        return;
    QList<std::pair<QString, QString>> secrets;
    if (sent.authentication)
        secrets.append({smtpKey(sent.user, sent.host), sent.password});
    if (sent.sign && !m_settings.signerCertificate.isEmpty())
        secrets.append({certificateKey(m_settings.signerCertificate), sent.certificatePassword});
    for (const auto &[key, secret] : std::as_const(secrets)) {
        if (m_kept.contains(key) && m_kept.value(key) == secret)
            continue;
        const QString error = m_secrets.write(key, secret);
        if (!error.isEmpty()) {
            setKeychainNote(
                QStringLiteral(
                    "Parola nu a putut fi pastrata in depozitul de parole al sistemului: ") +
                error);
            return;
        }
        m_kept.insert(key, secret);
    }
}

void TfrmEmail::setKeychainNote(const QString &text)
{
    m_lbKeychain->setText(text);
    m_lbKeychain->setVisible(!text.isEmpty());
}

MailForm TfrmEmail::form() const
{
    MailForm f;
    f.from = m_edFrom->text();
    f.to = m_edTo->text();
    f.cc = m_edCc->text();
    f.subject = m_edSubject->text();
    f.body = m_edBody->toPlainText();
    f.attachments = m_attachments;
    f.host = m_edServer->text();
    f.port = m_spPort->value();
    f.secure = m_chkSSL->isChecked();
    f.authentication = m_chkAuth->isChecked();
    f.user = m_edUser->text();
    f.password = m_edPassword->text();
    f.sign = m_chkSignature->isChecked();
    f.certificatePassword = m_edCertificatePassword->text();
    f.encrypt = m_chkEncryption->isChecked();
    return f;
}

QWidget *TfrmEmail::field(MailField which) const
{
    switch (which) {
    case MailField::From:
        return m_edFrom;
    case MailField::To:
        return m_edTo;
    case MailField::Cc:
        return m_edCc;
    case MailField::Host:
        return m_edServer;
    case MailField::User:
        return m_edUser;
    case MailField::Password:
        return m_edPassword;
    }
    return m_edFrom;
}

void TfrmEmail::btSendClick()
{
    const MailForm sent = form();
    if (const std::optional<MailProblem> problem = checkMailForm(sent)) {
        m_prompter.error(problem->message);
        field(problem->field)->setFocus();
        return;
    }
    // The send runs beside the event loop so that the window keeps painting;
    // the window cannot be closed meanwhile.
    m_btSend->setEnabled(false);
    m_sending = true;
    QString error;
    const std::unique_ptr<QThread> worker(QThread::create(
        [&error, sent, settings = m_settings] { error = dispatchMail(sent, settings); }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    m_sending = false;
    m_btSend->setEnabled(true);

    if (!error.isEmpty()) {
        m_prompter.error(error);
        return;
    }
    m_prompter.information(QStringLiteral("Message delivered"));
    keepSecrets(sent);
}

void TfrmEmail::btAddClick()
{
    const QString path = QFileDialog::getOpenFileName(this);
    if (path.isEmpty())
        return;
    m_attachments << path;
    showAttachments();
}

void TfrmEmail::btClearClick()
{
    m_attachments.clear();
    showAttachments();
}

void TfrmEmail::showAttachments()
{
    QString text;
    for (const QString &path : std::as_const(m_attachments))
        text += QFileInfo(path).fileName() + u';';
    m_edAttachments->setText(text);
}

void TfrmEmail::chkAuthClick()
{
    m_edUser->setEnabled(m_chkAuth->isChecked());
    m_edPassword->setEnabled(m_chkAuth->isChecked());
}

void TfrmEmail::chkSignatureClick()
{
    m_edCertificatePassword->setEnabled(m_chkSignature->isChecked());
}

void TfrmEmail::reject()
{
    if (!m_sending)
        QDialog::reject();
}
