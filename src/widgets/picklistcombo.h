#pragma once

#include "data/util.h"

#include <QComboBox>

#include <optional>

// A list of texts, each with an optional object id, as the pick-list
// helpers return them.
class PickListCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit PickListCombo(QWidget *parent = nullptr);

    // Replaces the items; none is chosen afterwards unless the list has any,
    // then the first.
    void setItems(const QList<PickItem> &items);
    // The chosen item's object; nullopt when none is chosen or it has none.
    std::optional<qint64> currentObject() const;
    // Chooses the first item with this object; false when there is none.
    bool selectObject(qint64 object);
};
