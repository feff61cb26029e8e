#include "mainwindow.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Tarabix-5-"));
    auto *date = new QLabel(QLocale().toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy")));
    statusBar()->addWidget(date);
    resize(1024, 700);
}
