#include "platform/qtprinting.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace plovista {

namespace {

bool showPrintDialog(QPrinter &printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Print"));
    return dialog.exec() == QDialog::Accepted;
}

void prepare(QPrinter &printer, const QString &jobName)
{
    printer.setDocName(jobName);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(jobName + QStringLiteral(".pdf"));
    }
}

} // namespace

PrintOutcome QtPrinting::printImage(const QImage &image, const QString &jobName)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    if (!showPrintDialog(printer))
        return {false, true, {}};
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, false, QStringLiteral("The printer could not be started.")};
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    if (!painter.end())
        return {false, false, QStringLiteral("The page could not be sent to the printer.")};
    return {true, false, {}};
}

PrintOutcome QtPrinting::printPainted(const QString &jobName, const PaintPage &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (!showPrintDialog(printer))
        return {false, true, {}};
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, false, QStringLiteral("The printer could not be started.")};
    paint(painter, QRectF(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
    if (!painter.end())
        return {false, false, QStringLiteral("The page could not be sent to the printer.")};
    return {true, false, {}};
}

} // namespace plovista
