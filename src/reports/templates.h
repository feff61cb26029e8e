#pragma once

#include <QString>
#include <QStringList>

class Connection;

// The document templates the program prints, and the defaults it ships.
namespace templates {

// Every title the program prints, in menu order.
const QStringList &titles();

// The default template shipped for a title (empty for an unknown title).
QString defaultText(const QString &title);

// Gives a company the default of every title it has no template for.
void installDefaults(Connection &connection, qint64 companyId);

} // namespace templates
