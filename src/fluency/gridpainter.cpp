#include "fluency/gridpainter.h"

#include "app/fontfamilies.h"
#include "fluency/fluencygrid.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

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

constexpr std::array<FactLevel, 4> KeyOrder = {FactLevel::KnowsIt, FactLevel::Almost, FactLevel::TeachIt,
                                               FactLevel::NotAsked};

QString keyText(FactLevel level)
{
    switch (level) {
    case FactLevel::NotAsked:
        return QStringLiteral("Not asked yet");
    case FactLevel::TeachIt:
        return QStringLiteral("Teach it: the latest answer wrong, or two of the last three");
    case FactLevel::Almost:
        return QStringLiteral("Almost: right but slow, fluent on one day so far, or not asked for 30 days");
    case FactLevel::KnowsIt:
        return QStringLiteral("Knows it: fluent on two days, the latest answer right");
    }
    return {};
}

// The scale of the drawing in an area, and the glyph's side in the
// drawing's units for at least 12 pixels of the painter's device.
struct Frame
{
    qreal scale = 1;
    QPointF origin;
    qreal glyph = 16;
};

Frame frameIn(const QRectF &area, const QPainter *p)
{
    Frame f;
    f.scale = std::min(area.width() / FrameWidth, area.height() / FrameHeight);
    f.origin = QPointF(area.left() + (area.width() - FrameWidth * f.scale) / 2, area.top());
    qreal devicePerUnit = f.scale;
    if (p)
        devicePerUnit *= std::sqrt(std::abs(p->transform().determinant()));
    if (devicePerUnit > 0)
        f.glyph = std::clamp(12.5 / devicePerUnit, 16.0, Cell / 2);
    return f;
}

void drawCell(QPainter &p, const QRectF &r, const GridCell &cell, qreal glyph)
{
    if (!cell.isFact || !cell.drilled) {
        drawUndrilled(p, r);
    } else {
        const FactLevel level = factLevel(cell.status);
        p.fillRect(r, levelFill(level));
        // A "teach it" cell has no time: the answer that decides it was wrong.
        const bool timed = cell.ms && level != FactLevel::TeachIt;
        const qreal glyphTop = timed ? r.top() + 3 : r.center().y() - glyph / 2;
        drawLevelGlyph(p, level, QRectF(r.center().x() - glyph / 2, glyphTop, glyph, glyph));
        if (timed) {
            p.setFont(gridFont(14));
            p.setPen(levelInk(level));
            const QString seconds = QLocale::system().toString(*cell.ms / 1000.0, 'f', 1);
            p.drawText(QRectF(r.left(), glyphTop + glyph, r.width(), r.bottom() - glyphTop - glyph), Qt::AlignCenter,
                       seconds);
        }
    }
    p.setPen(QPen(Rule, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void drawKey(QPainter &p, qreal glyph)
{
    p.setPen(Ink);
    p.setFont(gridFont(16, true));
    p.drawText(QRectF(KeyLeft, GridTop, FrameWidth - KeyLeft, HeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Key"));
    qreal top = GridTop + HeaderHeight + 6;
    const auto entry = [&](const QString &text) {
        p.setPen(QPen(Rule, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(KeyLeft, top, 30, 30));
        p.setPen(Ink);
        p.setFont(gridFont(13));
        p.drawText(QRectF(KeyLeft + 40, top - 2, FrameWidth - KeyLeft - 40, 60), Qt::AlignLeft | Qt::TextWordWrap,
                   text);
        top += 72;
    };
    for (const FactLevel level : KeyOrder) {
        const QRectF swatch(KeyLeft, top, 30, 30);
        p.fillRect(swatch, levelFill(level));
        const qreal side = std::min(glyph, 24.0);
        drawLevelGlyph(p, level, QRectF(swatch.center().x() - side / 2, swatch.center().y() - side / 2, side, side));
        entry(keyText(level));
    }
    drawUndrilled(p, QRectF(KeyLeft, top, 30, 30));
    entry(QStringLiteral("Not in the drills of the student's range"));
}

} // namespace

QColor levelFill(FactLevel level)
{
    switch (level) {
    case FactLevel::NotAsked:
        return QColor(0xff, 0xff, 0xff);
    case FactLevel::TeachIt:
        return QColor(0xd3, 0x5f, 0x36);
    case FactLevel::Almost:
        return QColor(0xf2, 0xc1, 0x4e);
    case FactLevel::KnowsIt:
        return QColor(0x1b, 0x4b, 0x87);
    }
    return Qt::white;
}

void drawUndrilled(QPainter &p, const QRectF &r)
{
    p.fillRect(r, QColor(0xee, 0xee, 0xee));
    p.fillRect(r, QBrush(QColor(0xb8, 0xb8, 0xb8), Qt::BDiagPattern));
}

QColor levelInk(FactLevel level)
{
    return level == FactLevel::KnowsIt ? QColor(Qt::white) : Ink;
}

QString levelCaption(FactLevel level)
{
    QString name = levelName(level);
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

void drawLevelGlyph(QPainter &p, FactLevel level, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = levelInk(level);
    QPen pen(ink, std::max<qreal>(1.6, box.width() / 7));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF in = box.adjusted(box.width() / 8, box.height() / 8, -box.width() / 8, -box.height() / 8);
    switch (level) {
    case FactLevel::NotAsked:
        break;
    case FactLevel::TeachIt:
        p.drawLine(in.topLeft(), in.bottomRight());
        p.drawLine(in.topRight(), in.bottomLeft());
        break;
    case FactLevel::Almost: {
        p.setPen(QPen(ink, std::max<qreal>(1.4, box.width() / 10)));
        p.drawEllipse(in);
        QPainterPath half;
        half.moveTo(in.center());
        half.arcTo(in, 90, 180);
        half.closeSubpath();
        p.fillPath(half, ink);
        break;
    }
    case FactLevel::KnowsIt: {
        QPolygonF tick;
        tick << QPointF(in.left(), in.top() + in.height() * 0.55) << QPointF(in.left() + in.width() * 0.38, in.bottom())
             << QPointF(in.right(), in.top() + in.height() * 0.1);
        p.drawPolyline(tick);
        break;
    }
    }
    p.restore();
}

QFont gridFont(qreal pixels, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setFamilies(
        installedFirst({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}));
    f.setPixelSize(static_cast<int>(pixels));
    f.setBold(bold);
    return f;
}

void paintFluencyGrid(QPainter &p, const QRectF &area, const FluencyGrid &grid)
{
    p.save();
    const Frame frame = frameIn(area, &p);
    p.translate(frame.origin);
    p.scale(frame.scale, frame.scale);
    p.setRenderHint(QPainter::Antialiasing);

    const QLocale locale = QLocale::system();
    p.setPen(Ink);
    p.setFont(gridFont(24, true));
    p.drawText(QRectF(0, 0, FrameWidth, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1: %2").arg(grid.student, operationName(grid.operation)));
    p.setFont(gridFont(14));
    p.drawText(
        QRectF(0, 36, FrameWidth, 24), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Fluent: right at the first try in under %1 seconds. A time is that of the answer "
                       "that decides the fact's level, in seconds. %2")
            .arg(locale.toString(grid.thresholdMs / 1000.0, 'f', 1), locale.toString(grid.today, QLocale::LongFormat)));

    const qreal left = RowHeaderWidth;
    const qreal countLeft = left + grid.columns * Cell;
    p.setFont(gridFont(15, true));
    for (int index = 0; index < grid.columns; ++index)
        p.drawText(QRectF(left + index * Cell, GridTop, Cell, HeaderHeight), Qt::AlignCenter,
                   QString::number(grid.columnNumber(index)));
    p.setFont(gridFont(13, true));
    p.drawText(QRectF(countLeft, GridTop, CountWidth, HeaderHeight), Qt::AlignCenter, QStringLiteral("Knows it"));

    for (int row = 0; row < grid.rows; ++row) {
        const qreal top = GridTop + HeaderHeight + row * Cell;
        p.setPen(Ink);
        p.setFont(gridFont(15, true));
        p.drawText(QRectF(0, top, RowHeaderWidth - 8, Cell), Qt::AlignRight | Qt::AlignVCenter, grid.rowLabel(row));
        for (int index = 0; index < grid.columns; ++index)
            drawCell(p, QRectF(left + index * Cell, top, Cell, Cell), grid.at(row, index), frame.glyph);
        p.setPen(Ink);
        p.setFont(gridFont(15));
        p.drawText(QRectF(countLeft, top, CountWidth, Cell), Qt::AlignCenter,
                   QString::number(grid.automaticInRow[static_cast<std::size_t>(row)]));
    }

    const qreal bottom = GridTop + HeaderHeight + grid.rows * Cell;
    p.setPen(Ink);
    p.setFont(gridFont(16, true));
    p.drawText(QRectF(0, bottom + 10, countLeft + CountWidth, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Knows it: %1 of %2 facts drilled").arg(grid.automatic).arg(grid.facts));
    drawKey(p, frame.glyph);
    p.restore();
}

std::optional<GridPlace> fluencyGridCellAt(const QRectF &area, const FluencyGrid &grid, QPointF point)
{
    const Frame frame = frameIn(area, nullptr);
    if (frame.scale <= 0)
        return std::nullopt;
    const QPointF at = (point - frame.origin) / frame.scale;
    const qreal x = at.x() - RowHeaderWidth;
    const qreal y = at.y() - GridTop - HeaderHeight;
    if (x < 0 || y < 0)
        return std::nullopt;
    const int column = static_cast<int>(x / Cell);
    const int row = static_cast<int>(y / Cell);
    if (row >= grid.rows || column >= grid.columns)
        return std::nullopt;
    return GridPlace {row, column};
}

} // namespace plovista
