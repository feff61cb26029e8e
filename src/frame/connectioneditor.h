#pragma once

#include "core/startup.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QLabel;

// Builds the connection string of a server database: PostgreSQL by host,
// port, database and user, or SQL Server through an ODBC connection string.
class ConnectionEditorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConnectionEditorDialog(QWidget *parent = nullptr);

    void setConnectionString(const QString &text);
    QString connectionString() const;

private:
    void updateKind();
    void testConnection();

    QComboBox *m_kind;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLineEdit *m_odbc;
    QLabel *m_result;
    QList<QWidget *> m_postgresRows;
    QList<QWidget *> m_odbcRows;
};

// The editor as start-up uses it: shown modally, cancel keeps the string.
class DialogConnectionEditor : public startup::ConnectionEditor
{
public:
    QString edit(const QString &current) override;
};
