#pragma once

#include <QString>

class QPagedPaintDevice;

// Lays HTML out on A4 pages with 15 mm margins and paints it on a printer, a
// preview or a PDF, with "Pagina N din M" at the foot of every page.
namespace pagedhtml {

// Paints every page; returns the number of pages.
int paint(const QString &html, QPagedPaintDevice &device);

// Writes a PDF file in one piece (a failed write leaves no half file).
// Returns false and the reason when it cannot.
bool writePdf(const QString &html, const QString &path, QString *error = nullptr);

} // namespace pagedhtml
