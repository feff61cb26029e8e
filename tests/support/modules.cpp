#include "modules.h"

#include <stdexcept>

Modules::Modules() : dm(state, prompter), rc(dm)
{
    if (!dm.start({program.path(), m_store, m_editor}))
        throw std::runtime_error("the data modules did not start");
}

qint64 Modules::count(const QString &table, const QString &where, const QVariantList &values)
{
    return cnc()
        .scalar(QStringLiteral("select count(*) from ") + table + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where),
                values)
        .toLongLong();
}

qint64 Modules::addPartner(const QString &name, bool client, bool supplier)
{
    return cnc().insert(QStringLiteral("Clienti"),
                        {QStringLiteral("id_firma"), QStringLiteral("NumeFirma"), QStringLiteral("client"),
                         QStringLiteral("furnizor")},
                        {dm.companyId(), name, client, supplier});
}
