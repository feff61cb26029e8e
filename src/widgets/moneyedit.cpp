#include "moneyedit.h"

#include "core/prompter.h"
#include "data/util.h"
#include "fieldformat.h"
#include "fieldlink.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QValidator>

namespace {

bool amountShape(const QString &text, bool allowNegative)
{
    static const QRegularExpression positive(QStringLiteral("^[0-9]*,?[0-9]*$"));
    static const QRegularExpression any(QStringLiteral("^-?[0-9]*,?[0-9]*$"));
    return (allowNegative ? any : positive).match(text).hasMatch();
}

// Holds pasted text to the shape of an amount, reading "." as ",".
class AmountValidator : public QValidator
{
public:
    explicit AmountValidator(MoneyEdit *edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString &input, int &) const override
    {
        input.replace(u'.', u',');
        return amountShape(input, m_edit->allowNegative()) ? Acceptable : Invalid;
    }

private:
    const MoneyEdit *m_edit;
};

} // namespace

MoneyEdit::MoneyEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new AmountValidator(this));
    setAlignment(Qt::AlignRight);
}

void MoneyEdit::setAllowNegative(bool allow)
{
    m_allowNegative = allow;
    if (!allow && text().startsWith(u'-'))
        setText(text().mid(1));
}

std::optional<Money> MoneyEdit::value() const
{
    return fieldformat::parseMoney(text());
}

void MoneyEdit::setValue(Money amount, int decimals)
{
    setText(fieldformat::moneyText(amount, decimals));
}

void MoneyEdit::bind(Dataset &dataset, const QString &field, Prompter &prompter, int decimals)
{
    delete m_link;
    m_prompter = &prompter;
    m_decimals = decimals;
    m_link = new FieldLink(dataset, field, prompter, this);
    connect(m_link, &FieldLink::refresh, this, &MoneyEdit::showValue);
    connect(this, &QLineEdit::editingFinished, m_link, [this] { writeBack(); });
    showValue();
}

void MoneyEdit::showValue()
{
    setEnabled(m_link->hasValue());
    const std::optional<Money> amount = fieldformat::toMoney(m_link->value());
    setText(amount ? fieldformat::moneyText(*amount, m_decimals) : QString());
}

void MoneyEdit::writeBack()
{
    if (!isModified() || isReadOnly())
        return;
    setModified(false);
    const std::optional<Money> amount = value();
    if (amount == fieldformat::toMoney(m_link->value()))
        return;
    m_link->write(amount ? QVariant::fromValue(*amount) : QVariant());
}

bool MoneyEdit::accepts(const QString &inserted) const
{
    QString result = text();
    int at = cursorPosition();
    if (hasSelectedText()) {
        at = selectionStart();
        result.remove(at, selectedText().size());
    }
    result.insert(at, inserted);
    return amountShape(result, m_allowNegative);
}

void MoneyEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Editing keys, shortcuts and the like keep their usual meaning.
    if (typed.isEmpty() || !typed.at(0).isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString key = normaliseDecimalKey(typed, u',');
    const bool digit = key.size() == 1 && key[0] >= u'0' && key[0] <= u'9';
    const bool allowed =
        digit || key == QLatin1String(",") || (m_allowNegative && key == QLatin1String("-"));
    event->accept();
    if (!allowed) {
        if (m_prompter)
            m_prompter->information(QStringLiteral("Folositi doar cifre"));
        return;
    }
    // A second comma or a minus after the first digit has no place.
    if (!accepts(key))
        return;
    if (key != typed)
        insert(key);
    else
        QLineEdit::keyPressEvent(event);
}
