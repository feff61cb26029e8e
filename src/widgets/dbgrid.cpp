#include "dbgrid.h"

#include "data/util.h"
#include "db/dataset.h"
#include "fieldlink.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScopedValueRollback>

#include <algorithm>

DbGrid::DbGrid(Dataset &dataset, Prompter &prompter, const QList<DatasetColumn> &columns,
               QWidget *parent)
    : QTableView(parent), m_dataset(&dataset), m_prompter(&prompter),
      m_model(new DatasetModel(dataset, columns, this)), m_menu(new QMenu(this)),
      m_editAction(m_menu->addAction(QString()))
{
    m_model->setPrompter(&prompter);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // Fixed row heights keep large datasets quick to show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    setEditable(false);

    connect(m_editAction, &QAction::triggered, this, [this] { setEditable(!isEditable()); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DbGrid::sortOn);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { Q_EMIT rowDoubleClicked(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DbGrid::onCurrentRowChanged);
    connect(m_model, &DatasetModel::currentRowChanged, this, &DbGrid::selectCurrentRow);
    // After the view has taken in a change of rows, show the dataset's row.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::selectCurrentRow);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::fitColumnsOnce);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DbGrid::selectCurrentRow);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DbGrid::selectCurrentRow);
    selectCurrentRow();
    fitColumnsOnce();
}

void DbGrid::fitColumnsOnce()
{
    if (m_fitted || m_model->rowCount() == 0)
        return;
    m_fitted = true;
    constexpr int SampleRows = 40;
    constexpr int WidestColumn = 320;
    horizontalHeader()->setResizeContentsPrecision(SampleRows);
    resizeColumnsToContents();
    constexpr int Breathing = 12;
    for (int column = 0; column < m_model->columnCount(); ++column)
        setColumnWidth(column, std::min(columnWidth(column) + Breathing, WidestColumn));
}

void DbGrid::setEditable(bool editable)
{
    m_model->setEditable(editable);
    setEditTriggers(editable
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
    m_editAction->setText(editable ? QStringLiteral("Nu permite modificari in tabel")
                                   : QStringLiteral("Permite modificari in tabel"));
}

void DbGrid::contextMenuEvent(QContextMenuEvent *event)
{
    m_menu->popup(event->globalPos());
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState && m_dataset &&
        m_dataset->isEditing()) {
        runShowingErrors(m_prompter, [this] { m_dataset->post(); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::selectCurrentRow()
{
    const QScopedValueRollback guard(m_syncing, true);
    const int row = m_dataset && m_dataset->isOpen() ? m_dataset->recNo() : -1;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selectionModel()->clear();
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex index = m_model->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void DbGrid::onCurrentRowChanged(const QModelIndex &current)
{
    if (m_syncing || m_model->isUpdating() || !m_dataset || !current.isValid() ||
        current.row() == m_dataset->recNo())
        return;
    const int row = current.row();
    if (!runShowingErrors(m_prompter, [&] { m_dataset->moveTo(row); })) {
        // The row could not be left (its post failed): select it again once
        // the view has finished handling the click.
        QMetaObject::invokeMethod(this, &DbGrid::selectCurrentRow, Qt::QueuedConnection);
    }
}

void DbGrid::sortOn(int section)
{
    if (m_dataset)
        ::sortByColumn(*m_dataset, m_model->fieldAt(section), m_ascending, *m_prompter);
}
