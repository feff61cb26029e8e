#pragma once

#include <QWidget>

class DbGrid;
class DbNavigator;
class QLabel;
class QLineEdit;
class QPushButton;
class Prompter;
class Tdm;
class TfrmMain;

// The login: a company, one of its active employees and that employee's
// password. It cannot be closed but by a matching password or Cancel.
class TfrmPwd : public QWidget
{
    Q_OBJECT

public:
    TfrmPwd(Tdm &dm, Prompter &prompter, TfrmMain &frame, QWidget *parent = nullptr);

    // The window is shown: the employees of the current company, the focus
    // in the password.
    void activate();

    QLineEdit *passwordEdit() const { return m_password; }
    DbGrid *employeeGrid() const { return m_employees; }
    DbNavigator *companyNavigator() const { return m_companies; }
    QLineEdit *companyName() const { return m_company; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }
    bool loggedIn() const { return m_loggedIn; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void btConfirmaClick();
    void btCancelClick();
    void showCompany();

    Tdm &m_dm;
    Prompter &m_prompter;
    TfrmMain &m_frame;
    QLineEdit *m_company;
    DbNavigator *m_companies;
    DbGrid *m_employees;
    QLineEdit *m_password;
    QPushButton *m_confirm;
    QPushButton *m_cancel;
    bool m_loggedIn = false;
};
