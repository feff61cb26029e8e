#include "pagedhtml.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace pagedhtml {

int paint(const QString &html, QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device);
    const QFont base(QStringLiteral("DejaVu Sans"), 9);
    doc.setDefaultFont(base);
    doc.setDocumentMargin(0);
    doc.setHtml(html);

    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QFont footerFont(QStringLiteral("DejaVu Sans"), 7);
    const QFontMetricsF metrics(footerFont, &device);
    const qreal footer = metrics.height() * 2;
    const QSizeF page(area.width(), area.height() - footer);
    doc.setPageSize(page);
    const int pages = doc.pageCount();

    QPainter painter(&device);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -p * page.height());
        doc.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
        painter.restore();
        painter.setFont(footerFont);
        painter.drawText(QRectF(0, area.height() - footer, area.width(), footer), Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(pages));
    }
    painter.end();
    return pages;
}

bool writePdf(const QString &html, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Tarabix"));
        paint(html, writer);
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace pagedhtml
