#pragma once

#include "reportengine.h"

struct MailSettings;
class Prompter;
class QWidget;
class SecretStore;

// Shows the report engine's preview, designer and e-mail step in windows.
class WindowReportHost : public ReportHost
{
public:
    WindowReportHost(ReportEngine &engine, Prompter &prompter, SecretStore &secrets,
                     const MailSettings &mail, QWidget *parent = nullptr);
    void setParent(QWidget *parent) { m_parent = parent; }

    void preview(const QString &title, const QString &html) override;
    void design(const QString &title, const QString &templateText) override;
    void email(const EmailDraft &draft) override;

private:
    ReportEngine &m_engine;
    Prompter &m_prompter;
    SecretStore &m_secrets;
    const MailSettings &m_mail;
    QWidget *m_parent;
};
