#include "platform/qtprinting.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace plovista {

PrintOutcome QtPrinting::printImage(const QImage &image, const QString &jobName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(jobName);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(jobName + QStringLiteral(".pdf"));
    }
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() != QDialog::Accepted)
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

} // namespace plovista
