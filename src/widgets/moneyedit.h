#pragma once

#include "core/money.h"

#include <QLineEdit>

#include <optional>

class Dataset;
class FieldLink;
class Prompter;

// An amount box: digits, one decimal comma (a typed "." becomes ",") and,
// when allowed, a leading minus. Any other character is refused with
// "Folositi doar cifre" through the prompter; pasted text is held to the
// same shape. No grouping.
class MoneyEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MoneyEdit(QWidget *parent = nullptr);

    // Where the refusal message goes; without one a key is just refused.
    void setPrompter(Prompter &prompter) { m_prompter = &prompter; }
    void setAllowNegative(bool allow);
    bool allowNegative() const { return m_allowNegative; }

    // The amount typed; nullopt when the box holds none.
    std::optional<Money> value() const;
    void setValue(Money amount, int decimals = 2);

    // Binds the box to a field, like DbEdit: shows the current row's amount
    // with `decimals` decimals and writes the amount typed (null when
    // cleared) when editing finishes.
    void bind(Dataset &dataset, const QString &field, Prompter &prompter, int decimals = 2);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool accepts(const QString &inserted) const;
    void showValue();
    void writeBack();

    Prompter *m_prompter = nullptr;
    bool m_allowNegative = false;
    FieldLink *m_link = nullptr;
    int m_decimals = 2;
};
