#pragma once

#include <QDialog>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class Prompter;

// The preview of a rendered document: print, export to PDF, zoom and page
// navigation.
class TfrmPreview : public QDialog
{
    Q_OBJECT

public:
    TfrmPreview(const QString &title, const QString &html, const QString &documentsDir, Prompter &prompter,
                QWidget *parent = nullptr);
    ~TfrmPreview() override;

    int pageCount() const;
    int currentPage() const;

private:
    void paintPages(QPrinter *printer);
    void updatePageLabel();
    void print();
    void exportPdf();

    QString m_title;
    QString m_html;
    QString m_documentsDir;
    Prompter &m_prompter;
    QPrinter *m_printer;
    QPrintPreviewWidget *m_view;
    QLabel *m_pageLabel;
};
