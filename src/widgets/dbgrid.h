#pragma once

#include "datasetmodel.h"

#include <QPointer>
#include <QTableView>

class QAction;
class QMenu;

// A grid over a dataset: read-only, whole rows, one at a time. Selecting a
// row moves the dataset there; a move made by code selects the row. Its
// pop-up menu switches in-place editing on and off; with editing on, the
// edited row is posted when the grid leaves it or on Enter. Clicking a
// column title sorts on it, ascending and descending in turn.
class DbGrid : public QTableView
{
    Q_OBJECT

public:
    DbGrid(Dataset &dataset, Prompter &prompter, const QList<DatasetColumn> &columns = {},
           QWidget *parent = nullptr);

    DatasetModel *datasetModel() const { return m_model; }
    void setColumns(const QList<DatasetColumn> &columns)
    {
        m_model->setColumns(columns);
        m_fitted = false;
        fitColumnsOnce();
    }

    void setEditable(bool editable);
    bool isEditable() const { return m_model->isEditable(); }

Q_SIGNALS:
    void rowDoubleClicked(int row);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Sizes the columns to their titles and the first rows, once, so that
    // names and explanations can be read; the user's own sizing stays.
    void fitColumnsOnce();
    void selectCurrentRow();
    void onCurrentRowChanged(const QModelIndex &current);
    void sortOn(int section);

    QPointer<Dataset> m_dataset;
    Prompter *m_prompter;
    DatasetModel *m_model;
    QMenu *m_menu;
    QAction *m_editAction;
    bool m_ascending = true; // the next title click sorts ascending
    bool m_fitted = false;   // columns sized to the first rows shown
    bool m_syncing = false;
};
