#include "fluency/gridpainter.h"

#include "app/fontfamilies.h"
#include "fluency/fluencygrid.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace plovista {

namespace {

// The drawing is laid out in these units and scaled to the area.
constexpr qreal FrameWidth = 960;
constexpr qreal FrameHeight = 712;
constexpr qreal GridTop = 72;
constexpr qreal HeaderHeight = 30;
constexpr qreal RowHeaderWidth = 56;
constexpr qreal Cell = 44;
constexpr qreal CountWidth = 84;
constexpr qreal KeyLeft = 748;

const QColor Ink(0x1b, 0x26, 0x4a);
const QColor Rule(0x8a, 0x94, 0xa6);

constexpr std::array<FactStatus, 6> KeyOrder = {FactStatus::Automatic, FactStatus::Stale,     FactStatus::Fluent,
                                                FactStatus::Slow,      FactStatus::NeedsWork, FactStatus::Unseen};

QColor fillOf(FactStatus status)
{
    switch (status) {
    case FactStatus::Unseen:
        return QColor(0xff, 0xff, 0xff);
    case FactStatus::NeedsWork:
        return QColor(0xf2, 0xa0, 0x97);
    case FactStatus::Slow:
        return QColor(0xf7, 0xd6, 0x8a);
    case FactStatus::Fluent:
        return QColor(0xcf, 0xe8, 0xb8);
    case FactStatus::Automatic:
        return QColor(0x79, 0xc2, 0x8f);
    case FactStatus::Stale:
        return QColor(0xc9, 0xd3, 0xcc);
    }
    return Qt::white;
}

QString keyText(FactStatus status)
{
    switch (status) {
    case FactStatus::Unseen:
        return QStringLiteral("Not asked yet");
    case FactStatus::NeedsWork:
        return QStringLiteral("Needs work: the latest answer wrong, or two of the last three");
    case FactStatus::Slow:
        return QStringLiteral("Right but slow");
    case FactStatus::Fluent:
        return QStringLiteral("Fluent, on one day so far");
    case FactStatus::Automatic:
        return QStringLiteral("Automatic: fluent on two days, the latest answer right");
    case FactStatus::Stale:
        return QStringLiteral("Automatic, but not asked for 30 days");
    }
    return {};
}

QFont font(qreal pixels, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setFamilies(
        installedFirst({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}));
    f.setPixelSize(static_cast<int>(pixels));
    f.setBold(bold);
    return f;
}

// Shapes rather than colours alone, so the statuses stay apart on a
// greyscale printer.
void drawGlyph(QPainter &p, FactStatus status, const QRectF &box)
{
    p.save();
    p.setPen(QPen(Ink, 1.6));
    p.setBrush(Qt::NoBrush);
    switch (status) {
    case FactStatus::Unseen:
        break;
    case FactStatus::NeedsWork:
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        break;
    case FactStatus::Slow: {
        QPolygonF triangle;
        triangle << QPointF(box.center().x(), box.top()) << box.bottomRight() << box.bottomLeft();
        p.drawPolygon(triangle);
        break;
    }
    case FactStatus::Fluent:
        p.drawEllipse(box);
        break;
    case FactStatus::Automatic:
        p.setBrush(Ink);
        p.drawEllipse(box);
        break;
    case FactStatus::Stale: {
        p.drawEllipse(box);
        QPainterPath half;
        half.moveTo(box.center());
        half.arcTo(box, 90, 180);
        half.closeSubpath();
        p.fillPath(half, Ink);
        break;
    }
    }
    p.restore();
}

void drawCell(QPainter &p, const QRectF &r, const GridCell &cell)
{
    if (!cell.isFact) {
        p.fillRect(r, QColor(0xee, 0xee, 0xee));
        p.fillRect(r, QBrush(QColor(0xb8, 0xb8, 0xb8), Qt::BDiagPattern));
    } else {
        p.fillRect(r, fillOf(cell.status));
        drawGlyph(p, cell.status, QRectF(r.left() + 4, r.top() + 4, 10, 10));
        if (cell.ms) {
            p.setFont(font(14));
            p.setPen(Ink);
            const QString seconds = QLocale::system().toString(*cell.ms / 1000.0, 'f', 1);
            p.drawText(r.adjusted(0, 14, 0, 0), Qt::AlignCenter, seconds);
        }
    }
    p.setPen(QPen(Rule, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void drawKey(QPainter &p)
{
    p.setPen(Ink);
    p.setFont(font(16, true));
    p.drawText(QRectF(KeyLeft, GridTop, FrameWidth - KeyLeft, HeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Key"));
    qreal top = GridTop + HeaderHeight + 6;
    for (const FactStatus status : KeyOrder) {
        const QRectF swatch(KeyLeft, top, 30, 30);
        p.fillRect(swatch, fillOf(status));
        drawGlyph(p, status, QRectF(swatch.left() + 9, swatch.top() + 9, 12, 12));
        p.setPen(QPen(Rule, 1));
        p.drawRect(swatch);
        p.setPen(Ink);
        p.setFont(font(13));
        p.drawText(QRectF(KeyLeft + 40, top - 2, FrameWidth - KeyLeft - 40, 52), Qt::AlignLeft | Qt::TextWordWrap,
                   keyText(status));
        top += 60;
    }
}

} // namespace

void paintFluencyGrid(QPainter &p, const QRectF &area, const FluencyGrid &grid)
{
    p.save();
    const qreal scale = std::min(area.width() / FrameWidth, area.height() / FrameHeight);
    p.translate(area.left() + (area.width() - FrameWidth * scale) / 2, area.top());
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);

    const QLocale locale = QLocale::system();
    p.setPen(Ink);
    p.setFont(font(24, true));
    p.drawText(QRectF(0, 0, FrameWidth, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1: %2").arg(grid.student, operationName(grid.operation)));
    p.setFont(font(14));
    p.drawText(
        QRectF(0, 36, FrameWidth, 24), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Fluent: right at the first try in under %1 seconds. Times are medians, in seconds. %2")
            .arg(locale.toString(grid.thresholdMs / 1000.0, 'f', 1), locale.toString(grid.today, QLocale::LongFormat)));

    const qreal left = RowHeaderWidth;
    const qreal countLeft = left + grid.columns * Cell;
    p.setFont(font(15, true));
    for (int index = 0; index < grid.columns; ++index)
        p.drawText(QRectF(left + index * Cell, GridTop, Cell, HeaderHeight), Qt::AlignCenter,
                   QString::number(grid.columnNumber(index)));
    p.setFont(font(13, true));
    p.drawText(QRectF(countLeft, GridTop, CountWidth, HeaderHeight), Qt::AlignCenter, QStringLiteral("Automatic"));

    for (int row = 0; row < grid.rows; ++row) {
        const qreal top = GridTop + HeaderHeight + row * Cell;
        p.setPen(Ink);
        p.setFont(font(15, true));
        p.drawText(QRectF(0, top, RowHeaderWidth - 8, Cell), Qt::AlignRight | Qt::AlignVCenter, grid.rowLabel(row));
        for (int index = 0; index < grid.columns; ++index)
            drawCell(p, QRectF(left + index * Cell, top, Cell, Cell), grid.at(row, index));
        p.setPen(Ink);
        p.setFont(font(15));
        p.drawText(QRectF(countLeft, top, CountWidth, Cell), Qt::AlignCenter,
                   QString::number(grid.automaticInRow[static_cast<std::size_t>(row)]));
    }

    const qreal bottom = GridTop + HeaderHeight + grid.rows * Cell;
    p.setPen(Ink);
    p.setFont(font(16, true));
    p.drawText(QRectF(0, bottom + 10, countLeft + CountWidth, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Automatic: %1 of %2 facts").arg(grid.automatic).arg(grid.facts));
    drawKey(p);
    p.restore();
}

} // namespace plovista
