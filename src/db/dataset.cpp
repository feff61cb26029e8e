#include "dataset.h"

#include "connection.h"
#include "dberror.h"
#include "transaction.h"
#include "values.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

bool isNumericType(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return v.metaType().id() == qMetaTypeId<Money>();
    }
}

double numericValue(const QVariant &v)
{
    if (v.metaType().id() == qMetaTypeId<Money>())
        return v.value<Money>().toDouble();
    return v.toDouble();
}

// Orders two field values: nulls first, numbers by value, the rest as text
// without regard to case.
int compareValues(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    if (isNumericType(a) && isNumericType(b)) {
        const double x = numericValue(a);
        const double y = numericValue(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.metaType().id() == QMetaType::QDateTime || b.metaType().id() == QMetaType::QDateTime ||
        a.metaType().id() == QMetaType::QDate || b.metaType().id() == QMetaType::QDate) {
        const QDateTime x = a.toDateTime();
        const QDateTime y = b.toDateTime();
        if (x.isValid() && y.isValid())
            return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

bool sameValue(const QVariant &a, const QVariant &b, bool caseInsensitive)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an && bn;
    if (isNumericType(a) || isNumericType(b)) {
        bool okA = true, okB = true;
        const double x = isNumericType(a) ? numericValue(a) : a.toString().toDouble(&okA);
        const double y = isNumericType(b) ? numericValue(b) : b.toString().toDouble(&okB);
        return okA && okB && x == y;
    }
    return QString::compare(a.toString(), b.toString(),
                            caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

QDateTime parseDateTime(const QString &text)
{
    static const char *const formats[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
                                          "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-ddTHH:mm:ss.zzz",
                                          "yyyy-MM-dd HH:mm",    "yyyy-MM-dd"};
    const QString t = text.trimmed();
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return {};
}

QString stripBrackets(QString name)
{
    name = name.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    return name;
}

} // namespace

Dataset::Dataset(Connection &connection, const QString &sql, QObject *parent)
    : QObject(parent), m_connection(connection)
{
    if (!sql.isEmpty())
        setSql(sql);
}

Dataset::~Dataset() = default;

void Dataset::setSql(const QString &sql)
{
    m_sql = sql;
    const QStringList names = m_connection.prepare(sql).parameterNames;
    // A rewrite of the same statement keeps the values already set.
    if (names != m_paramNames) {
        m_paramNames = names;
        m_params = QVariantList(m_paramNames.size());
    }
    if (!m_updateDeclared) {
        m_updateTable.clear();
        m_keyField.clear();
        m_keyColumn.clear();
    }
}

void Dataset::setParam(int position, const QVariant &value)
{
    if (position < 0 || position >= m_params.size())
        throw DbError::database(QStringLiteral("Parameter %1 not found").arg(position + 1));
    m_params[position] = value;
}

void Dataset::setParams(const QVariantList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        setParam(int(i), values[i]);
}

void Dataset::setUpdateTable(const QString &table, const QString &keyField,
                             const QString &keyColumn)
{
    m_updateTable = table;
    m_keyField = keyField;
    m_keyColumn = keyColumn.isEmpty() ? keyField : keyColumn;
    m_updateDeclared = true;
}

QString Dataset::updateTable() const
{
    const_cast<Dataset *>(this)->resolveUpdateTable();
    return m_updateTable;
}

void Dataset::resolveUpdateTable()
{
    if (m_updateDeclared || !m_updateTable.isEmpty())
        return;
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\b.*?\\bfrom\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(m_sql);
    if (!m.hasMatch())
        return;
    static const QRegularExpression multi(QStringLiteral("^\\s*,|\\b(join|union)\\b|\\bfrom\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (multi.match(m.captured(2)).hasMatch())
        return;
    if (!hasField(QStringLiteral("id")))
        return;
    m_updateTable = m.captured(1);
    m_keyField = QStringLiteral("id");
    m_keyColumn = QStringLiteral("id");
}

void Dataset::addCalculatedField(const QString &name)
{
    m_calcFields << name;
}

void Dataset::invalidateCalculatedFields()
{
    for (Row &r : m_rows)
        r.calculated = false;
    if (isOpen())
        Q_EMIT reset();
}

Dataset::Row Dataset::makeRow()
{
    Row r;
    r.values = QVariantList(m_fields.size());
    r.serial = m_nextSerial++;
    return r;
}

void Dataset::load()
{
    m_connection.read(m_sql, m_params, [this](QSqlQuery &q) { readRows(q); });
}

void Dataset::readRows(QSqlQuery &q)
{
    const QSqlRecord rec = q.record();
    m_fields.clear();
    m_fieldIndex.clear();
    for (int i = 0; i < rec.count(); ++i)
        m_fields << rec.fieldName(i);
    m_queryFieldCount = int(m_fields.size());
    for (const QString &c : std::as_const(m_calcFields))
        m_fields << c;
    for (int i = 0; i < m_fields.size(); ++i) {
        const QString key = m_fields[i].toLower();
        if (!m_fieldIndex.contains(key))
            m_fieldIndex.insert(key, i);
    }
    m_rows.clear();
    const int columns = m_queryFieldCount;
    const int total = int(m_fields.size());
    while (q.next()) {
        Row r;
        r.serial = m_nextSerial++;
        r.values.reserve(total);
        for (int i = 0; i < columns; ++i)
            r.values.append(q.value(i));
        for (int i = columns; i < total; ++i)
            r.values.append(QVariant());
        m_rows.push_back(std::move(r));
    }
}

void Dataset::rebuildView(quint64 keepSerial)
{
    m_view.clear();
    m_view.reserve(m_rows.size());
    const bool filtering = m_filtered && !m_filterExpr.isEmpty();
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const Row &r = m_rows[i];
        if (r.deleted)
            continue;
        if (filtering) {
            bool match = false;
            try {
                match = m_filterExpr.matches([&](const QString &field) {
                    const int idx = fieldIndex(field);
                    if (idx < 0)
                        return QVariant();
                    ensureCalculated(i);
                    const QVariant v = m_rows[i].values[idx];
                    // A null field must stay distinguishable from an unknown one.
                    return v.isValid() ? v : QVariant(QMetaType::fromType<QString>());
                });
            } catch (const FilterSyntaxError &e) {
                throw DbError::database(QString::fromUtf8(e.what()));
            }
            if (!match)
                continue;
        }
        m_view.push_back(i);
    }
    if (!m_sortKeys.empty()) {
        std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) {
            for (const SortKey &k : m_sortKeys) {
                ensureCalculated(a);
                ensureCalculated(b);
                const int c = compareValues(m_rows[a].values[k.field], m_rows[b].values[k.field]);
                if (c != 0)
                    return k.descending ? c > 0 : c < 0;
            }
            return false;
        });
    }
    m_current = m_view.empty() ? -1 : 0;
    if (keepSerial != 0) {
        for (int p = 0; p < int(m_view.size()); ++p) {
            if (m_rows[m_view[p]].serial == keepSerial) {
                m_current = p;
                break;
            }
        }
    }
    m_bof = true;
    m_eof = m_view.empty();
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    Q_EMIT stateChanged();
}

void Dataset::open()
{
    if (isOpen())
        return;
    load();
    rebuildView(0);
    setState(State::Browse);
    Q_EMIT reset();
    if (afterOpen)
        afterOpen(*this);
    afterMove();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    m_state = State::Browse; // an unfinished edit is dropped
    m_insertedRow = -1;
    m_rows.clear();
    m_view.clear();
    m_current = -1;
    m_bof = m_eof = true;
    setState(State::Inactive);
    Q_EMIT reset();
    if (afterClose)
        afterClose(*this);
}

void Dataset::requery()
{
    if (!isOpen()) {
        open();
        return;
    }
    checkBrowseMode();
    load();
    rebuildView(0);
    Q_EMIT reset();
    afterMove();
}

void Dataset::requeryKeepingPosition()
{
    if (!isOpen()) {
        open();
        return;
    }
    checkBrowseMode();
    const QVariant key = hasActiveRow() ? rowKey(activeRow()) : QVariant();
    load();
    rebuildView(0);
    if (key.isValid() && !key.isNull()) {
        const int keyIndex = fieldIndex(m_keyField);
        for (int p = 0; p < int(m_view.size()); ++p) {
            if (sameValue(m_rows[m_view[p]].values[keyIndex], key, false)) {
                m_current = p;
                m_bof = p == 0;
                break;
            }
        }
    }
    Q_EMIT reset();
    afterMove();
}

void Dataset::afterMove()
{
    Q_EMIT currentChanged(m_current);
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::checkBrowseMode()
{
    if (!isOpen())
        throw DbError::database(
            QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (isEditing())
        post();
}

void Dataset::first()
{
    checkBrowseMode();
    m_current = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    afterMove();
}

void Dataset::last()
{
    checkBrowseMode();
    m_current = int(m_view.size()) - 1;
    m_eof = true;
    m_bof = m_view.empty();
    afterMove();
}

void Dataset::next()
{
    checkBrowseMode();
    if (m_current + 1 < int(m_view.size())) {
        ++m_current;
        m_bof = m_eof = false;
        afterMove();
    } else {
        m_eof = true;
    }
}

void Dataset::prior()
{
    checkBrowseMode();
    if (m_current > 0) {
        --m_current;
        m_bof = m_eof = false;
        afterMove();
    } else {
        m_bof = true;
    }
}

bool Dataset::moveTo(int position)
{
    if (position < 0 || position >= int(m_view.size()))
        return false;
    checkBrowseMode();
    m_current = position;
    m_bof = m_eof = false;
    afterMove();
    return true;
}

bool Dataset::locate(const QString &field, const QVariant &value, bool caseInsensitive)
{
    const int idx = requireField(field);
    checkBrowseMode();
    for (int p = 0; p < int(m_view.size()); ++p) {
        ensureCalculated(m_view[p]);
        if (sameValue(m_rows[m_view[p]].values[idx], value, caseInsensitive)) {
            m_current = p;
            m_bof = m_eof = false;
            afterMove();
            return true;
        }
    }
    return false;
}

QVariant Dataset::rowKey(const Row &row) const
{
    const_cast<Dataset *>(this)->resolveUpdateTable();
    if (m_keyField.isEmpty())
        return {};
    const int idx = fieldIndex(m_keyField);
    return idx >= 0 ? row.values[idx] : QVariant();
}

Dataset::Bookmark Dataset::bookmark() const
{
    if (!hasActiveRow() || m_state == State::Insert)
        return {};
    const Row &r = m_rows[m_view[m_current]];
    return Bookmark{r.serial, rowKey(r)};
}

bool Dataset::gotoBookmark(const Bookmark &bookmark)
{
    if (!bookmark.isValid() || !isOpen())
        return false;
    int found = -1;
    for (int p = 0; p < int(m_view.size()) && found < 0; ++p) {
        if (m_rows[m_view[p]].serial == bookmark.serial)
            found = p;
    }
    if (found < 0 && bookmark.key.isValid() && !bookmark.key.isNull()) {
        const int keyIndex = fieldIndex(m_keyField);
        for (int p = 0; keyIndex >= 0 && p < int(m_view.size()) && found < 0; ++p) {
            if (sameValue(m_rows[m_view[p]].values[keyIndex], bookmark.key, false))
                found = p;
        }
    }
    if (found < 0)
        return false;
    checkBrowseMode();
    m_current = found;
    m_bof = m_eof = false;
    afterMove();
    return true;
}

int Dataset::fieldIndex(const QString &name) const
{
    return m_fieldIndex.value(stripBrackets(name).toLower(), -1);
}

int Dataset::requireField(const QString &name) const
{
    const int idx = fieldIndex(name);
    if (idx < 0) {
        const QString where = objectName().isEmpty() ? QStringLiteral("dataset") : objectName();
        throw DbError::database(where + QStringLiteral(": Field '") + name +
                                QStringLiteral("' not found"));
    }
    return idx;
}

bool Dataset::hasActiveRow() const
{
    return m_calcRow >= 0 || (m_current >= 0 && m_current < int(m_view.size()));
}

Dataset::Row &Dataset::activeRow()
{
    if (m_calcRow >= 0)
        return m_rows[m_calcRow];
    if (isEditing())
        return m_editBuffer;
    return m_rows[m_view[m_current]];
}

const Dataset::Row &Dataset::activeRow() const
{
    return const_cast<Dataset *>(this)->activeRow();
}

void Dataset::ensureCalculated(int rowIndex) const
{
    Row &r = const_cast<Row &>(m_rows[rowIndex]);
    if (r.calculated || m_calcFields.isEmpty() || !onCalcFields)
        return;
    r.calculated = true;
    auto *self = const_cast<Dataset *>(this);
    const int saved = m_calcRow;
    m_calcRow = rowIndex;
    try {
        self->onCalcFields(*self);
    } catch (...) {
        m_calcRow = saved;
        throw;
    }
    m_calcRow = saved;
}

QVariant Dataset::value(int index) const
{
    if (!hasActiveRow())
        return {};
    if (m_calcRow < 0 && !isEditing() && index >= m_queryFieldCount)
        ensureCalculated(m_view[m_current]);
    const Row &r = activeRow();
    return index >= 0 && index < r.values.size() ? r.values[index] : QVariant();
}

QVariant Dataset::value(const QString &name) const
{
    return value(requireField(name));
}

QVariant Dataset::valueAt(int position, int index) const
{
    if (position < 0 || position >= int(m_view.size()) || index < 0 || index >= m_fields.size())
        return {};
    if (position == m_current && isEditing())
        return m_editBuffer.values[index];
    ensureCalculated(m_view[position]);
    return m_rows[m_view[position]].values[index];
}

bool Dataset::isNull(const QString &name) const
{
    const QVariant v = value(name);
    return !v.isValid() || v.isNull();
}

QString Dataset::asString(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        if (v.metaType().id() == qMetaTypeId<Money>())
            return v.value<Money>().toString();
        return v.toString();
    }
}

qint64 Dataset::asInteger(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.metaType().id() == qMetaTypeId<Money>())
        return v.value<Money>().rounded(0).units() / Money::Scale;
    if (v.metaType().id() == QMetaType::Double)
        return qRound64(v.toDouble());
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok) {
        const QString text = v.toString().trimmed();
        const qint64 fromText = text.toLongLong(&ok);
        if (!ok)
            throw DbError::conversion(u'\'' + text +
                                      QStringLiteral("' is not a valid integer value"));
        return fromText;
    }
    return n;
}

double Dataset::asFloat(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.metaType().id() == qMetaTypeId<Money>())
        return v.value<Money>().toDouble();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw DbError::conversion(u'\'' + v.toString() +
                                  QStringLiteral("' is not a valid floating point value"));
    return d;
}

Money Dataset::asMoney(const QString &name) const
{
    return moneyFromValue(value(name));
}

QDateTime Dataset::asDateTime(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().startOfDay();
    const QString text = v.toString();
    const QDateTime dt = parseDateTime(text);
    if (!dt.isValid())
        throw DbError::conversion(u'\'' + text + QStringLiteral("' is not a valid date and time"));
    return dt;
}

QDate Dataset::asDate(const QString &name) const
{
    return asDateTime(name).date();
}

bool Dataset::asBoolean(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return false;
    if (v.metaType().id() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toLower();
        if (t == QLatin1String("true"))
            return true;
        if (t == QLatin1String("false") || t.isEmpty())
            return false;
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok)
            throw DbError::conversion(u'\'' + v.toString() +
                                      QStringLiteral("' is not a valid boolean value"));
        return d != 0;
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    return numericValue(v) != 0;
}

QByteArray Dataset::asBytes(const QString &name) const
{
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toUtf8();
}

void Dataset::setValue(const QString &name, const QVariant &value)
{
    const int idx = requireField(name);
    if (m_calcRow >= 0) {
        if (idx < m_queryFieldCount)
            throw DbError::database(QStringLiteral("Field '") + name +
                                    QStringLiteral("' cannot be modified while calculating"));
        m_rows[m_calcRow].values[idx] = value;
        return;
    }
    if (!isEditing())
        throw DbError::database(QStringLiteral("Dataset not in edit or insert mode"));
    const QString key = m_fields[idx].toLower();
    const QVariant old = m_editBuffer.values[idx];
    m_editBuffer.values[idx] = value;
    const bool wasModified = m_modified[idx];
    m_modified[idx] = true;
    if (const auto v = m_validators.constFind(key); v != m_validators.cend() && *v) {
        try {
            (*v)(*this);
        } catch (...) {
            m_editBuffer.values[idx] = old;
            m_modified[idx] = wasModified;
            throw;
        }
    }
    if (const auto c = m_changeHandlers.constFind(key); c != m_changeHandlers.cend() && *c)
        (*c)(*this);
    Q_EMIT rowChanged(m_current);
}

void Dataset::setFieldValidator(const QString &field, Handler handler)
{
    m_validators.insert(field.toLower(), std::move(handler));
}

void Dataset::setFieldChange(const QString &field, Handler handler)
{
    m_changeHandlers.insert(field.toLower(), std::move(handler));
}

void Dataset::edit()
{
    if (isEditing())
        return;
    if (!isOpen())
        throw DbError::database(
            QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (m_view.empty())
        throw DbError::database(
            QStringLiteral("Cannot perform this operation on an empty dataset"));
    m_editBuffer = m_rows[m_view[m_current]];
    m_modified.assign(m_fields.size(), false);
    setState(State::Edit);
    if (afterEdit)
        afterEdit(*this);
}

void Dataset::insert()
{
    checkBrowseMode();
    beginInsert(m_current < 0 ? 0 : m_current);
}

void Dataset::append()
{
    checkBrowseMode();
    beginInsert(int(m_view.size()));
}

void Dataset::beginInsert(int position)
{
    Row r = makeRow();
    m_rows.push_back(r);
    m_insertedRow = int(m_rows.size()) - 1;
    m_view.insert(m_view.begin() + position, m_insertedRow);
    m_current = position;
    m_bof = m_eof = false;
    m_editBuffer = r;
    m_modified.assign(m_fields.size(), false);
    setState(State::Insert);
    Q_EMIT rowInserted(position);
    try {
        if (onNewRecord)
            onNewRecord(*this);
        if (afterInsert)
            afterInsert(*this);
    } catch (...) {
        // A rule that refuses the new row takes it away again.
        if (m_state == State::Insert)
            cancel();
        throw;
    }
    afterMove();
}

void Dataset::post()
{
    if (!isEditing())
        throw DbError::database(QStringLiteral("Dataset not in edit or insert mode"));
    // The row and whatever the post rules write go together or not at all.
    const bool inserting = m_state == State::Insert;
    const int rowIndex = inserting ? m_insertedRow : m_view[m_current];
    const Row bufferBefore = m_editBuffer;
    const Row rowBefore = m_rows[rowIndex];
    Transaction t(m_connection);
    try {
        if (beforePost)
            beforePost(*this);
        if (inserting)
            writeInsert(m_editBuffer);
        else
            writeUpdate(m_editBuffer);
    } catch (...) {
        m_editBuffer = bufferBefore;
        throw;
    }
    m_editBuffer.calculated = false;
    m_rows[rowIndex] = m_editBuffer;
    m_insertedRow = -1;
    m_lastPostInserted = inserting;
    setState(State::Browse);
    try {
        if (afterPost)
            afterPost(*this);
        t.commit();
    } catch (...) {
        // The database is back as it was; so is the row, still being edited.
        if (isOpen() && rowIndex < int(m_rows.size()) &&
            m_rows[rowIndex].serial == rowBefore.serial) {
            m_rows[rowIndex] = rowBefore;
            m_editBuffer = bufferBefore;
            m_insertedRow = inserting ? rowIndex : -1;
            setState(inserting ? State::Insert : State::Edit);
        }
        throw;
    }
    Q_EMIT rowChanged(m_current);
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    const bool wasInsert = m_state == State::Insert;
    if (wasInsert) {
        m_rows[m_insertedRow].deleted = true;
        const int position = m_current;
        m_view.erase(m_view.begin() + position);
        m_insertedRow = -1;
        if (m_current >= int(m_view.size()))
            m_current = int(m_view.size()) - 1;
        m_eof = m_bof = m_view.empty();
        setState(State::Browse);
        Q_EMIT rowRemoved(position);
    } else {
        setState(State::Browse);
        Q_EMIT rowChanged(m_current);
    }
    if (afterCancel)
        afterCancel(*this);
    if (wasInsert)
        afterMove();
}

bool Dataset::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (!isOpen() || m_view.empty())
        throw DbError::database(
            QStringLiteral("Cannot perform this operation on an empty dataset"));
    // The row and the rows its delete rules remove go together or not at all.
    Transaction t(m_connection);
    if (beforeDelete && !beforeDelete(*this))
        return false;
    if (m_state == State::Edit)
        setState(State::Browse);
    resolveUpdateTable();
    if (m_updateTable.isEmpty())
        throw DbError::database(QStringLiteral("Dataset is read-only: ") + m_sql.simplified());
    Row &row = m_rows[m_view[m_current]];
    const QVariant key = rowKey(row);
    m_connection.exec(QStringLiteral("DELETE FROM ") + m_updateTable + QStringLiteral(" WHERE ") +
                          m_keyColumn + QStringLiteral("=:key"),
                      {key});
    t.commit();
    row.deleted = true;
    const int position = m_current;
    m_view.erase(m_view.begin() + position);
    if (m_current >= int(m_view.size()))
        m_current = int(m_view.size()) - 1;
    m_eof = m_bof = m_view.empty();
    Q_EMIT rowRemoved(position);
    if (afterDelete)
        afterDelete(*this);
    afterMove();
    return true;
}

void Dataset::writeInsert(Row &row)
{
    resolveUpdateTable();
    if (m_updateTable.isEmpty())
        throw DbError::database(QStringLiteral("Dataset is read-only: ") + m_sql.simplified());
    const QStringList tableColumns = m_connection.tableColumns(m_updateTable);
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < m_queryFieldCount; ++i) {
        if (!m_modified[i])
            continue;
        QString column = m_fields[i];
        if (column.compare(m_keyField, Qt::CaseInsensitive) == 0)
            column = m_keyColumn;
        if (!tableColumns.contains(column, Qt::CaseInsensitive))
            throw DbError::database(QStringLiteral("Field '") + m_fields[i] +
                                    QStringLiteral("' is not a column of ") + m_updateTable);
        columns << column;
        values << row.values[i];
    }
    const qint64 id = m_connection.insert(m_updateTable, columns, values, m_keyColumn);

    // Read the stored row back so that defaults and the key show.
    QSqlQuery q =
        m_connection.run(QStringLiteral("SELECT * FROM ") + m_updateTable +
                             QStringLiteral(" WHERE ") + m_keyColumn + QStringLiteral("=:key"),
                         {id});
    if (q.next()) {
        const QSqlRecord rec = q.record();
        for (int c = 0; c < rec.count(); ++c) {
            const int idx = fieldIndex(rec.fieldName(c));
            if (idx >= 0 && idx < m_queryFieldCount)
                row.values[idx] = q.value(c);
        }
    }
    q.finish();
    const int keyIndex = fieldIndex(m_keyField);
    if (keyIndex >= 0)
        row.values[keyIndex] = id;
}

void Dataset::writeUpdate(const Row &row)
{
    QStringList assignments;
    QVariantList values;
    bool any = false;
    for (int i = 0; i < m_queryFieldCount; ++i)
        any = any || m_modified[i];
    if (!any)
        return;
    resolveUpdateTable();
    if (m_updateTable.isEmpty())
        throw DbError::database(QStringLiteral("Dataset is read-only: ") + m_sql.simplified());
    const QStringList tableColumns = m_connection.tableColumns(m_updateTable);
    for (int i = 0; i < m_queryFieldCount; ++i) {
        if (!m_modified[i])
            continue;
        QString column = m_fields[i];
        if (column.compare(m_keyField, Qt::CaseInsensitive) == 0)
            column = m_keyColumn;
        if (!tableColumns.contains(column, Qt::CaseInsensitive))
            throw DbError::database(QStringLiteral("Field '") + m_fields[i] +
                                    QStringLiteral("' is not a column of ") + m_updateTable);
        assignments << column + QStringLiteral("=:v%1").arg(values.size());
        values << row.values[i];
    }
    values << rowKey(m_rows[m_view[m_current]]);
    const int affected =
        m_connection.exec(QStringLiteral("UPDATE ") + m_updateTable + QStringLiteral(" SET ") +
                              assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                              m_keyColumn + QStringLiteral("=:key"),
                          values);
    if (affected == 0)
        throw DbError::database(
            QStringLiteral("Row cannot be located for updating. Some values may "
                           "have been changed since it was last read."));
}

void Dataset::setFilter(const QString &expression)
{
    try {
        m_filterExpr = FilterExpr::parse(expression);
    } catch (const FilterSyntaxError &e) {
        throw DbError::database(QString::fromUtf8(e.what()));
    }
    m_filterText = expression;
    if (m_filtered && isOpen()) {
        checkBrowseMode();
        rebuildView(0);
        Q_EMIT reset();
        afterMove();
    }
}

void Dataset::setFiltered(bool on)
{
    if (m_filtered == on)
        return;
    m_filtered = on;
    if (isOpen()) {
        checkBrowseMode();
        rebuildView(0);
        Q_EMIT reset();
        afterMove();
    }
}

void Dataset::setSort(const QString &orderText)
{
    std::vector<SortKey> keys;
    const QStringList parts = orderText.split(u',', Qt::SkipEmptyParts);
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_]*)\\s*(asc|desc)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = re.match(part);
        if (!m.hasMatch())
            throw DbError::database(QStringLiteral("Invalid sort order: ") + orderText);
        keys.push_back({requireField(m.captured(1)),
                        m.captured(2).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0});
    }
    m_sortKeys = std::move(keys);
    m_sortText = orderText;
    if (isOpen()) {
        checkBrowseMode();
        const quint64 keep = m_current >= 0 ? m_rows[m_view[m_current]].serial : 0;
        rebuildView(keep);
        Q_EMIT reset();
        afterMove();
    }
}

bool Dataset::fieldModified(const QString &name) const
{
    const int idx = requireField(name);
    return isEditing() && idx < int(m_modified.size()) && m_modified[idx];
}
