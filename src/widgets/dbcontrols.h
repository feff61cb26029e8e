#pragma once

#include "fieldformat.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

class Dataset;
class FieldLink;
class Prompter;

// Controls bound to a field of a dataset's current row. Each shows the
// value and follows moves, edits, resets and closes; it is empty and
// disabled while the dataset is closed, empty or without the field (so the
// binding owns the enabled state: use setReadOnly to lock one). A change
// made by the user puts the dataset into edit mode and writes the field;
// a refused write is shown through the prompter and the control shows the
// row's value again.

// A one-line text; writes when editing finishes (Enter or leaving it).
class DbEdit : public QLineEdit
{
    Q_OBJECT

public:
    DbEdit(Dataset &dataset, const QString &field, Prompter &prompter, QWidget *parent = nullptr);

    // How the value is shown and read back: needed for amounts and flags,
    // and for numbers whose value may be null.
    void setFormat(FieldFormat format, int decimals = -1);

private:
    void showValue();
    void writeBack();

    FieldLink *m_link;
    FieldFormat m_format = FieldFormat::Auto;
    int m_decimals = -1;
};

// A flag; writes true or false as it is toggled.
class DbCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    DbCheckBox(Dataset &dataset, const QString &field, Prompter &prompter, const QString &text = {},
               QWidget *parent = nullptr);

    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

protected:
    void nextCheckState() override;

private:
    void showValue();

    FieldLink *m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};

// A date, dd.MM.yyyy, with a calendar; writes on every change and keeps the
// time of day the field held. A null date shows blank.
class DbDateEdit : public QDateEdit
{
    Q_OBJECT

public:
    DbDateEdit(Dataset &dataset, const QString &field, Prompter &prompter,
               QWidget *parent = nullptr);

private:
    void showValue();
    void writeBack(QDate date);

    FieldLink *m_link;
    bool m_showing = false;
};

// Several lines of text; writes when it loses the focus.
class DbMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    DbMemo(Dataset &dataset, const QString &field, Prompter &prompter, QWidget *parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showValue();

    FieldLink *m_link;
};
