#include "platform/qtprinting.h"

#include <QApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

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
        // Where the user keeps documents, not the program's working folder;
        // the dialog shows the whole path and lets it be changed.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::homePath();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(folder).filePath(jobName + QStringLiteral(".pdf")));
    }
}

PrintOutcome failed(const QString &why)
{
    return {false, false, why};
}

// The face a line asks for. "Courier" is the name of the classic typewriter
// face; the fixed-pitch faces with its widths stand in for it.
QFont printFont(const QString &family, int pointSize)
{
    QFont font(family);
    if (family.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0)
        font.setFamilies({QStringLiteral("Nimbus Mono PS"), QStringLiteral("Courier"), QStringLiteral("Courier New"),
                          QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setPointSize(pointSize);
    return font;
}

// A line's font with its measures on the printer, made once per face and size.
struct LineFont
{
    QFont font;
    qreal ascent = 0;
    qreal lineSpacing = 0;
    qreal columnWidth = 0;
};

class LineFonts
{
public:
    explicit LineFonts(QPaintDevice &device)
        : m_device(device)
    { }

    const LineFont &operator()(const PrintLine &line)
    {
        const QString key = line.fontFamily + QLatin1Char('/') + QString::number(line.pointSize);
        auto found = m_fonts.find(key);
        if (found == m_fonts.end()) {
            LineFont entry;
            entry.font = printFont(line.fontFamily, line.pointSize);
            const QFontMetricsF metrics(entry.font, &m_device);
            entry.ascent = metrics.ascent();
            entry.lineSpacing = metrics.lineSpacing();
            entry.columnWidth = metrics.horizontalAdvance(QLatin1Char(' '));
            found = m_fonts.insert(key, entry);
        }
        return *found;
    }

    qreal width(const PrintLine &line)
    {
        const LineFont &lineFont = (*this)(line);
        const QFontMetricsF metrics(lineFont.font, &m_device);
        qreal width = 0;
        for (const PrintPiece &piece : line.pieces)
            width = std::max(width, (piece.column - 1) * lineFont.columnWidth + metrics.horizontalAdvance(piece.text));
        return width;
    }

private:
    QPaintDevice &m_device;
    QHash<QString, LineFont> m_fonts;
};

// One scale for the whole job, so that every copy looks the same: the size
// the lines were laid out for where the paper allows it, smaller where the
// widest or longest page would not fit.
qreal fittingScale(const QList<PrintPage> &pages, LineFonts &fonts, const QSizeF &area)
{
    qreal width = 0;
    qreal height = 0;
    for (const PrintPage &page : pages) {
        qreal pageHeight = 0;
        for (const PrintLine &line : page.lines) {
            width = std::max(width, fonts.width(line));
            pageHeight += fonts(line).lineSpacing;
        }
        height = std::max(height, pageHeight);
    }
    qreal scale = 1.0;
    if (width > area.width())
        scale = area.width() / width;
    if (height * scale > area.height())
        scale = area.height() / height;
    return scale;
}

void drawPage(QPainter &painter, const PrintPage &page, LineFonts &fonts, qreal scale)
{
    painter.save();
    painter.scale(scale, scale);
    qreal top = 0;
    for (const PrintLine &line : page.lines) {
        const LineFont &lineFont = fonts(line);
        painter.setFont(lineFont.font);
        for (const PrintPiece &piece : line.pieces)
            painter.drawText(QPointF((piece.column - 1) * lineFont.columnWidth, top + lineFont.ascent), piece.text);
        top += lineFont.lineSpacing;
    }
    painter.restore();
}

} // namespace

QtPrinting::QtPrinting(Dialog dialog)
    : m_dialog(dialog ? std::move(dialog) : Dialog(showPrintDialog))
{ }

PrintOutcome QtPrinting::printImage(const QImage &image, const QString &jobName)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    if (!m_dialog(printer))
        return {false, true, {}};
    QPainter painter;
    if (!painter.begin(&printer))
        return failed(QStringLiteral("The printer could not be started."));
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    if (!painter.end())
        return failed(QStringLiteral("The page could not be sent to the printer."));
    return {true, false, {}};
}

PrintOutcome QtPrinting::printPages(const QString &jobName, const PagesForCopies &pagesFor)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    printer.setCopyCount(1);
    if (!m_dialog(printer))
        return {false, true, {}};
    // The copies are pages of their own; the printer must not repeat them.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    const QList<PrintPage> pages = pagesFor(copies);

    QPainter painter;
    if (!painter.begin(&printer))
        return failed(QStringLiteral("The printer could not be started."));
    LineFonts fonts(printer);
    const QSizeF area = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    const qreal scale = fittingScale(pages, fonts, area);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return failed(QStringLiteral("A new page could not be started."));
        }
        drawPage(painter, pages.at(i), fonts, scale);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return failed(QStringLiteral("The pages could not be sent to the printer."));
    return {true, false, {}};
}

PrintOutcome QtPrinting::printPainted(const QString &jobName, const PaintPage &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (!m_dialog(printer))
        return {false, true, {}};
    QPainter painter;
    if (!painter.begin(&printer))
        return failed(QStringLiteral("The printer could not be started."));
    paint(painter, QRectF(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
    if (!painter.end())
        return failed(QStringLiteral("The page could not be sent to the printer."));
    return {true, false, {}};
}

} // namespace plovista
