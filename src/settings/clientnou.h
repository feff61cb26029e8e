#pragma once

#include <QWidget>

class CompanyLookup;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Tdm;
struct NewPartner;

// "Client nou": a client or supplier of the current company, with its
// delegate and bank account, optionally filled from the company registry.
class TfrmClientNou : public QWidget
{
    Q_OBJECT

public:
    TfrmClientNou(Tdm &dm, Prompter &prompter, CompanyLookup &lookup, QWidget *parent = nullptr);

    // The id of the partner saved, 0 while none is.
    qint64 savedId() const { return m_savedId; }

    QCheckBox *companyBox() const { return m_company; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *fiscalCodeEdit() const { return m_fiscalCode; }
    QLineEdit *edit(const QString &caption) const;
    QComboBox *countyBox() const { return m_county; }
    QPushButton *lookupButton() const { return m_lookup; }
    QPushButton *okButton() const { return m_ok; }

    static const QStringList &counties();

Q_SIGNALS:
    void saved(qint64 id);

private:
    void chkPersJuridicaClick();
    void btnLookupClick();
    void btnOkClick();
    NewPartner collect() const;
    void closeWindow();

    Tdm &m_dm;
    Prompter &m_prompter;
    CompanyLookup &m_registry;
    QCheckBox *m_company;
    QLabel *m_nameLabel;
    QLabel *m_codeLabel;
    QLineEdit *m_name;
    QLineEdit *m_fiscalCode;
    QComboBox *m_county;
    QPushButton *m_lookup;
    QPushButton *m_ok;
    QHash<QString, QLineEdit *> m_edits; // by caption
    QList<QWidget *> m_companyOnly;
    qint64 m_savedId = 0;
};
