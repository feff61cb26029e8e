#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTextBrowser;
class QTimer;
class QTreeWidget;
class ReportEngine;

// Edits a document template: its HTML source with Mustache tags, a palette
// of the fields the template can use, formatting buttons and a live preview
// on the current data. Saving writes it back to the current company.
class TfrmDesigner : public QDialog
{
    Q_OBJECT

public:
    TfrmDesigner(ReportEngine &engine, const QString &title, const QString &templateText, QWidget *parent = nullptr);

    QString templateText() const;
    void setTemplateText(const QString &text);
    // The HTML the preview shows now.
    QString previewHtml() const;
    bool save();

protected:
    void done(int result) override;

private:
    void fillPalette();
    void insertTag(const QString &tag);
    void wrapSelection(const QString &before, const QString &after);
    void refreshPreview();

    ReportEngine &m_engine;
    QPlainTextEdit *m_source;
    QTextBrowser *m_preview;
    QTreeWidget *m_palette;
    QLabel *m_status;
    QTimer *m_refresh;
    bool m_modified = false;
};
