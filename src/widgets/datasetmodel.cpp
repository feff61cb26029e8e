#include "datasetmodel.h"

#include "db/dataset.h"
#include "fieldlink.h"

DatasetModel::DatasetModel(Dataset &dataset, const QList<DatasetColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_dataset(&dataset), m_columns(columns)
{
    rebuild();
    connect(&dataset, &Dataset::reset, this, &DatasetModel::resetAll);
    connect(&dataset, &Dataset::rowInserted, this, &DatasetModel::onRowInserted);
    connect(&dataset, &Dataset::rowRemoved, this, &DatasetModel::onRowRemoved);
    connect(&dataset, &Dataset::rowChanged, this, &DatasetModel::onRowChanged);
    connect(&dataset, &Dataset::currentChanged, this, &DatasetModel::currentRowChanged);
    connect(&dataset, &QObject::destroyed, this, [this] {
        m_dataset = nullptr;
        resetAll();
    });
}

void DatasetModel::setColumns(const QList<DatasetColumn> &columns)
{
    m_columns = columns;
    resetAll();
}

QString DatasetModel::fieldAt(int column) const
{
    return column >= 0 && column < m_shown.size() ? m_shown[column].column.field : QString();
}

void DatasetModel::rebuild()
{
    m_shown.clear();
    m_rowCount = 0;
    const Dataset *ds = m_dataset;
    if (!ds)
        return;
    if (m_columns.isEmpty()) {
        for (int i = 0; i < ds->fieldCount(); ++i)
            m_shown.append({{ds->fieldName(i), ds->fieldName(i)}, i});
    } else {
        for (const DatasetColumn &c : std::as_const(m_columns))
            m_shown.append({c, ds->fieldIndex(c.field)});
    }
    m_rowCount = ds->isOpen() ? ds->recordCount() : 0;
}

void DatasetModel::resetAll()
{
    m_updating = true;
    beginResetModel();
    rebuild();
    endResetModel();
    m_updating = false;
}

void DatasetModel::onRowInserted(int position)
{
    if (!m_dataset || position < 0 || position > m_rowCount ||
        m_dataset->recordCount() != m_rowCount + 1) {
        resetAll();
        return;
    }
    m_updating = true;
    m_insertedAt = position;
    beginInsertRows({}, position, position);
    ++m_rowCount;
    m_insertedAt = -1;
    endInsertRows();
    m_updating = false;
}

void DatasetModel::onRowRemoved(int position)
{
    if (!m_dataset || position < 0 || position >= m_rowCount ||
        m_dataset->recordCount() != m_rowCount - 1) {
        resetAll();
        return;
    }
    m_updating = true;
    m_removedAt = position;
    beginRemoveRows({}, position, position);
    --m_rowCount;
    m_removedAt = -1;
    endRemoveRows();
    m_updating = false;
}

void DatasetModel::onRowChanged(int position)
{
    if (position >= 0 && position < m_rowCount && !m_shown.isEmpty())
        Q_EMIT dataChanged(index(position, 0), index(position, int(m_shown.size()) - 1));
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

const DatasetModel::Shown *DatasetModel::shown(const QModelIndex &index) const
{
    if (!m_dataset || !index.isValid() || index.row() >= m_rowCount ||
        index.column() >= m_shown.size())
        return nullptr;
    const Shown &s = m_shown[index.column()];
    return s.fieldIndex >= 0 ? &s : nullptr;
}

int DatasetModel::datasetRow(int row) const
{
    if (m_insertedAt >= 0 && row >= m_insertedAt)
        return row + 1;
    if (m_removedAt >= 0 && row >= m_removedAt)
        return row == m_removedAt ? -1 : row - 1;
    return row;
}

QVariant DatasetModel::rawValue(const QModelIndex &index) const
{
    const Shown *s = shown(index);
    if (!s)
        return {};
    try {
        return m_dataset->valueAt(datasetRow(index.row()), s->fieldIndex);
    } catch (const std::exception &) {
        // A calculated field that cannot be computed shows as empty.
        return {};
    }
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole &&
        role != Qt::TextAlignmentRole)
        return {};
    const Shown *s = shown(index);
    if (!s)
        return {};
    const QVariant value = rawValue(index);
    const FieldFormat format = fieldformat::resolve(value, s->column.format);
    switch (role) {
    case Qt::DisplayRole:
        return fieldformat::display(value, format, s->column.decimals);
    case Qt::EditRole:
        if (format == FieldFormat::Boolean)
            return fieldformat::toBoolean(value);
        return fieldformat::display(value, format, s->column.decimals);
    case Qt::CheckStateRole:
        if (format != FieldFormat::Boolean)
            return {};
        return int(fieldformat::toBoolean(value) ? Qt::Checked : Qt::Unchecked);
    default:
        if (format == FieldFormat::Number || format == FieldFormat::Money)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_shown.size())
        return {};
    const DatasetColumn &c = m_shown[section].column;
    return c.title.isEmpty() ? c.field : c.title;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    const Shown *s = shown(index);
    if (!m_editable || !s || m_dataset->isCalculated(s->fieldIndex))
        return base;
    if (fieldformat::resolve(rawValue(index), s->column.format) == FieldFormat::Boolean)
        return base | Qt::ItemIsUserCheckable;
    return base | Qt::ItemIsEditable;
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_editable || (role != Qt::EditRole && role != Qt::CheckStateRole) || !shown(index))
        return false;
    // Copied: posting the row on the move may make the dataset reset.
    const Shown s = *shown(index);
    const int row = index.row();
    Dataset &ds = *m_dataset;
    bool written = false;
    runShowingErrors(m_prompter, [&] {
        if (ds.recNo() != row && !ds.moveTo(row))
            return;
        const QVariant current = ds.value(s.fieldIndex);
        QVariant stored = value;
        if (role == Qt::CheckStateRole) {
            stored = value.toInt() == int(Qt::Checked);
        } else if (value.metaType().id() == QMetaType::QString) {
            const QString text = value.toString();
            if (text == fieldformat::display(current, s.column.format, s.column.decimals))
                return;
            stored = fieldformat::parse(text, current, s.column.format);
        }
        ds.edit();
        ds.setValue(ds.fieldName(s.fieldIndex), stored);
        written = true;
    });
    return written;
}
