#include "messageboxprompter.h"

#include <QApplication>
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
