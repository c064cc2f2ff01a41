#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace plovista {

struct PrintOutcome
{
    bool printed = false;
    bool cancelled = false;
    QString error; // why printing failed, when it did
};

// Printing through the desktop's print system (a PDF file where there is no
// printer). Worksheet printing adds its own call when worksheets are built.
class Printing
{
public:
    virtual ~Printing() = default;
    // Prints one page holding the image scaled to fit, after the print dialog.
    virtual PrintOutcome printImage(const QImage &image, const QString &jobName) = 0;
    // Prints one page drawn by paint, after the print dialog. The painter is
    // ready on the page, and page is its printable area in the painter's
    // units, so the same drawing routine serves the screen and the paper.
    using PaintPage = std::function<void(QPainter &painter, const QRectF &page)>;
    virtual PrintOutcome printPainted(const QString &jobName, const PaintPage &paint) = 0;
};

} // namespace plovista
