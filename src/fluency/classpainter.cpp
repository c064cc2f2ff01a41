#include "fluency/classpainter.h"

#include "fluency/answerlog.h"
#include "fluency/classview.h"
#include "fluency/gridpainter.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace plovista {

namespace {

// The drawing is laid out in these units and scaled to the area.
constexpr qreal FrameWidth = 1104;
constexpr qreal TableTop = 84;
constexpr qreal HeaderHeight = 30;
constexpr qreal NameWidth = 160;
constexpr qreal FamilyWidth = 54;
constexpr qreal RowHeight = 30;
constexpr qreal KnownWidth = 90;
constexpr qreal ChartWidth = 140;
constexpr qreal LastWidth = 120;
constexpr qreal HardLine = 24;
constexpr int GapColumns = 4;
constexpr qreal KeyHeight = 120;
// Weeks the chart of a student goes back at most.
constexpr std::size_t ChartWeeks = 26;

const QColor Ink(0x1b, 0x26, 0x4a);
const QColor Rule(0x8a, 0x94, 0xa6);

qreal tableWidth(const ClassView &view)
{
    return NameWidth + static_cast<qreal>(view.families.size()) * FamilyWidth + KnownWidth + ChartWidth + LastWidth;
}

qreal gapsTop(const ClassView &view)
{
    return TableTop + HeaderHeight + static_cast<qreal>(std::max<std::size_t>(view.students.size(), 1)) * RowHeight +
        24;
}

qreal gapsHeight(const ClassView &view, ClassMedium medium)
{
    if (medium == ClassMedium::Screen)
        return 0;
    const std::size_t gaps = practiceGaps(view).size();
    const std::size_t rows = std::max<std::size_t>((gaps + GapColumns - 1) / GapColumns, 1);
    return 34 + static_cast<qreal>(rows) * HardLine + 16;
}

qreal hardTop(const ClassView &view, ClassMedium medium)
{
    return gapsTop(view) + gapsHeight(view, medium);
}

qreal hardHeight(const ClassView &view)
{
    return 34 + static_cast<qreal>(std::max<std::size_t>(view.hardest.size(), 1)) * HardLine + 16;
}

QString percent(const LevelCounts &counts)
{
    if (counts.asked() == 0)
        return QStringLiteral("-");
    return QStringLiteral("%1%").arg(static_cast<int>(std::lround(100.0 * counts.known / counts.total())));
}

void drawChart(QPainter &p, const QRectF &r, const std::vector<WeekCount> &weeks, int most)
{
    p.setPen(QPen(Rule, 1));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    if (weeks.empty() || most <= 0)
        return;
    p.save();
    const std::size_t first = weeks.size() > ChartWeeks ? weeks.size() - ChartWeeks : 0;
    const std::size_t count = weeks.size() - first;
    const qreal step = count > 1 ? r.width() / static_cast<qreal>(count - 1) : 0;
    QPolygonF line;
    for (std::size_t i = 0; i < count; ++i) {
        const qreal share = std::clamp(static_cast<qreal>(weeks[first + i].known) / most, 0.0, 1.0);
        line << QPointF(r.left() + step * static_cast<qreal>(i), r.bottom() - share * r.height());
    }
    if (count == 1)
        line << QPointF(r.right(), line.front().y());
    // A line alone: a filled area would read as a fill of the key in grey.
    p.setPen(QPen(levelFill(FactLevel::KnowsIt), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    p.setBrush(levelFill(FactLevel::KnowsIt));
    p.drawEllipse(line.back(), 2.5, 2.5);
    p.restore();
}

void drawFamilyCell(QPainter &p, const QRectF &r, const LevelCounts &counts, qreal glyph)
{
    if (counts.total() == 0) { // outside the student's range
        drawUndrilled(p, r);
        p.setPen(QPen(Rule, 1));
        p.drawRect(r);
        return;
    }
    const FactLevel level = familyLevel(counts);
    p.fillRect(r, levelFill(level));
    if (level != FactLevel::NotAsked)
        drawLevelGlyph(p, level, QRectF(r.left() + 2, r.center().y() - glyph / 2, glyph, glyph));
    p.setPen(levelInk(level));
    p.setFont(gridFont(14));
    p.drawText(r.adjusted(glyph, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter, percent(counts));
    p.setPen(QPen(Rule, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void drawKey(QPainter &p, qreal top, qreal glyph)
{
    p.setPen(Ink);
    p.setFont(gridFont(16, true));
    p.drawText(QRectF(0, top, FrameWidth, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Key"));
    constexpr std::array Levels = {FactLevel::KnowsIt, FactLevel::Almost, FactLevel::TeachIt, FactLevel::NotAsked};
    const std::array<QString, 5> texts = {
        QStringLiteral("Knows it: four in five of the family's facts known, or more"),
        QStringLiteral("Almost: fewer known, and fewer to teach"),
        QStringLiteral("Teach it: one in five of the facts asked to teach, or more"),
        QStringLiteral("Not asked yet: no fact of the family asked"),
        QStringLiteral("Not in the drills of the student's range"),
    };
    qreal left = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QRectF swatch(left, top + 32, 30, 30);
        if (i < Levels.size()) {
            p.fillRect(swatch, levelFill(Levels[i]));
            const qreal side = std::min(glyph, 24.0);
            drawLevelGlyph(p, Levels[i],
                           QRectF(swatch.center().x() - side / 2, swatch.center().y() - side / 2, side, side));
        } else {
            drawUndrilled(p, swatch);
        }
        p.setPen(QPen(Rule, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(swatch);
        p.setPen(Ink);
        p.setFont(gridFont(13));
        p.drawText(QRectF(left + 38, top + 28, FrameWidth / 5 - 44, 80), Qt::AlignLeft | Qt::TextWordWrap, texts[i]);
        left += FrameWidth / 5;
    }
}

void drawPracticeGaps(QPainter &p, qreal top, const std::vector<PracticeGap> &gaps)
{
    p.setPen(Ink);
    p.setFont(gridFont(16, true));
    p.drawText(QRectF(0, top, FrameWidth, 28), Qt::AlignLeft | Qt::AlignVCenter, practiceGapsCaption());
    top += 34;
    p.setFont(gridFont(14));
    if (gaps.empty())
        p.drawText(QRectF(0, top, FrameWidth, HardLine), Qt::AlignLeft | Qt::AlignVCenter, practiceGapsNone());
    // "Name: date", the name cut short where the pair would not fit: the
    // date stays beside its name, never nearer the next column's.
    constexpr qreal column = FrameWidth / GapColumns;
    const QFontMetricsF metrics(p.font(), p.device());
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        const QString date = QStringLiteral(": ") + lastPractisedText(gaps[i].lastPractised);
        const qreal room = column - 24 - metrics.horizontalAdvance(date);
        const QString text = metrics.elidedText(gaps[i].name, Qt::ElideRight, room) + date;
        p.drawText(QRectF(static_cast<qreal>(i % GapColumns) * column,
                          top + static_cast<qreal>(i / GapColumns) * HardLine, column - 24, HardLine),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

} // namespace

QSizeF classViewFrame(const ClassView &view, ClassMedium medium)
{
    return {std::max(FrameWidth, tableWidth(view)), hardTop(view, medium) + hardHeight(view) + KeyHeight};
}

void paintClassView(QPainter &p, const QRectF &area, const ClassView &view, ClassMedium medium)
{
    p.save();
    const QSizeF frame = classViewFrame(view, medium);
    const qreal scale = std::min(area.width() / frame.width(), area.height() / frame.height());
    p.translate(area.left() + (area.width() - frame.width() * scale) / 2, area.top());
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    // Glyphs of at least 12 pixels of the device.
    const qreal devicePerUnit = std::sqrt(std::abs(p.transform().determinant()));
    const qreal glyph = devicePerUnit > 0 ? std::clamp(12.5 / devicePerUnit, 13.0, 20.0) : 13.0;

    const QLocale locale = QLocale::system();
    p.setPen(Ink);
    p.setFont(gridFont(24, true));
    p.drawText(QRectF(0, 0, frame.width(), 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Class: %1").arg(operationName(view.operation)));
    p.setFont(gridFont(14));
    p.drawText(
        QRectF(0, 36, frame.width(), 40), Qt::AlignLeft | Qt::TextWordWrap,
        QStringLiteral("Each cell: the share of the family's facts the student knows (fluent, right at the "
                       "first try in under %1 seconds, on two days). %2")
            .arg(locale.toString(view.thresholdMs / 1000.0, 'f', 1), locale.toString(view.today, QLocale::LongFormat)));

    // One scale for every student's chart: up to the most facts any student
    // of the class knew in a week, so the lines fill their height and compare.
    int most = 0;
    for (const ClassStudent &student : view.students)
        for (const WeekCount &week : student.knownByWeek)
            most = std::max(most, week.known);
    qreal x = NameWidth;
    p.setFont(gridFont(14, true));
    p.drawText(QRectF(0, TableTop, NameWidth, HeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Student"));
    for (const QString &family : view.families) {
        p.drawText(QRectF(x, TableTop, FamilyWidth, HeaderHeight), Qt::AlignCenter, family);
        x += FamilyWidth;
    }
    p.drawText(QRectF(x, TableTop, KnownWidth, HeaderHeight), Qt::AlignCenter, QStringLiteral("Knows"));
    p.drawText(QRectF(x + KnownWidth, TableTop - 4, ChartWidth, HeaderHeight), Qt::AlignCenter,
               QStringLiteral("Known, by week"));
    p.setFont(gridFont(12));
    p.drawText(QRectF(x + KnownWidth, TableTop + HeaderHeight - 16, ChartWidth, 16), Qt::AlignCenter,
               QStringLiteral("0 to %1 facts").arg(most));
    p.setFont(gridFont(14, true));
    p.drawText(QRectF(x + KnownWidth + ChartWidth, TableTop, LastWidth, HeaderHeight), Qt::AlignCenter,
               QStringLiteral("Last practised"));

    qreal top = TableTop + HeaderHeight;
    if (view.students.empty()) {
        p.setFont(gridFont(14));
        p.drawText(QRectF(0, top, frame.width(), RowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("No answers have been logged yet."));
    }
    for (const ClassStudent &student : view.students) {
        p.setPen(Ink);
        p.setFont(gridFont(16));
        p.drawText(QRectF(0, top, NameWidth - 6, RowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(student.name, Qt::ElideRight, static_cast<int>(NameWidth - 6)));
        x = NameWidth;
        for (const LevelCounts &family : student.families) {
            drawFamilyCell(p, QRectF(x, top, FamilyWidth, RowHeight), family, glyph);
            x += FamilyWidth;
        }
        p.setPen(Ink);
        p.setFont(gridFont(16));
        p.drawText(QRectF(x, top, KnownWidth, RowHeight), Qt::AlignCenter,
                   QStringLiteral("%1 of %2").arg(student.known).arg(student.drilled));
        drawChart(p, QRectF(x + KnownWidth + 8, top + 4, ChartWidth - 16, RowHeight - 8), student.knownByWeek, most);
        p.setPen(Ink);
        p.setFont(gridFont(16));
        p.drawText(QRectF(x + KnownWidth + ChartWidth, top, LastWidth, RowHeight), Qt::AlignCenter,
                   lastPractisedText(student.lastPractised));
        top += RowHeight;
    }
    if (medium == ClassMedium::Page)
        drawPracticeGaps(p, gapsTop(view), practiceGaps(view));

    top = hardTop(view, medium);
    p.setPen(Ink);
    p.setFont(gridFont(16, true));
    p.drawText(QRectF(0, top, frame.width(), 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("The class's hardest facts: the most students to teach, then the fewest who know it"));
    top += 34;
    p.setFont(gridFont(14));
    if (view.hardest.empty())
        p.drawText(QRectF(0, top, frame.width(), HardLine), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("No fact is to be taught to anyone."));
    for (std::size_t i = 0; i < view.hardest.size(); ++i) {
        const HardFact &hard = view.hardest[i];
        const QRectF line(0, top + static_cast<qreal>(i) * HardLine, frame.width(), HardLine);
        p.setFont(gridFont(14, true));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%1.").arg(i + 1));
        p.drawText(line.adjusted(30, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, factText(hard.cell));
        p.setFont(gridFont(14));
        p.drawText(line.adjusted(150, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("teach it: %1, almost: %2, knows it: %3, not asked yet: %4")
                       .arg(hard.students.teach)
                       .arg(hard.students.almost)
                       .arg(hard.students.known)
                       .arg(hard.students.notAsked));
    }
    drawKey(p, hardTop(view, medium) + hardHeight(view), glyph);
    p.restore();
}

} // namespace plovista
