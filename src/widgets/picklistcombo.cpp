#include "picklistcombo.h"

PickListCombo::PickListCombo(QWidget *parent) : QComboBox(parent) {}

void PickListCombo::setItems(const QList<PickItem> &items)
{
    clear();
    for (const PickItem &item : items)
        addItem(item.text, item.object ? QVariant(*item.object) : QVariant());
}

std::optional<qint64> PickListCombo::currentObject() const
{
    const QVariant data = currentData();
    if (!data.isValid())
        return std::nullopt;
    return data.toLongLong();
}

bool PickListCombo::selectObject(qint64 object)
{
    const int index = findData(object);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}
