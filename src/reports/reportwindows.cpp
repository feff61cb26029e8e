#include "reportwindows.h"

#include "core/prompter.h"
#include "designer.h"
#include "mail/emailwindow.h"
#include "previewwindow.h"

WindowReportHost::WindowReportHost(ReportEngine &engine, Prompter &prompter, SecretStore &secrets,
                                   const MailSettings &mail, QWidget *parent)
    : m_engine(engine), m_prompter(prompter), m_secrets(secrets), m_mail(mail), m_parent(parent)
{
}

void WindowReportHost::preview(const QString &title, const QString &html)
{
    TfrmPreview window(title, html, m_engine.documentsDir(), m_prompter, m_parent);
    window.exec();
}

void WindowReportHost::design(const QString &title, const QString &templateText)
{
    TfrmDesigner window(m_engine, title, templateText, m_parent);
    window.exec();
}

void WindowReportHost::email(const EmailDraft &draft)
{
    TfrmEmail window(m_mail, m_secrets, m_prompter, m_parent);
    window.load(draft);
    window.exec();
}
