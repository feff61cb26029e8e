#pragma once

#include "mailsettings.h"

#include <QString>
#include <QStringList>

#include <optional>

// A message as the e-mail window holds it, with the account it goes out by.
struct MailForm
{
    QString from;
    QString to; // addresses separated by commas
    QString cc;
    QString subject;
    QString body;
    QStringList attachments; // file paths

    QString host;
    int port = 0; // 0: the usual port for the security chosen
    bool secure = false;
    bool authentication = false;
    QString user;
    QString password;

    bool sign = false;
    QString certificatePassword; // of the signing certificate's file
    bool encrypt = false;
};

enum class MailField
{
    From,
    To,
    Cc,
    Host,
    User,
    Password,
};

// What keeps the form from being sent, and the field to correct.
struct MailProblem
{
    MailField field;
    QString message;
};
std::optional<MailProblem> checkMailForm(const MailForm &form);

// Builds the message, signs and encrypts it when asked and hands it to the
// server. Returns the error text, empty once the server accepted it for
// every recipient. Blocks; safe to run on a worker thread.
QString dispatchMail(const MailForm &form, const MailSettings &settings);
