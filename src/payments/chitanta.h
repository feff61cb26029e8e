#pragma once

#include "frame/windowcontext.h"

#include <QWidget>

#include <memory>

class Dataset;
class DbGrid;
class MoneyEdit;
class PickListCombo;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// "Tip incasare": money received from clients. Choose the client and the
// work point, enter the collection (receipt, disposition, cash, card or
// bank), browse those already entered.
class TfrmChitanta : public QWidget
{
    Q_OBJECT

public:
    enum class Entry { Add, Browse, FromInvoice };

    TfrmChitanta(const WindowContext &context, Entry entry, QWidget *parent = nullptr);
    ~TfrmChitanta() override;

    // The one invoice to collect (0: every unpaid invoice of the client).
    void setInvoiceToCollect(qint64 invoiceId);
    // Coming from the invoice just validated: its client, its payment method.
    void startFromInvoice(const QString &clientSearch, qint64 clientId, const QString &invoiceMethod);

    QTabWidget *pages() const { return m_pages; }
    QLineEdit *searchBox() const { return m_search; }
    DbGrid *clientGrid() const { return m_clients; }
    QPushButton *nextButton() const { return m_next; }
    PickListCombo *invoices() const { return m_invoices; }
    QComboBox *method() const { return m_method; }
    QLineEdit *number() const { return m_number; }
    QLineEdit *series() const { return m_series; }
    QComboBox *currency() const { return m_currency; }
    MoneyEdit *rate() const { return m_rate; }
    MoneyEdit *amount() const { return m_amount; }
    QLineEdit *amountInWords() const { return m_words; }
    QLineEdit *reprezentand() const { return m_reprezentand; }
    QLineEdit *comment() const { return m_comment; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *previewButton() const { return m_preview; }
    QCheckBox *emailBox() const { return m_email; }
    QPushButton *fiscalButton() const { return m_fiscal; }
    DbGrid *collectionGrid() const { return m_collections; }

    void chooseClientPage();
    void btPasUrmatorClick();
    void btAdaugaClick();
    void btPrevizualizareClick();
    void btBonFiscalClick();
    void cancelCurrent();
    void deleteCurrent();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildClientPage();
    QWidget *buildEntryPage();
    QWidget *buildListPage();
    void clientPageShow();
    void entryPageShow();
    void methodChanged();
    void currencyChanged();
    void amountChanged();
    void invoiceChanged();
    void listPageShow();
    void reopenCollections(const QString &sql, const QVariantList &params);
    void search();

    WindowContext m_ctx;
    Entry m_entry;
    qint64 m_invoiceToCollect = 0;
    QString m_invoiceMethod;
    bool m_firstShow = true;

    QTabWidget *m_pages = nullptr;
    QLineEdit *m_search = nullptr;
    QCheckBox *m_onlyClients = nullptr;
    DbGrid *m_clients = nullptr;
    DbGrid *m_workPoints = nullptr;
    QPushButton *m_next = nullptr;

    PickListCombo *m_invoices = nullptr;
    QComboBox *m_method = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_series = nullptr;
    QDateEdit *m_date = nullptr;
    QComboBox *m_currency = nullptr;
    MoneyEdit *m_rate = nullptr;
    QComboBox *m_bank = nullptr;
    QLabel *m_bankLabel = nullptr;
    MoneyEdit *m_amount = nullptr;
    QLineEdit *m_words = nullptr;
    QLineEdit *m_reprezentand = nullptr;
    QLineEdit *m_comment = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_preview = nullptr;
    QCheckBox *m_email = nullptr;
    QPushButton *m_fiscal = nullptr;
    QLabel *m_workPointInfo = nullptr;

    QComboBox *m_view = nullptr;
    DbGrid *m_collections = nullptr;
};
