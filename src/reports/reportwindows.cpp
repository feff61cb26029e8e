#include "reportwindows.h"

#include "core/prompter.h"
#include "designer.h"
#include "previewwindow.h"

WindowReportHost::WindowReportHost(ReportEngine &engine, Prompter &prompter, QWidget *parent)
    : m_engine(engine), m_prompter(prompter), m_parent(parent)
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
    // The e-mail window comes with the mail subsystem; until then the user
    // gets the document and the address it was meant for.
    m_prompter.information(QStringLiteral("Documentul a fost salvat in ") + draft.attachments.value(0)
                           + QStringLiteral(".\nTrimiterea prin e-mail catre ") + draft.to
                           + QStringLiteral(" nu este disponibila inca in aceasta versiune."));
}
