#pragma once

#include "core/prompter.h"

class QWidget;

// Shows the logic's messages and questions as message boxes.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void information(const QString &text) override;
    void error(const QString &text) override;
    bool confirm(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;
    std::optional<QString> input(const QString &title, const QString &label, const QString &value) override;

private:
    QWidget *m_parent;
};
