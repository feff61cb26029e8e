#pragma once

#include "fieldformat.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

class Dataset;
class Prompter;

// One column of a grid: the field it shows and its title (the field name
// when empty). SQLite gives flags and amounts back as plain numbers, so
// such columns say their format.
struct DatasetColumn
{
    QString field;
    QString title;
    FieldFormat format = FieldFormat::Auto;
    int decimals = -1; // amounts: 2 when -1; numbers: as many as they have
};

// The visible rows of a dataset as a table, read in place (nothing is
// copied, so a hundred thousand rows cost nothing up front). Follows the
// dataset's signals. When editable, a change moves the dataset to the row,
// puts it into edit mode and writes the field; the row is posted when the
// dataset moves on. Errors go to the prompter.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // With no columns, every field of the dataset, titled by its name.
    explicit DatasetModel(Dataset &dataset, const QList<DatasetColumn> &columns = {},
                          QObject *parent = nullptr);

    void setColumns(const QList<DatasetColumn> &columns);
    // The field shown in a column; empty when out of range.
    QString fieldAt(int column) const;

    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }

    // True while the model is telling its views about rows the dataset has
    // already inserted or removed; views must not move the dataset then.
    bool isUpdating() const { return m_updating; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The dataset's current row moved (-1 when there is none).
    void currentRowChanged(int row);

private:
    struct Shown
    {
        DatasetColumn column;
        int fieldIndex = -1;
    };

    void rebuild();
    void resetAll();
    void onRowInserted(int position);
    void onRowRemoved(int position);
    void onRowChanged(int position);
    const Shown *shown(const QModelIndex &index) const;
    QVariant rawValue(const QModelIndex &index) const;
    int datasetRow(int row) const;

    QPointer<Dataset> m_dataset;
    QList<DatasetColumn> m_columns;
    QList<Shown> m_shown;
    // The dataset inserts and removes rows before it says so; until the
    // views have been told, the model shows the rows as they were: the row
    // count they were last told, and rows past the change read shifted.
    int m_rowCount = 0;
    int m_insertedAt = -1;
    int m_removedAt = -1;
    bool m_editable = false;
    bool m_updating = false;
    Prompter *m_prompter = nullptr;
};
