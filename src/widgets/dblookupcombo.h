#pragma once

#include <QComboBox>
#include <QPointer>

class Dataset;
class FieldLink;
class Prompter;

// Chooses the value of a key field from the rows of a list dataset: shows
// the display text of the list row whose key equals the bound field and
// writes the key of the item the user picks. Follows the list's changes.
// Empty and disabled while the bound dataset has no current row.
class DbLookupCombo : public QComboBox
{
    Q_OBJECT

public:
    DbLookupCombo(Dataset &dataset, const QString &field, Dataset &list, const QString &keyField,
                  const QString &displayField, Prompter &prompter, QWidget *parent = nullptr);

    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void fillItems();
    void showValue();

    FieldLink *m_link;
    QPointer<Dataset> m_list;
    QString m_keyField;
    QString m_displayField;
    bool m_readOnly = false;
};
