#include "dblookupcombo.h"

#include "db/dataset.h"
#include "fieldformat.h"
#include "fieldlink.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// Keys read from different queries may come as 3, 3.0 or "3".
bool sameKey(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || a.isNull() || !b.isValid() || b.isNull())
        return false;
    if (isNumber(a) || isNumber(b)) {
        bool okA = false;
        bool okB = false;
        const double x = a.toDouble(&okA);
        const double y = b.toDouble(&okB);
        return okA && okB && x == y;
    }
    return a.toString() == b.toString();
}

} // namespace

DbLookupCombo::DbLookupCombo(Dataset &dataset, const QString &field, Dataset &list,
                             const QString &keyField, const QString &displayField,
                             Prompter &prompter, QWidget *parent)
    : QComboBox(parent), m_link(new FieldLink(dataset, field, prompter, this)), m_list(&list),
      m_keyField(keyField), m_displayField(displayField)
{
    connect(m_link, &FieldLink::refresh, this, &DbLookupCombo::showValue);
    connect(&list, &Dataset::reset, this, &DbLookupCombo::fillItems);
    connect(&list, &Dataset::rowChanged, this, &DbLookupCombo::fillItems);
    connect(&list, &Dataset::rowInserted, this, &DbLookupCombo::fillItems);
    connect(&list, &Dataset::rowRemoved, this, &DbLookupCombo::fillItems);
    connect(&list, &QObject::destroyed, this, [this] {
        m_list = nullptr;
        fillItems();
    });
    // activated comes from the user only, never from showing a value.
    connect(this, &QComboBox::activated, this,
            [this](int index) { m_link->write(itemData(index)); });
    fillItems();
}

void DbLookupCombo::fillItems()
{
    clear();
    if (m_list && m_list->isOpen()) {
        const int key = m_list->fieldIndex(m_keyField);
        const int text = m_list->fieldIndex(m_displayField);
        if (key >= 0 && text >= 0) {
            for (int row = 0; row < m_list->recordCount(); ++row)
                addItem(fieldformat::display(m_list->valueAt(row, text), FieldFormat::Auto),
                        m_list->valueAt(row, key));
        }
    }
    showValue();
}

void DbLookupCombo::showValue()
{
    setEnabled(m_link->hasValue());
    const QVariant value = m_link->value();
    int found = -1;
    for (int i = 0; i < count() && found < 0; ++i) {
        if (sameKey(itemData(i), value))
            found = i;
    }
    setCurrentIndex(found);
}

void DbLookupCombo::showPopup()
{
    if (!m_readOnly)
        QComboBox::showPopup();
}

void DbLookupCombo::keyPressEvent(QKeyEvent *event)
{
    if (m_readOnly)
        event->ignore();
    else
        QComboBox::keyPressEvent(event);
}

void DbLookupCombo::wheelEvent(QWheelEvent *event)
{
    if (m_readOnly)
        event->ignore();
    else
        QComboBox::wheelEvent(event);
}
