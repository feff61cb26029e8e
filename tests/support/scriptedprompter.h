#pragma once

#include "core/prompter.h"

#include <QQueue>
#include <QStringList>

#include <stdexcept>

// Answers questions from a script and records every message shown.
class ScriptedPrompter : public Prompter
{
public:
    QStringList shown;        // every text, in order, prefixed by its kind
    QQueue<bool> answers;     // answers to confirm(), in order
    QStringList *log = nullptr; // when set, receives "question" at the moment one is asked
    QQueue<std::optional<QString>> inputs; // answers to input(), in order (nullopt = Cancel)

    void information(const QString &text) override { shown << QStringLiteral("info: ") + text; }
    void error(const QString &text) override { shown << QStringLiteral("error: ") + text; }
    bool confirm(const QString &text) override
    {
        shown << QStringLiteral("question: ") + text;
        if (log)
            *log << QStringLiteral("question");
        if (answers.isEmpty())
            throw std::logic_error("unexpected question: " + text.toStdString());
        return answers.dequeue();
    }
    std::optional<QString> input(const QString &title, const QString &label, const QString &value) override
    {
        shown << QStringLiteral("input: ") + title + QStringLiteral(" / ") + label + QStringLiteral(" [") + value + u']';
        if (inputs.isEmpty())
            throw std::logic_error("unexpected input box: " + label.toStdString());
        return inputs.dequeue();
    }
};
