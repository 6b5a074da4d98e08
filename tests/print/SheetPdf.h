#pragma once

#include <QList>
#include <QPageLayout>
#include <QPrinter>
#include <QRectF>
#include <QString>

#include <memory>

// Helpers for tests that print keyboard sheets to PDF and read them back.
namespace SheetPdf {

struct Word {
    QString text;
    QRectF box;  // in points from the top-left corner of the paper
};

// A 600-dpi A4 PDF printer writing to `file`.
std::unique_ptr<QPrinter> MakePrinter(const QString& file, QPageLayout::Orientation orientation,
                                      int resolution = 600);

// The words on the first page of `file`, as pdftotext -bbox reports them; fails the test when the
// tool is missing.
QList<Word> Words(const QString& file);

// Number of pages of `file` (pdfinfo).
int PageCount(const QString& file);

// A rectangle in printer device units (origin at the top-left of the printable area) in points from
// the top-left corner of the paper.
QRectF DeviceToPaperPoints(const QPrinter& printer, const QRectF& deviceRect);

} // namespace SheetPdf
