#pragma once

#include <QMainWindow>

// The frame every window of the program opens in.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
};
