#pragma once

#include "reportdata.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

class Dataset;
class Prompter;
class Tdm;
class TdmRC;

// An e-mail ready to be sent from the company's account, filled in after a
// document was previewed.
struct EmailDraft
{
    QString host;
    int port = 0;
    QString user;
    QString password;
    bool authentication = false;
    bool secure = false;
    bool sign = false;
    QString from;
    QString to;
    QString cc;
    QString subject;
    QString body;
    QStringList attachments; // file paths
};

// What the report engine needs from the windows: a preview, the designer
// and the e-mail window, each shown modally.
class ReportHost
{
public:
    virtual ~ReportHost() = default;
    virtual void preview(const QString &title, const QString &html) = 0;
    virtual void design(const QString &title, const QString &templateText) = 0;
    virtual void email(const EmailDraft &draft) = 0;
};

// Prints every document of the program from the templates stored per
// company and title.
class ReportEngine
{
public:
    ReportEngine(Tdm &dm, TdmRC &rc, Prompter &prompter);

    void setHost(ReportHost *host) { m_host = host; }
    // Where PDF files are written; created when missing.
    void setDocumentsDir(const QString &dir) { m_documentsDir = dir; }
    QString documentsDir() const { return m_documentsDir; }

    // The dataset a template sees under `name` (a caller may rebind the
    // header and the lines to another dataset of the same columns).
    void bind(const QString &name, Dataset *dataset);
    void restoreBindings();
    const QHash<QString, Dataset *> &bindings() const { return m_bindings; }

    // Looks the template up for the company, then opens the designer on it
    // (design) or previews it with the variable set. After the preview the
    // document goes by e-mail when that was asked for.
    void printTemplate(qint64 companyId, const QString &title, const QString &variable = {},
                       const QString &value = {}, bool design = false);
    // Writes the document to fileName as PDF without showing anything;
    // returns whether a file was written.
    bool exportTemplate(qint64 companyId, const QString &title, const QString &fileName,
                        const QString &variable = {}, const QString &value = {});

    // The title of the template last opened for editing.
    QString currentDesignerTitle;
    // Stores the designer's template under the current company and title.
    bool saveDesign(const QString &templateText);
    // The template rendered on the current data, for the designer's preview.
    QString render(const QString &templateText, const QHash<QString, QString> &variables = {}) const;

    // "<client>-<kind>-<number> - <date>.pdf" in the documents folder, with
    // every character a file name cannot hold replaced.
    QString pdfPath(const QString &clientName, const QString &kind, const QString &number,
                    const QString &date) const;
    // The e-mail of the document just previewed, as it is filled in.
    EmailDraft emailDraft(const QString &pdfFile) const;

private:
    std::optional<QString> loadTemplate(qint64 companyId, const QString &title);
    ReportInputs inputs(const QHash<QString, QString> &variables) const;
    void sendAfterPreview(const QString &html);

    Tdm &m_dm;
    TdmRC &m_rc;
    Prompter &m_prompter;
    ReportHost *m_host = nullptr;
    QString m_documentsDir;
    QHash<QString, Dataset *> m_bindings;
};
