#include "messageboxprompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

void MessageBoxPrompter::information(const QString &text)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), text);
}

void MessageBoxPrompter::error(const QString &text)
{
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(), text);
}

namespace {

// A question whose buttons speak the user's language.
bool ask(QWidget *parent, const QString &text, QMessageBox::StandardButton yes,
         const QString &yesText, QMessageBox::StandardButton no, const QString &noText)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, yes | no,
                    parent);
    box.button(yes)->setText(yesText);
    box.button(no)->setText(noText);
    box.setDefaultButton(yes);
    return box.exec() == yes;
}

} // namespace

bool MessageBoxPrompter::confirm(const QString &text)
{
    return ask(m_parent, text, QMessageBox::Yes, QStringLiteral("Da"), QMessageBox::No,
               QStringLiteral("Nu"));
}

bool MessageBoxPrompter::confirmOkCancel(const QString &text)
{
    return ask(m_parent, text, QMessageBox::Ok, QStringLiteral("OK"), QMessageBox::Cancel,
               QStringLiteral("Renunta"));
}

std::optional<QString> MessageBoxPrompter::input(const QString &title, const QString &label, const QString &value)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Renunta"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
