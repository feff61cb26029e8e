#include "connectioneditor.h"

#include "db/connection.h"
#include "db/connectionstring.h"
#include "db/dberror.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ConnectionEditorDialog::ConnectionEditorDialog(QWidget *parent)
    : QDialog(parent), m_kind(new QComboBox), m_host(new QLineEdit), m_port(new QSpinBox),
      m_database(new QLineEdit), m_user(new QLineEdit), m_password(new QLineEdit), m_odbc(new QLineEdit),
      m_result(new QLabel)
{
    setWindowTitle(QStringLiteral("Conexiune la serverul de baze de date"));
    m_kind->addItem(QStringLiteral("PostgreSQL"), QStringLiteral("QPSQL"));
    m_kind->addItem(QStringLiteral("SQL Server (ODBC)"), QStringLiteral("QODBC"));
    m_port->setRange(0, 65535);
    m_port->setValue(5432);
    m_password->setEchoMode(QLineEdit::Password);
    m_odbc->setPlaceholderText(QStringLiteral("Driver={ODBC Driver 18 for SQL Server};Server=...;Database=...;UID=...;PWD=..."));
    m_result->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Server de baze de date"), m_kind);
    form->addRow(QStringLiteral("Server"), m_host);
    form->addRow(QStringLiteral("Port"), m_port);
    form->addRow(QStringLiteral("Baza de date"), m_database);
    form->addRow(QStringLiteral("Utilizator"), m_user);
    form->addRow(QStringLiteral("Parola"), m_password);
    form->addRow(QStringLiteral("Sir de conectare ODBC"), m_odbc);
    m_postgresRows = {m_host, m_port, m_database, m_user, m_password};
    m_odbcRows = {m_odbc};

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton *test = buttons->addButton(QStringLiteral("Testeaza conexiunea"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test, &QPushButton::clicked, this, &ConnectionEditorDialog::testConnection);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &ConnectionEditorDialog::updateKind);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_result);
    layout->addWidget(buttons);
    updateKind();
}

void ConnectionEditorDialog::updateKind()
{
    const bool odbc = m_kind->currentData().toString() == QLatin1String("QODBC");
    auto *form = static_cast<QFormLayout *>(static_cast<QVBoxLayout *>(layout())->itemAt(0)->layout());
    for (QWidget *w : std::as_const(m_postgresRows))
        form->setRowVisible(w, !odbc);
    for (QWidget *w : std::as_const(m_odbcRows))
        form->setRowVisible(w, odbc);
}

void ConnectionEditorDialog::setConnectionString(const QString &text)
{
    const auto s = ServerConnectionString::parse(text);
    if (!s)
        return;
    m_kind->setCurrentIndex(s->provider == QLatin1String("QODBC") ? 1 : 0);
    m_host->setText(s->host);
    if (s->port > 0)
        m_port->setValue(s->port);
    m_database->setText(s->database);
    m_user->setText(s->user);
    m_password->setText(s->password);
    m_odbc->setText(s->odbc);
    updateKind();
}

QString ConnectionEditorDialog::connectionString() const
{
    ServerConnectionString s;
    s.provider = m_kind->currentData().toString();
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.database = m_database->text().trimmed();
    s.user = m_user->text().trimmed();
    s.password = m_password->text();
    s.odbc = m_odbc->text().trimmed();
    return s.toString();
}

void ConnectionEditorDialog::testConnection()
{
    try {
        Connection probe;
        openServer(probe, connectionString());
        m_result->setText(QStringLiteral("Conexiune reusita."));
    } catch (const DbError &e) {
        m_result->setText(QStringLiteral("Conexiunea a esuat: ") + e.message());
    }
}

QString DialogConnectionEditor::edit(const QString &current)
{
    ConnectionEditorDialog dialog;
    dialog.setConnectionString(current);
    if (dialog.exec() != QDialog::Accepted)
        return current;
    return dialog.connectionString();
}
