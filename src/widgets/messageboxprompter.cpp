#include "messageboxprompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

void MessageBoxPrompter::information(const QString &text)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), text);
}

void MessageBoxPrompter::error(const QString &text)
{
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(), text);
}

bool MessageBoxPrompter::confirm(const QString &text)
{
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

bool MessageBoxPrompter::confirmOkCancel(const QString &text)
{
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

std::optional<QString> MessageBoxPrompter::input(const QString &title, const QString &label, const QString &value)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, label, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
