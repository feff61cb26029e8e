#include "fieldlink.h"

#include "core/prompter.h"
#include "db/dataset.h"
#include "db/dberror.h"

bool runShowingErrors(Prompter *prompter, const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const SilentAbort &) {
        return false;
    } catch (const std::exception &e) {
        if (prompter)
            prompter->error(errorDisplayText(e));
        return false;
    }
}

FieldLink::FieldLink(Dataset &dataset, const QString &field, Prompter &prompter, QObject *parent)
    : QObject(parent), m_dataset(&dataset), m_field(field), m_prompter(&prompter)
{
    connect(&dataset, &Dataset::reset, this, &FieldLink::refresh);
    connect(&dataset, &Dataset::currentChanged, this, &FieldLink::refresh);
    connect(&dataset, &Dataset::rowChanged, this, &FieldLink::refresh);
    connect(&dataset, &Dataset::rowInserted, this, &FieldLink::refresh);
    connect(&dataset, &Dataset::rowRemoved, this, &FieldLink::refresh);
    connect(&dataset, &QObject::destroyed, this, [this] {
        m_dataset = nullptr;
        Q_EMIT refresh();
    });
}

bool FieldLink::hasValue() const
{
    return m_dataset && m_dataset->isOpen() && m_dataset->recNo() >= 0 &&
           m_dataset->hasField(m_field);
}

QVariant FieldLink::value() const
{
    if (!hasValue())
        return {};
    try {
        return m_dataset->value(m_field);
    } catch (const std::exception &) {
        // A calculated field that cannot be computed shows as empty.
        return {};
    }
}

bool FieldLink::write(const QVariant &value)
{
    return writeWith([&] { return value; });
}

bool FieldLink::writeText(const QString &text, FieldFormat format)
{
    return writeWith([&] { return fieldformat::parse(text, value(), format); });
}

bool FieldLink::writeWith(const std::function<QVariant()> &value)
{
    if (!hasValue())
        return false;
    Dataset &ds = *m_dataset;
    const bool written = runShowingErrors(m_prompter, [&] {
        const QVariant v = value();
        if (!ds.isEditing())
            ds.edit();
        ds.setValue(m_field, v);
    });
    if (!written)
        Q_EMIT refresh();
    return written;
}
