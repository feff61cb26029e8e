#pragma once

#include <QDialog>

class Dataset;
class DbGrid;
class DbMemo;
class DbNavigator;
class Prompter;
class Tdm;

// The program's name, version and history of versions.
class TFrmDespre : public QDialog
{
    Q_OBJECT

public:
    TFrmDespre(Tdm &dm, Prompter &prompter, QWidget *parent = nullptr);
    ~TFrmDespre() override;

    DbGrid *historyGrid() const { return m_grid; }
    DbNavigator *navigator() const { return m_navigator; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Dataset *m_history;
    DbGrid *m_grid;
    DbMemo *m_description;
    DbNavigator *m_navigator;
};
