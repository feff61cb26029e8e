#pragma once

#include "frame/windowcontext.h"
#include "sales/validation.h"
#include "sales/workspace.h"

#include <QWidget>

#include <memory>

class DbGrid;
class DbNavigator;
class PickListCombo;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

// The document window: the wizard that issues invoices, delivery notes and
// consumption notes (client, header, lines, validation and preview).
class TfrmFactNoua : public QWidget
{
    Q_OBJECT

public:
    enum class Entry
    {
        Issue,
        Browse,
        Supplier
    };

    TfrmFactNoua(const WindowContext &context, Entry entry = Entry::Issue,
                 QWidget *parent = nullptr);
    ~TfrmFactNoua() override;

    DocumentWorkspace &workspace() { return *m_workspace; }
    class SupplierPage *supplierPage() const { return m_supplierPage; }

    // Controls, by their names, for the tests and the other windows.
    QTabWidget *steps() const { return m_steps; }
    QLineEdit *edNume() const { return m_edNume; }
    QCheckBox *cb() const { return m_cb; }
    DbGrid *clientGrid() const { return m_clients; }
    QTabWidget *clientTabs() const { return m_clientTabs; }
    DbNavigator *accountNavigator() const { return m_accountNavigator; }
    DbGrid *accountGrid() const { return m_accounts; }
    QPushButton *btPasUrmator() const { return m_btPasUrmator; }
    QComboBox *tipavizfactura() const { return m_kind; }
    PickListCombo *cbMent() const { return m_mention; }
    QComboBox *wwMOneda() const { return m_currency; }
    QComboBox *wwAchitare() const { return m_payment; }
    QDateEdit *wwdata() const { return m_date; }
    QSpinBox *edTermenPlata() const { return m_termDays; }
    QDateEdit *wwTermenPlata() const { return m_dueDate; }
    PickListCombo *edContract() const { return m_contract; }
    QPushButton *bitBtn3() const { return m_btHeaderNext; }
    DbGrid *productGrid() const { return m_products; }
    DbGrid *categoryGrid() const { return m_categoryGrid; }
    DbGrid *subcategoryGrid() const { return m_subcategoryGrid; }
    DbNavigator *categoryNavigator() const { return m_categoryNavigator; }
    DbNavigator *subcategoryNavigator() const { return m_subcategoryNavigator; }
    DbNavigator *productNavigator() const { return m_productNavigator; }
    QLineEdit *edCantitS() const { return m_quantity; }
    QComboBox *rgDisc() const { return m_discount; }
    QPushButton *btAdauga() const { return m_btAdauga; }
    QPushButton *btDiscount() const { return m_btDiscount; }
    DbGrid *lineGrid() const { return m_lines; }
    QPushButton *btStergeLinie() const { return m_btRemoveLine; }
    QPushButton *btPasUrmator3() const { return m_btLinesNext; }
    // The stock sub-page of step 3.
    QTabWidget *lineSources() const { return m_sources; }
    DbGrid *warehouseGrid() const { return m_warehouseGrid; }
    QTableWidget *stockGrid() const { return m_stock; }
    QLineEdit *edCantitStoc() const { return m_stockQuantity; }
    QComboBox *cbDiscStoc() const { return m_stockPercent; }
    QPushButton *btAdaugaStoc() const { return m_btAddFromStock; }
    QLineEdit *totalBox(const QString &name) const;
    QPushButton *btValidare() const { return m_btValidare; }
    QPushButton *btPrevizualizare() const { return m_btPreview; }
    QCheckBox *cbEmail() const { return m_cbEmail; }
    QCheckBox *cbNrfact() const { return m_cbNrfact; }
    QPushButton *btIncasare() const { return m_btIncasare; }

    // Entry points other windows use.
    void chooseStep(int step);
    void showTotals();

    void btValidareClick();
    void BitBtn4Click();
    void btINcasareClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildClientStep();
    QWidget *buildHeaderStep();
    QWidget *buildLinesStep();
    QWidget *buildValidationStep();

    void FormShow();
    void edNumeKeyPress();
    void showClientDetails();
    void searchBy(const QString &column, const QString &text);
    void btAdaugaClientClick();
    void btPasUrmatorClick();
    void TabSheetAntetShow();
    void loadMentionsAndCurrencies();
    void tipavizfacturaChange();
    void cbMentChange();
    void wwMOnedaChange();
    void edTermenPlataChange();
    void EdContractChange();
    void delegateChosen(class Dataset &delegates);
    void BitBtn3Click();
    void btAdaugaClick();
    void Label22DblClick();
    void removeSelectedLine(bool ask);
    void edCautaChange(const QString &text);
    void updateNextButtons();
    QWidget *buildStockSource();
    void showStockSource();
    void refreshStock();
    void btAdaugaStocClick();
    // Invoices start on the price list, delivery and consumption notes on the stock.
    void showSourceForKind();

    WindowContext m_ctx;
    std::unique_ptr<DocumentWorkspace> m_workspace;
    Entry m_entry;
    bool m_firstShow = true;

    QTabWidget *m_pages = nullptr;
    class SupplierPage *m_supplierPage = nullptr;
    QTabWidget *m_steps = nullptr;
    // Step 1.
    QLineEdit *m_edNume = nullptr;
    QLineEdit *m_edCui = nullptr;
    QLineEdit *m_edRegCom = nullptr;
    QCheckBox *m_cb = nullptr;
    QCheckBox *m_cbSold = nullptr;
    DbGrid *m_clients = nullptr;
    QTabWidget *m_clientTabs = nullptr;
    DbNavigator *m_accountNavigator = nullptr;
    DbGrid *m_accounts = nullptr;
    QPushButton *m_btPasUrmator = nullptr;
    // Step 2.
    QDateEdit *m_date = nullptr;
    QComboBox *m_kind = nullptr;
    PickListCombo *m_mention = nullptr;
    QPlainTextEdit *m_comment = nullptr;
    QHash<QString, QLineEdit *> m_delegate;
    QDateEdit *m_dispatchDate = nullptr;
    PickListCombo *m_contract = nullptr;
    QComboBox *m_currency = nullptr;
    QLabel *m_rateLabel = nullptr;
    QSpinBox *m_termDays = nullptr;
    QDateEdit *m_dueDate = nullptr;
    QComboBox *m_payment = nullptr;
    PickListCombo *m_bank = nullptr;
    QLineEdit *m_weight = nullptr;
    QLineEdit *m_volume = nullptr;
    QLineEdit *m_licence = nullptr;
    QLineEdit *m_deliveryTerms = nullptr;
    DbGrid *m_workPoints = nullptr;
    QWidget *m_delegatePanel = nullptr;
    QWidget *m_paymentPanel = nullptr;
    QHash<QString, QLineEdit *> m_contractBoxes;
    QPushButton *m_btHeaderNext = nullptr;
    std::unique_ptr<class Dataset> m_clientContracts;
    // Step 3.
    QTabWidget *m_sources = nullptr;
    DbGrid *m_products = nullptr;
    DbGrid *m_categoryGrid = nullptr;
    DbGrid *m_subcategoryGrid = nullptr;
    DbNavigator *m_categoryNavigator = nullptr;
    DbNavigator *m_subcategoryNavigator = nullptr;
    DbNavigator *m_productNavigator = nullptr;
    QLineEdit *m_search = nullptr;
    QLineEdit *m_quantity = nullptr;
    QComboBox *m_discount = nullptr;
    QPushButton *m_btAdauga = nullptr;
    QPushButton *m_btDiscount = nullptr;
    DbGrid *m_lines = nullptr;
    QPushButton *m_btRemoveLine = nullptr;
    QPushButton *m_btLinesNext = nullptr;
    std::unique_ptr<class Dataset> m_warehouses;
    DbGrid *m_warehouseGrid = nullptr;
    QTableWidget *m_stock = nullptr;
    QLineEdit *m_stockQuantity = nullptr;
    QComboBox *m_stockPercent = nullptr;
    QPushButton *m_btAddFromStock = nullptr;
    // Validation step.
    DbGrid *m_validationLines = nullptr;
    QHash<QString, QLineEdit *> m_totals;
    QPushButton *m_btValidare = nullptr;
    QPushButton *m_btPreview = nullptr;
    QCheckBox *m_cbEmail = nullptr;
    QCheckBox *m_cbNrfact = nullptr;
    QPushButton *m_btIncasare = nullptr;
};
