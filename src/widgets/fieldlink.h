#pragma once

#include "fieldformat.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>

class Dataset;
class Prompter;

// Runs a user's action on data and shows what it throws through the
// prompter: a DbError as its display text, a SilentAbort as nothing (its
// message was shown already). False when the action failed.
bool runShowingErrors(Prompter *prompter, const std::function<void()> &action);

// Ties a control to one field of a dataset's current row: tells the control
// when to show the value again (moves, edits, posts, resets, the dataset
// closing or going away) and writes what the user changed, putting the
// dataset into edit mode first.
class FieldLink : public QObject
{
    Q_OBJECT

public:
    FieldLink(Dataset &dataset, const QString &field, Prompter &prompter, QObject *parent);

    // Whether there is a value to show: the dataset is open, has a current
    // row and has the field.
    bool hasValue() const;
    // The current row's value; null without one.
    QVariant value() const;

    // Writes the value; shows the error and asks the control to show the
    // row's value again when refused. False when refused.
    bool write(const QVariant &value);
    // Writes text typed by the user, read with `format`.
    bool writeText(const QString &text, FieldFormat format);

Q_SIGNALS:
    // The control must show the current value again.
    void refresh();

private:
    bool writeWith(const std::function<QVariant()> &value);

    QPointer<Dataset> m_dataset;
    QString m_field;
    Prompter *m_prompter;
};
