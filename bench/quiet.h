#pragma once

#include "core/prompter.h"
#include "core/startup.h"

#include <optional>
#include <stdexcept>

// What a bench program gives the data modules in place of a user: no box is
// shown, every question is answered yes with the proposed value, and an
// error stops the run.
class Quiet : public Prompter
{
public:
    void information(const QString &) override {}
    void error(const QString &text) override { throw std::runtime_error(text.toStdString()); }
    bool confirm(const QString &) override { return true; }
    std::optional<QString> input(const QString &, const QString &, const QString &value) override
    {
        return value;
    }
};

// A SQLite program folder needs no connection string.
class NoStore : public startup::ConnectionStringStore
{
public:
    std::optional<QString> read() override { return std::nullopt; }
    void write(const QString &) override {}
};

class NoEditor : public startup::ConnectionEditor
{
public:
    QString edit(const QString &current) override { return current; }
};
