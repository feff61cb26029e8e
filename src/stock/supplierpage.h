#pragma once

#include "frame/windowcontext.h"
#include "stock/supplierdocs.h"

#include <QWidget>

#include <memory>

class Dataset;
class DbGrid;
class PickListCombo;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

// "Introduce act de la furnizor": a supplier's invoice, delivery note or
// consumption note with its lines, as goods going into stock or as services.
class SupplierPage : public QWidget
{
    Q_OBJECT

public:
    explicit SupplierPage(const WindowContext &context, QWidget *parent = nullptr);
    ~SupplierPage() override;

    supplierdocs::Workspace &workspace() { return m_workspace; }

    QTabWidget *steps() const { return m_steps; }
    QLineEdit *searchName() const { return m_searchName; }
    DbGrid *supplierGrid() const { return m_suppliers; }
    QPushButton *nextFromSupplier() const { return m_nextSupplier; }
    QComboBox *kind() const { return m_kind; }
    QRadioButton *goods() const { return m_goods; }
    QRadioButton *services() const { return m_services; }
    PickListCombo *warehouse() const { return m_warehouse; }
    QComboBox *mode() const { return m_mode; }
    QLineEdit *series() const { return m_series; }
    QLineEdit *number() const { return m_number; }
    QPushButton *nextFromHeader() const { return m_nextHeader; }
    QLineEdit *field(const QString &name) const;
    QComboBox *currencyIn() const { return m_currencyIn; }
    QCheckBox *salePrice() const { return m_salePrice; }
    QPushButton *addButton() const { return m_add; }
    DbGrid *lineGrid() const { return m_lines; }
    QLineEdit *totalBox(const QString &name) const;

    void chooseStep(int step);

private:
    QWidget *buildSupplierStep();
    QWidget *buildHeaderStep();
    QWidget *buildLinesStep();
    QWidget *buildValidationStep();

    void search(const QString &column, const QString &text);
    void btPasUrmatorFurnClick();
    void headerShow();
    void updateNextHeader();
    void btPasUrmatorAntetClick();
    void AdvTabSheet4Show();
    void recalcInputPrices();
    void recalcOutputPrices();
    void btAdaugaProdusFurnClick();
    void removeLine(bool ask);
    // The document current in the supplier's list, -1 when there is none.
    qint64 shownDocument() const;
    void reloadLines();
    void showTotals();
    supplierdocs::Line readLine() const;

    WindowContext m_ctx;
    supplierdocs::Workspace m_workspace;
    std::unique_ptr<Dataset> m_warehouses;
    std::unique_ptr<Dataset> m_names;
    bool m_recalculating = false;
    // A price or quantity was left half typed, so the boxes show the amounts
    // of the text before it.
    bool m_proposalPending = false;

    QTabWidget *m_steps = nullptr;
    QLineEdit *m_searchName = nullptr;
    QLineEdit *m_searchCui = nullptr;
    QLineEdit *m_searchRegCom = nullptr;
    QCheckBox *m_onlySuppliers = nullptr;
    DbGrid *m_suppliers = nullptr;
    QPushButton *m_nextSupplier = nullptr;

    QComboBox *m_kind = nullptr;
    QRadioButton *m_goods = nullptr;
    QRadioButton *m_services = nullptr;
    PickListCombo *m_warehouse = nullptr;
    QComboBox *m_mode = nullptr;
    QLineEdit *m_series = nullptr;
    QLineEdit *m_number = nullptr;
    QDateTimeEdit *m_date = nullptr;
    QSpinBox *m_termDays = nullptr;
    QDateEdit *m_dueDate = nullptr;
    PickListCombo *m_bank = nullptr;
    PickListCombo *m_category = nullptr;
    PickListCombo *m_mention = nullptr;
    QLineEdit *m_comment = nullptr;
    QLabel *m_commentLabel = nullptr;
    QPushButton *m_nextHeader = nullptr;

    DbGrid *m_documents = nullptr;
    QLabel *m_documentsCaption = nullptr;
    QHash<QString, QLineEdit *> m_fields;
    QComboBox *m_unit = nullptr;
    QComboBox *m_currencyIn = nullptr;
    QComboBox *m_currencyOut = nullptr;
    QCheckBox *m_salePrice = nullptr;
    QGroupBox *m_outputPanel = nullptr;
    QPushButton *m_add = nullptr;
    DbGrid *m_lines = nullptr;
    DbGrid *m_knownNames = nullptr;

    QHash<QString, QLineEdit *> m_totals;
};
