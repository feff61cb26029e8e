#pragma once

#include <QString>

#include <optional>

// Every message, question and input box of the logic goes through this, so
// that logic never opens a dialog itself and tests can script the answers.
class Prompter
{
public:
    virtual ~Prompter() = default;
    // An information box.
    virtual void information(const QString &text) = 0;
    // An error box.
    virtual void error(const QString &text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const QString &text) = 0;
    // An OK/Cancel question; true for OK.
    virtual bool confirmOkCancel(const QString &text) { return confirm(text); }
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString &title, const QString &label, const QString &value)
    {
        Q_UNUSED(title);
        Q_UNUSED(label);
        Q_UNUSED(value);
        return std::nullopt;
    }
};
