#pragma once

#include "core/money.h"
#include "filterexpr.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class Connection;
class QSqlQuery;

// A query result held in memory (a static cursor) with a current row, the
// events the data modules hang their rules on, and write-back of edited,
// inserted and deleted rows to the row's own table by key.
//
// post() and remove() run with their rules in one transaction: when a rule
// fails, the database is left as it was and the row keeps its edits.
//
// Moving follows the classic dataset rules: first() and last() always fire
// afterScroll, next() and prior() only when they move; next() on the last row
// sets eof() and stays there. Moving while a row is being edited posts it.
class Dataset : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };

    // A remembered row: survives sorting and filtering, and a requery as
    // long as the row's key is still there.
    struct Bookmark
    {
        quint64 serial = 0;
        QVariant key;
        bool isValid() const { return serial != 0; }
    };

    using Handler = std::function<void(Dataset &)>;

    explicit Dataset(Connection &connection, const QString &sql = {}, QObject *parent = nullptr);
    ~Dataset() override;

    Connection &connection() const { return m_connection; }

    // The SQL text, or the name of a saved query; :name parameters are
    // bound by position. A text with other parameters clears their values.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    int paramCount() const { return int(m_paramNames.size()); }
    QString paramName(int position) const { return m_paramNames.value(position); }
    void setParam(int position, const QVariant &value);
    void setParams(const QVariantList &values);
    QVariant param(int position) const { return m_params.value(position); }

    // Where edits are written: the table and the result column holding its
    // key (for "select facturi.id as fid, ..." that is ("Facturi", "fid",
    // "id")). A plain "select ... from T" needs no declaration.
    void setUpdateTable(const QString &table, const QString &keyField = QStringLiteral("id"),
                        const QString &keyColumn = {});
    QString updateTable() const;

    // A field computed by onCalcFields for each row as it is read.
    void addCalculatedField(const QString &name);
    // Computes the calculated fields again as rows are read (after a change
    // of what they depend on outside the row).
    void invalidateCalculatedFields();

    void open();
    void close();
    void requery();
    // Requery and return to the current row; the first row when it is gone.
    void requeryKeepingPosition();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    bool isEmpty() const { return m_view.empty(); }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recordCount() const { return int(m_view.size()); }
    // Position of the current row among the visible rows, -1 when empty.
    int recNo() const { return m_current; }

    void first();
    void last();
    void next();
    void prior();
    // Moves to the visible row at `position`; false when out of range.
    bool moveTo(int position);
    // Moves to the first visible row whose field equals value (text compares
    // without regard to case when caseInsensitive). False leaves the position.
    bool locate(const QString &field, const QVariant &value, bool caseInsensitive = false);

    Bookmark bookmark() const;
    bool gotoBookmark(const Bookmark &bookmark);

    // Fields of the current row.
    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int index) const { return m_fields.value(index); }
    const QStringList &fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    bool isCalculated(int index) const { return index >= m_queryFieldCount; }

    QVariant value(const QString &name) const;
    QVariant value(int index) const;
    bool isNull(const QString &name) const;
    QString asString(const QString &name) const;
    qint64 asInteger(const QString &name) const;
    double asFloat(const QString &name) const;
    Money asMoney(const QString &name) const;
    QDateTime asDateTime(const QString &name) const;
    QDate asDate(const QString &name) const;
    bool asBoolean(const QString &name) const;
    QByteArray asBytes(const QString &name) const;

    // Reads a field of the visible row at `position` without moving; for
    // views and reports.
    QVariant valueAt(int position, int fieldIndex) const;

    // Writes a field of the current row; the dataset must be editing (or
    // computing calculated fields). Fires the field's validate and change
    // handlers.
    void setValue(const QString &name, const QVariant &value);
    void setNull(const QString &name) { setValue(name, QVariant()); }

    void edit();
    void insert(); // a new row before the current one
    void append(); // a new row at the end
    void post();
    void cancel();
    // Deletes the current row. False when beforeDelete cancelled it.
    bool remove();
    // Whether the field was written since edit() or insert().
    bool fieldModified(const QString &name) const;
    // Whether the last post() inserted its row.
    bool lastPostInserted() const { return m_lastPostInserted; }

    // Local filter ("field=value and ..."); hides the rows that do not match.
    void setFilter(const QString &expression);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }
    // Local sort: "[col] ASC", "[col] DESC", several separated by commas.
    void setSort(const QString &orderText);
    QString sort() const { return m_sortText; }

    // Events.
    Handler afterOpen;
    Handler afterScroll;
    Handler afterClose;
    Handler onNewRecord;
    Handler afterInsert;
    Handler afterEdit;
    Handler beforePost;
    Handler afterPost;
    Handler afterCancel;
    Handler afterDelete;
    Handler onCalcFields;
    // Returns false to cancel the delete silently.
    std::function<bool(Dataset &)> beforeDelete;
    void setFieldValidator(const QString &field, Handler handler);
    void setFieldChange(const QString &field, Handler handler);

Q_SIGNALS:
    // For views: the whole content changed (open, close, requery, filter, sort).
    void reset();
    // The current row moved to `position` (-1 when empty).
    void currentChanged(int position);
    // A visible row's values changed.
    void rowChanged(int position);
    // A row appeared or disappeared at `position`.
    void rowInserted(int position);
    void rowRemoved(int position);
    void stateChanged();

private:
    struct Row
    {
        QVariantList values;
        quint64 serial = 0;
        bool calculated = false;
        bool deleted = false;
    };

    Row &activeRow();
    const Row &activeRow() const;
    bool hasActiveRow() const;
    int requireField(const QString &name) const;
    void load();
    void readRows(QSqlQuery &q);
    void rebuildView(quint64 keepSerial);
    void afterMove();
    void checkBrowseMode();
    void ensureCalculated(int rowIndex) const;
    QVariant rowKey(const Row &row) const;
    void resolveUpdateTable();
    void writeInsert(Row &row);
    void writeUpdate(const Row &row);
    void setState(State s);
    void beginInsert(int position);
    Row makeRow();

    Connection &m_connection;
    QString m_sql;
    QStringList m_paramNames;
    QVariantList m_params;

    QString m_updateTable;
    QString m_keyField;
    QString m_keyColumn;
    bool m_updateDeclared = false;

    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;
    int m_queryFieldCount = 0;
    QStringList m_calcFields;

    std::vector<Row> m_rows;
    std::vector<int> m_view; // indices into m_rows, in visible order
    int m_current = -1;      // index into m_view
    bool m_eof = true;
    bool m_bof = true;
    quint64 m_nextSerial = 1;

    State m_state = State::Inactive;
    Row m_editBuffer;
    std::vector<bool> m_modified;
    int m_insertedRow = -1; // m_rows index of the row being inserted
    bool m_lastPostInserted = false;

    QString m_filterText;
    FilterExpr m_filterExpr;
    bool m_filtered = false;
    QString m_sortText;
    struct SortKey
    {
        int field;
        bool descending;
    };
    std::vector<SortKey> m_sortKeys;

    mutable int m_calcRow = -1; // m_rows index being calculated
    QHash<QString, Handler> m_validators;
    QHash<QString, Handler> m_changeHandlers;
};
