#pragma once

#include "core/appstate.h"
#include "core/startup.h"
#include "data/tdm.h"
#include "data/tdmrc.h"
#include "support/scriptedprompter.h"

#include <QTemporaryDir>

// Both data modules started on a new database in a temporary program folder,
// with a scripted prompter.
class Modules
{
public:
    Modules();

    QTemporaryDir program;
    AppState state;
    ScriptedPrompter prompter;
    Tdm dm;
    TdmRC rc;

    Connection &cnc() { return dm.cnc(); }
    qint64 count(const QString &table, const QString &where = {}, const QVariantList &values = {});
    // A partner of the current company.
    qint64 addPartner(const QString &name, bool client = true, bool supplier = false);

private:
    class NoStore : public startup::ConnectionStringStore
    {
    public:
        std::optional<QString> read() override { return std::nullopt; }
        void write(const QString &) override {}
    } m_store;
    class NoEditor : public startup::ConnectionEditor
    {
    public:
        QString edit(const QString &current) override { return current; }
    } m_editor;
};
