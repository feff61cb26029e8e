#include "adapter.h"

#include "command.h"
#include "connection.h"
#include "dataset.h"

void adaptDataset(Dataset &dataset)
{
    const Dialect &d = dataset.connection().dialect();
    if (d.serverMode())
        dataset.setSql(d.adaptDataset(dataset.sql()));
}

void adaptCommand(Command &command)
{
    const Dialect &d = command.connection().dialect();
    if (d.serverMode())
        command.setSql(d.adaptCommand(command.sql()));
}

void openForCompany(Dataset &dataset, qint64 companyId)
{
    dataset.close();
    const Dialect &d = dataset.connection().dialect();
    if (d.serverMode())
        dataset.setSql(d.adaptBooleans(dataset.sql()));
    dataset.setParam(0, companyId);
    dataset.open();
}
