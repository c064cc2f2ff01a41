#include "practice/practicepainter.h"

#include "fluency/answerlog.h"
#include "fluency/gridpainter.h"
#include "practice/practicesession.h"
#include "selection/selectioncodes.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace plovista {

namespace {

// The map is laid out in these units and scaled to the area.
constexpr qreal MapWidth = 640;
constexpr qreal MapHeight = 560;
constexpr qreal HeaderSide = 40;
constexpr qreal KeyHeight = 36;

const QColor Ink(0x1b, 0x26, 0x4a);
const QColor Rule(0x8a, 0x94, 0xa6);
// Today's new facts are ringed in a colour none of the levels uses.
const QColor NewRing(0x2e, 0x8b, 0x57);

constexpr std::array<FactLevel, 4> KeyOrder = {FactLevel::KnowsIt, FactLevel::Almost, FactLevel::TeachIt,
                                               FactLevel::NotAsked};

// The child's words for the levels.
QString childCaption(FactLevel level)
{
    switch (level) {
    case FactLevel::KnowsIt:
        return QStringLiteral("I know it");
    case FactLevel::Almost:
        return QStringLiteral("Almost");
    case FactLevel::TeachIt:
        return QStringLiteral("Learning");
    case FactLevel::NotAsked:
        return QStringLiteral("Not yet");
    }
    return {};
}

struct Extent
{
    int firstRow = 0;
    int last = 9;
};

// The families and numbers the map shows: 0 to 9, or to 12 once a fact
// beyond 9 was practised; division has no family 0.
Extent extentOf(const PracticeMap &map)
{
    Extent e;
    e.firstRow = map.operation == Operation::Division ? 1 : 0;
    for (auto it = map.levels.cbegin(); it != map.levels.cend(); ++it) {
        const std::optional<FactCell> cell = factCell(map.operation, it.key().first, it.key().second);
        if (cell && (cell->row > 9 || cell->column > 9))
            e.last = 12;
    }
    return e;
}

// Today's new facts: a heavy green frame with a white edge inside, seen on
// every fill of the levels, the dark "knows it" among them.
void drawNewMark(QPainter &p, const QRectF &box)
{
    const qreal side = box.width();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(NewRing, side * 0.14, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(box.adjusted(side * 0.07, side * 0.07, -side * 0.07, -side * 0.07));
    p.setPen(QPen(Qt::white, side * 0.04));
    p.drawRect(box.adjusted(side * 0.16, side * 0.16, -side * 0.16, -side * 0.16));
}

} // namespace

QString practiceFactText(const Fact &fact)
{
    if (const std::optional<FactCell> cell = factCell(fact.operation, fact.left, fact.right))
        return factText(*cell);
    return QStringLiteral("%1 %2 %3").arg(fact.left).arg(operationSign(fact.operation)).arg(fact.right);
}

void paintPracticeMap(QPainter &p, const QRectF &area, const PracticeMap &map)
{
    const Extent extent = extentOf(map);
    const int rows = extent.last - extent.firstRow + 1;
    const int columns = extent.last + 1;
    const qreal cell = std::min((MapWidth - HeaderSide) / columns, (MapHeight - HeaderSide - KeyHeight) / rows);

    p.save();
    const qreal scale = std::min(area.width() / MapWidth, area.height() / MapHeight);
    p.translate(area.left() + (area.width() - MapWidth * scale) / 2, area.top());
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);

    QMap<QPair<int, int>, FactLevel> byCell; // (row, column)
    for (auto it = map.levels.cbegin(); it != map.levels.cend(); ++it)
        if (const std::optional<FactCell> c = factCell(map.operation, it.key().first, it.key().second))
            byCell.insert({c->row, c->column}, it.value());
    QList<QPair<int, int>> fresh;
    for (const Fact &fact : map.newToday)
        if (const std::optional<FactCell> c = factCell(map.operation, fact.left, fact.right))
            fresh << QPair<int, int>(c->row, c->column);

    const QString sign = operationSign(map.operation);
    p.setPen(Ink);
    p.setFont(gridFont(std::min<qreal>(18, cell * 0.45), true));
    for (int column = 0; column < columns; ++column)
        p.drawText(QRectF(HeaderSide + column * cell, 0, cell, HeaderSide), Qt::AlignCenter, QString::number(column));
    const qreal glyph = cell * 0.5;
    for (int r = 0; r < rows; ++r) {
        const int row = extent.firstRow + r;
        const qreal top = HeaderSide + r * cell;
        p.setPen(Ink);
        p.setFont(gridFont(std::min<qreal>(18, cell * 0.45), true));
        p.drawText(QRectF(0, top, HeaderSide - 4, cell), Qt::AlignRight | Qt::AlignVCenter,
                   sign + QString::number(row));
        for (int column = 0; column < columns; ++column) {
            const QRectF box(HeaderSide + column * cell, top, cell, cell);
            if (!isGridFact({map.operation, row, column})) {
                drawUndrilled(p, box);
            } else {
                const FactLevel level = byCell.value({row, column}, FactLevel::NotAsked);
                p.fillRect(box, levelFill(level));
                drawLevelGlyph(p, level,
                               QRectF(box.center().x() - glyph / 2, box.center().y() - glyph / 2, glyph, glyph));
            }
            p.setPen(QPen(Rule, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box);
            if (fresh.contains(QPair<int, int>(row, column)))
                drawNewMark(p, box);
        }
    }

    // The key, in one row under the map.
    const qreal keyTop = HeaderSide + rows * cell + 10;
    qreal left = 0;
    p.setFont(gridFont(14));
    const qreal swatch = 20;
    for (const FactLevel level : KeyOrder) {
        const QRectF box(left, keyTop, swatch, swatch);
        p.fillRect(box, levelFill(level));
        drawLevelGlyph(p, level, box);
        p.setPen(QPen(Rule, 1));
        p.drawRect(box);
        p.setPen(Ink);
        const QString text = childCaption(level);
        p.drawText(QRectF(left + swatch + 6, keyTop - 4, 120, swatch + 8), Qt::AlignLeft | Qt::AlignVCenter, text);
        left += swatch + 14 + p.fontMetrics().horizontalAdvance(text) + 4;
    }
    if (!fresh.isEmpty()) {
        const QRectF box(left, keyTop, swatch, swatch);
        drawNewMark(p, box);
        p.setPen(Ink);
        p.drawText(QRectF(left + swatch + 6, keyTop - 4, 120, swatch + 8), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("New today"));
    }
    p.restore();
}

void paintPracticeRing(QPainter &p, const QRectF &area, double done, int practiceDays)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(area.width(), area.height());
    const qreal thickness = side / 9;
    const QRectF ring(area.center().x() - side / 2 + thickness / 2, area.center().y() - side / 2 + thickness / 2,
                      side - thickness, side - thickness);
    p.setPen(QPen(QColor(0xdd, 0xe3, 0xee), thickness, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(ring);
    const double share = std::clamp(done, 0.0, 1.0);
    if (share > 0) {
        p.setPen(QPen(NewRing, thickness, Qt::SolidLine, share < 1 ? Qt::RoundCap : Qt::FlatCap));
        // Clockwise from the top, as a clock's hand goes.
        p.drawArc(ring, 90 * 16, -static_cast<int>(std::lround(share * 360 * 16)));
    }
    if (practiceDays < 0) {
        p.restore();
        return;
    }
    p.setPen(Ink);
    QFont big = gridFont(side * 0.3, true);
    p.setFont(big);
    const QRectF inner = ring.adjusted(thickness, thickness, -thickness, -thickness);
    p.drawText(QRectF(inner.left(), inner.top(), inner.width(), inner.height() * 0.62),
               Qt::AlignHCenter | Qt::AlignBottom, QString::number(practiceDays));
    p.setFont(gridFont(side * 0.1));
    p.drawText(QRectF(inner.left(), inner.top() + inner.height() * 0.62, inner.width(), inner.height() * 0.3),
               Qt::AlignHCenter | Qt::AlignTop,
               practiceDays == 1 ? QStringLiteral("practice day") : QStringLiteral("practice days"));
    p.restore();
}

void paintCertificate(QPainter &p, const QRectF &page, const QString &student, Operation operation,
                      const QList<int> &families, const QDate &day)
{
    // Laid out on a page of these units, scaled to the paper, landscape or not.
    constexpr qreal Width = 800;
    constexpr qreal Height = 1000;
    p.save();
    const qreal scale = std::min(page.width() / Width, page.height() / Height);
    p.translate(page.left() + (page.width() - Width * scale) / 2, page.top() + (page.height() - Height * scale) / 2);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);

    // A double border, as a certificate has.
    p.setPen(QPen(Ink, 6));
    p.drawRect(QRectF(20, 20, Width - 40, Height - 40));
    p.setPen(QPen(NewRing, 2));
    p.drawRect(QRectF(40, 40, Width - 80, Height - 80));

    const auto line = [&](qreal top, qreal height, const QFont &font, const QString &text, QColor colour = Ink) {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QRectF(70, top, Width - 140, height), Qt::AlignCenter | Qt::TextWordWrap, text);
    };
    line(110, 80, gridFont(58, true), QStringLiteral("Certificate"));
    line(200, 40, gridFont(24), QStringLiteral("Daily Practice"), NewRing);
    line(300, 40, gridFont(24), QStringLiteral("This is to say that"));
    line(360, 90, gridFont(52, true), student);
    QStringList names;
    for (const int family : families)
        names << operationSign(operation) + QString::number(family);
    const QString what = names.size() == 1
        ? QStringLiteral("knows the %1 facts by heart").arg(names.first())
        : QStringLiteral("knows the %1 facts by heart")
              .arg(names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last());
    line(480, 120, gridFont(32), what);
    line(620, 40, gridFont(22), operationName(operation));

    // The family's facts with their answers, as a reminder of what was
    // learnt (the first family's, when there are several), in two rows.
    if (!families.isEmpty()) {
        const int family = families.first();
        QStringList facts;
        for (int n = operation == Operation::Division ? 1 : 0; n <= 9; ++n) {
            const FactCell cell {operation, family, n};
            if (isGridFact(cell)) {
                const Fact fact = practiceFact(cell);
                facts << QStringLiteral("%1 = %2").arg(factText(cell)).arg(fact.answer);
            }
        }
        const qsizetype half = (facts.size() + 1) / 2;
        const QString gap = QStringLiteral("     ");
        line(680, 130, gridFont(20), facts.mid(0, half).join(gap) + QLatin1Char('\n') + facts.mid(half).join(gap),
             QColor(0x55, 0x5f, 0x75));
    }
    line(860, 40, gridFont(22), QLocale::system().toString(day, QLocale::LongFormat));
    p.restore();
}

} // namespace plovista
