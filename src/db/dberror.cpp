#include "dberror.h"

QString errorDisplayText(const std::exception &e)
{
    if (const auto *db = dynamic_cast<const DbError *>(&e))
        return db->displayText();
    return QStringLiteral("Exception error raised, with message : ") + QString::fromUtf8(e.what());
}
