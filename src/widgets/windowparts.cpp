#include "windowparts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

void closeWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

QWidget *scrollable(QWidget *page)
{
    auto *area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

QPushButton *layOutPagesWithExit(QWidget *window, QTabWidget *pages)
{
    auto *exit = new QPushButton(QStringLiteral("Iesire"));
    QObject::connect(exit, &QPushButton::clicked, window, [window] { closeWindow(window); });
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(pages);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(exit);
    layout->addLayout(bottom);
    return exit;
}
