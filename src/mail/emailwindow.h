#pragma once

#include "maildispatch.h"
#include "mailsettings.h"

#include <QDialog>
#include <QHash>

struct EmailDraft;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class SecretStore;

// Reviews and sends a document by e-mail from the company's account.
class TfrmEmail : public QDialog
{
    Q_OBJECT

public:
    TfrmEmail(const MailSettings &settings, SecretStore &secrets, Prompter &prompter,
              QWidget *parent = nullptr);

    // Fills the window; the passwords come from the keychain when it holds
    // them, else from the draft.
    void load(const EmailDraft &draft);

    void reject() override;

private:
    void btSendClick();
    void btAddClick();
    void btClearClick();
    void chkAuthClick();
    void chkSignatureClick();

    MailForm form() const;
    QWidget *field(MailField which) const;
    void showAttachments();
    void readSecret(const QString &key, QLineEdit *target);
    void keepSecrets(const MailForm &sent);
    void setKeychainNote(const QString &text);

    MailSettings m_settings;
    SecretStore &m_secrets;
    Prompter &m_prompter;
    QStringList m_attachments;
    bool m_sending = false;
    bool m_keychainUsable = true;
    QHash<QString, QString> m_kept; // what the keychain holds, by key

    QLineEdit *m_edFrom;
    QLineEdit *m_edTo;
    QLineEdit *m_edCc;
    QLineEdit *m_edSubject;
    QPlainTextEdit *m_edBody;
    QLineEdit *m_edAttachments;
    QLineEdit *m_edServer;
    QSpinBox *m_spPort;
    QCheckBox *m_chkAuth;
    QLineEdit *m_edUser;
    QLineEdit *m_edPassword;
    QCheckBox *m_chkSSL;
    QCheckBox *m_chkSignature;
    QLineEdit *m_edCertificatePassword;
    QCheckBox *m_chkEncryption;
    QLabel *m_lbKeychain;
    QPushButton *m_btSend;
};
