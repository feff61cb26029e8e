#pragma once

#include <QFlags>
#include <QPointer>
#include <QWidget>

#include <array>

class Dataset;
class Prompter;
class QToolButton;

// A row of buttons that move through a dataset and edit it. Buttons are
// enabled by the dataset's state: moves where there is somewhere to go,
// post and cancel only while editing. Delete asks first. Errors go to the
// prompter. The buttons take the focus when clicked, so that an edit being
// typed is written before the button acts.
class DbNavigator : public QWidget
{
    Q_OBJECT

public:
    enum Button
    {
        First = 0x1,
        Prior = 0x2,
        Next = 0x4,
        Last = 0x8,
        Insert = 0x10, // appends a row
        Delete = 0x20,
        Edit = 0x40,
        Post = 0x80,
        Cancel = 0x100,
        Refresh = 0x200, // requeries, staying on the same row
        AllButtons = 0x3ff,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    DbNavigator(Dataset &dataset, Prompter &prompter, QWidget *parent = nullptr);

    // Which buttons show; all by default.
    void setVisibleButtons(Buttons buttons);
    QToolButton *button(Button which) const;

private:
    void run(Button which);
    void updateButtons();

    static constexpr int ButtonCount = 10;
    QPointer<Dataset> m_dataset;
    Prompter *m_prompter;
    std::array<QToolButton *, ButtonCount> m_buttons{};
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DbNavigator::Buttons)
