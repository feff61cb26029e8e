#include "previewwindow.h"

#include "core/prompter.h"
#include "pagedhtml.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

TfrmPreview::TfrmPreview(const QString &title, const QString &html, const QString &documentsDir, Prompter &prompter,
                         QWidget *parent)
    : QDialog(parent), m_title(title), m_html(html), m_documentsDir(documentsDir), m_prompter(prompter),
      m_printer(new QPrinter(QPrinter::HighResolution)), m_view(nullptr), m_pageLabel(new QLabel)
{
    setWindowTitle(QStringLiteral("Previzualizare - ") + title);
    m_view = new QPrintPreviewWidget(m_printer, this);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &TfrmPreview::paintPages);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &TfrmPreview::updatePageLabel);

    auto *bar = new QToolBar;
    bar->addAction(QStringLiteral("Tipareste"), this, &TfrmPreview::print)->setShortcut(QKeySequence::Print);
    bar->addAction(QStringLiteral("Salveaza PDF"), this, &TfrmPreview::exportPdf)->setShortcut(QKeySequence::Save);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Prima pagina"), m_view, [this] { m_view->setCurrentPage(1); });
    bar->addAction(QStringLiteral("Pagina anterioara"), m_view, [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    bar->addAction(QStringLiteral("Pagina urmatoare"), m_view, [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    bar->addAction(QStringLiteral("Ultima pagina"), m_view, [this] { m_view->setCurrentPage(m_view->pageCount()); });
    bar->addWidget(m_pageLabel);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Micsoreaza"), m_view, [this] { m_view->zoomOut(); })->setShortcut(QKeySequence::ZoomOut);
    bar->addAction(QStringLiteral("Mareste"), m_view, [this] { m_view->zoomIn(); })->setShortcut(QKeySequence::ZoomIn);
    bar->addAction(QStringLiteral("Latimea paginii"), m_view, [this] { m_view->fitToWidth(); });
    bar->addAction(QStringLiteral("Pagina intreaga"), m_view, [this] { m_view->fitInView(); });
    bar->addSeparator();
    bar->addAction(QStringLiteral("Inchide"), this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_view);
    resize(900, 1000);
    m_view->updatePreview();
    m_view->fitToWidth();
}

TfrmPreview::~TfrmPreview()
{
    delete m_view;
    delete m_printer;
}

int TfrmPreview::pageCount() const
{
    return m_view->pageCount();
}

int TfrmPreview::currentPage() const
{
    return m_view->currentPage();
}

void TfrmPreview::paintPages(QPrinter *printer)
{
    pagedhtml::paint(m_html, *printer);
}

void TfrmPreview::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral(" Pagina %1 din %2 ").arg(m_view->currentPage()).arg(m_view->pageCount()));
}

void TfrmPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        pagedhtml::paint(m_html, printer);
}

void TfrmPreview::exportPdf()
{
    QDir().mkpath(m_documentsDir);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salveaza PDF"),
                                                      QDir(m_documentsDir).filePath(m_title + QStringLiteral(".pdf")),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!pagedhtml::writePdf(m_html, path, &error))
        m_prompter.error(QStringLiteral("Nu pot scrie fisierul ") + path + QStringLiteral(": ") + error);
}
