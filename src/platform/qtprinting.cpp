#include "platform/qtprinting.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <algorithm>
#include <limits>
#include <optional>

namespace plovista {

namespace {

bool showPrintDialog(QPrinter &printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Print"));
    return dialog.exec() == QDialog::Accepted;
}

// The file a job is offered to be written to: in the user's documents folder
// (made when the desktop names one that is not there yet, the home folder
// when it cannot be), named after the job and the day, and numbered when
// that name is taken, so a second sheet never takes the place of the first.
QString pdfFileFor(QString jobName, const QDate &day)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    const QString name =
        jobName.replace(QLatin1Char('/'), QLatin1Char('-')) + QLatin1Char(' ') + day.toString(Qt::ISODate);
    QString path = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = QDir(folder).filePath(QStringLiteral("%1 (%2).pdf").arg(name).arg(number));
    return path;
}

void prepare(QPrinter &printer, const QString &jobName)
{
    printer.setDocName(jobName);
    // The dialog offers this file for printing to PDF; where there is no
    // printer it is what is printed to.
    printer.setOutputFileName(pdfFileFor(jobName, QDate::currentDate()));
    // Naming a PDF file chose PDF output; a printer stays the first choice.
    const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (!preferred.isNull())
        printer.setPrinterName(preferred.printerName());
    else if (!printers.isEmpty())
        printer.setPrinterName(printers.first().printerName());
}

// The dialog, and then only a job to a file keeps the file's name: one on its
// way to a printer must not be written to the file offered.
bool askForPrinter(const QtPrinting::Dialog &dialog, QPrinter &printer)
{
    if (!dialog(printer))
        return false;
    if (printer.outputFormat() == QPrinter::NativeFormat)
        printer.setOutputFileName(QString());
    return true;
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

// Where the ink of a line or a page starts and ends, measured from the left
// of column 1 at the size the line asks for.
struct Ink
{
    qreal left = std::numeric_limits<qreal>::max();
    qreal right = std::numeric_limits<qreal>::lowest();

    bool isEmpty() const { return right < left; }
    qreal width() const { return isEmpty() ? 0 : right - left; }
    void add(const Ink &other)
    {
        left = std::min(left, other.left);
        right = std::max(right, other.right);
    }
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

    // Blanks before and after the text are no part of its ink: a fact starts
    // with the blank of its sign, and a margin is what the eye sees.
    Ink ink(const PrintLine &line)
    {
        const LineFont &lineFont = (*this)(line);
        const QFontMetricsF metrics(lineFont.font, &m_device);
        Ink ink;
        for (const PrintPiece &piece : line.pieces) {
            const qsizetype first = firstInked(piece.text);
            if (first < 0)
                continue;
            qsizetype last = piece.text.size();
            while (piece.text.at(last - 1).isSpace())
                --last;
            const qreal column = (piece.column - 1) * lineFont.columnWidth;
            ink.add({column + metrics.horizontalAdvance(piece.text.left(first)),
                     column + metrics.horizontalAdvance(piece.text.left(last))});
        }
        return ink;
    }

private:
    static qsizetype firstInked(const QString &text)
    {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (!text.at(i).isSpace())
                return i;
        return -1;
    }

    QPaintDevice &m_device;
    QHash<QString, LineFont> m_fonts;
};

// The printable area of the paper in the painter's units (which start at its
// corner), narrowed so that the margins left and right are the same.
QRectF evenPrintableArea(const QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRectPixels(printer.resolution());
    const QRectF printable = layout.paintRectPixels(printer.resolution());
    const qreal side = std::max(printable.left() - paper.left(), paper.right() - printable.right());
    return {side - printable.left(), 0, paper.width() - 2 * side, printable.height()};
}

// The lines of a page the paper is fitted to: all but those printed at a
// size of their own.
Ink blockInk(const PrintPage &page, LineFonts &fonts)
{
    Ink ink;
    for (const PrintLine &line : page.lines)
        if (line.minimumPointSize <= 0)
            ink.add(fonts.ink(line));
    return ink;
}

// The scale a line is drawn at on a page drawn at `scale`: the page's, unless
// that would print it below its smallest size, and then no wider than `room`.
qreal lineScale(const PrintLine &line, qreal scale, LineFonts &fonts, qreal room)
{
    if (line.minimumPointSize <= 0 || line.pointSize <= 0 || line.pointSize * scale >= line.minimumPointSize)
        return scale;
    const qreal readable = qreal(line.minimumPointSize) / line.pointSize;
    const qreal right = fonts.ink(line).right;
    return right > 0 && right * readable > room ? std::max(scale, room / right) : readable;
}

qreal pageHeight(const PrintPage &page, qreal scale, LineFonts &fonts, qreal room)
{
    qreal height = 0;
    for (const PrintLine &line : page.lines)
        height += fonts(line).lineSpacing * lineScale(line, scale, fonts, room);
    return height;
}

// One scale for the whole job, so that every copy looks the same: the widest
// page spans the printable width, unless the longest would then run off the
// foot of the paper.
qreal jobScale(const QList<PrintPage> &pages, LineFonts &fonts, const QRectF &area)
{
    qreal widest = 0;
    for (const PrintPage &page : pages)
        widest = std::max(widest, blockInk(page, fonts).width());
    qreal scale = widest > 0 ? area.width() / widest : 1.0;
    for (const PrintPage &page : pages) {
        if (pageHeight(page, scale, fonts, area.width()) <= area.height())
            continue;
        // Lines kept at their smallest size do not shrink with the rest, so
        // the height is not in proportion to the scale.
        qreal fits = 0;
        qreal tooTall = scale;
        for (int step = 0; step < 40; ++step) {
            const qreal middle = (fits + tooTall) / 2;
            (pageHeight(page, middle, fonts, area.width()) <= area.height() ? fits : tooTall) = middle;
        }
        scale = fits;
    }
    return scale;
}

// The page's ink centred across the area; the spare height shared among its
// empty lines, so that the rows run down the whole sheet and the last line
// stands at its foot.
void drawPage(QPainter &painter, const PrintPage &page, LineFonts &fonts, const QRectF &area, qreal scale)
{
    const Ink ink = blockInk(page, fonts);
    const qreal left =
        ink.isEmpty() ? area.left() : area.left() + (area.width() - ink.width() * scale) / 2 - ink.left * scale;
    const qreal room = area.right() - left;

    qreal used = 0;
    qreal empty = 0;
    for (const PrintLine &line : page.lines) {
        const qreal height = fonts(line).lineSpacing * lineScale(line, scale, fonts, room);
        used += height;
        empty += line.pieces.isEmpty() ? height : 0;
    }
    const qreal spare = area.height() - used;
    const qreal stretch = spare > 0 && empty > 0 ? 1 + spare / empty : 1;

    qreal top = area.top();
    for (const PrintLine &line : page.lines) {
        const LineFont &lineFont = fonts(line);
        const qreal lineScaled = lineScale(line, scale, fonts, room);
        const qreal height = lineFont.lineSpacing * lineScaled;
        if (line.pieces.isEmpty()) {
            top += height * stretch;
            continue;
        }
        painter.save();
        painter.translate(left, top);
        painter.scale(lineScaled, lineScaled);
        painter.setFont(lineFont.font);
        for (const PrintPiece &piece : line.pieces)
            painter.drawText(QPointF((piece.column - 1) * lineFont.columnWidth, lineFont.ascent), piece.text);
        painter.restore();
        top += height;
    }
}

} // namespace

QtPrinting::QtPrinting(Dialog dialog)
    : m_dialog(dialog ? std::move(dialog) : Dialog(showPrintDialog))
{ }

PrintOutcome QtPrinting::printImage(const QImage &image, const QString &jobName)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, jobName);
    if (!askForPrinter(m_dialog, printer))
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
    if (!askForPrinter(m_dialog, printer))
        return {false, true, {}};
    // The copies are pages of their own; the printer must not repeat them.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    const QList<PrintPage> pages = pagesFor(copies);

    QPainter painter;
    if (!painter.begin(&printer))
        return failed(QStringLiteral("The printer could not be started."));
    LineFonts fonts(printer);
    const QRectF area = evenPrintableArea(printer);
    const qreal scale = jobScale(pages, fonts, area);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return failed(QStringLiteral("A new page could not be started."));
        }
        drawPage(painter, pages.at(i), fonts, area, scale);
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
    if (!askForPrinter(m_dialog, printer))
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
