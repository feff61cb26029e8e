#include "dbcontrols.h"

#include "fieldlink.h"

#include <QDateTime>

DbEdit::DbEdit(Dataset &dataset, const QString &field, Prompter &prompter, QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(dataset, field, prompter, this))
{
    connect(m_link, &FieldLink::refresh, this, &DbEdit::showValue);
    connect(this, &QLineEdit::editingFinished, this, &DbEdit::writeBack);
    showValue();
}

void DbEdit::setFormat(FieldFormat format, int decimals)
{
    m_format = format;
    m_decimals = decimals;
    showValue();
}

void DbEdit::showValue()
{
    setEnabled(m_link->hasValue());
    setText(fieldformat::display(m_link->value(), m_format, m_decimals));
}

void DbEdit::writeBack()
{
    if (!isModified() || isReadOnly())
        return;
    setModified(false);
    // Leaving the box with the text as it was shown is no change.
    if (text() == fieldformat::display(m_link->value(), m_format, m_decimals))
        return;
    m_link->writeText(text(), m_format);
}

DbCheckBox::DbCheckBox(Dataset &dataset, const QString &field, Prompter &prompter,
                       const QString &text, QWidget *parent)
    : QCheckBox(text, parent), m_link(new FieldLink(dataset, field, prompter, this))
{
    connect(m_link, &FieldLink::refresh, this, &DbCheckBox::showValue);
    connect(this, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_showing)
            m_link->write(checked);
    });
    showValue();
}

void DbCheckBox::nextCheckState()
{
    if (!m_readOnly)
        QCheckBox::nextCheckState();
}

void DbCheckBox::showValue()
{
    m_showing = true;
    setEnabled(m_link->hasValue());
    setChecked(fieldformat::toBoolean(m_link->value()));
    m_showing = false;
}

DbDateEdit::DbDateEdit(Dataset &dataset, const QString &field, Prompter &prompter, QWidget *parent)
    : QDateEdit(parent), m_link(new FieldLink(dataset, field, prompter, this))
{
    setLocale(fieldformat::locale());
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    // The lowest date stands for null and shows blank.
    setMinimumDate(QDate(1900, 1, 1));
    setSpecialValueText(QStringLiteral(" "));
    connect(m_link, &FieldLink::refresh, this, &DbDateEdit::showValue);
    connect(this, &QDateEdit::dateChanged, this, &DbDateEdit::writeBack);
    showValue();
}

void DbDateEdit::showValue()
{
    m_showing = true;
    setEnabled(m_link->hasValue());
    const QDateTime value = fieldformat::toDateTime(m_link->value());
    setDate(value.isValid() ? value.date() : minimumDate());
    m_showing = false;
}

void DbDateEdit::writeBack(QDate date)
{
    if (m_showing)
        return;
    if (date == minimumDate()) {
        m_link->write(QVariant());
        return;
    }
    const QDateTime old = fieldformat::toDateTime(m_link->value());
    m_link->write(QDateTime(date, old.isValid() ? old.time() : QTime(0, 0)));
}

DbMemo::DbMemo(Dataset &dataset, const QString &field, Prompter &prompter, QWidget *parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(dataset, field, prompter, this))
{
    connect(m_link, &FieldLink::refresh, this, &DbMemo::showValue);
    showValue();
}

void DbMemo::focusOutEvent(QFocusEvent *event)
{
    if (document()->isModified() && !isReadOnly()) {
        document()->setModified(false);
        m_link->writeText(toPlainText(), FieldFormat::Text);
    }
    QPlainTextEdit::focusOutEvent(event);
}

void DbMemo::showValue()
{
    setEnabled(m_link->hasValue());
    setPlainText(fieldformat::display(m_link->value(), FieldFormat::Text));
    document()->setModified(false);
}
