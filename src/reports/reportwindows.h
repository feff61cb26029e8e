#pragma once

#include "reportengine.h"

class Prompter;
class QWidget;

// Shows the report engine's preview, designer and e-mail step in windows.
class WindowReportHost : public ReportHost
{
public:
    WindowReportHost(ReportEngine &engine, Prompter &prompter, QWidget *parent = nullptr);
    void setParent(QWidget *parent) { m_parent = parent; }

    void preview(const QString &title, const QString &html) override;
    void design(const QString &title, const QString &templateText) override;
    void email(const EmailDraft &draft) override;

private:
    ReportEngine &m_engine;
    Prompter &m_prompter;
    QWidget *m_parent;
};
