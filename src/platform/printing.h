#pragma once

#include "platform/printpage.h"

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

// Makes the pages of a print job once the number of copies is known.
using PagesForCopies = std::function<QList<PrintPage>(int copies)>;

// Printing through the desktop's print system (a PDF file where there is no
// printer).
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
    // Shows the print dialog with one copy preset; then asks for the pages of
    // the copies chosen there and prints each page on a sheet of its own. The
    // printer makes no copies itself, so every copy can differ. Nothing is
    // asked for when the dialog is cancelled.
    // The pages are laid out for the paper chosen: scaled together, one scale
    // for the job, so that the widest spans the printable width between equal
    // left and right margins, and with their empty lines grown so that the
    // last line stands at the foot of the printable area. Nothing is cut.
    virtual PrintOutcome printPages(const QString &jobName, const PagesForCopies &pagesFor) = 0;
};

} // namespace plovista
