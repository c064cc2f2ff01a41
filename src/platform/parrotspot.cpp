#include "platform/parrotspot.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace plovista {

namespace {

// Fine enough that he ends close to a control he steps aside from, coarse
// enough that a whole window is searched well within a frame.
constexpr int Step = 8;

std::int64_t covered(const QRect &box, const QList<QRect> &controls)
{
    std::int64_t sum = 0;
    for (const QRect &control : controls) {
        const QRect both = box.intersected(control);
        if (!both.isEmpty())
            sum += std::int64_t(both.width()) * both.height();
    }
    return sum;
}

int clampTo(int value, int low, int high)
{
    return high < low ? low : std::clamp(value, low, high);
}

} // namespace

QPoint clearestSpot(const QRect &area, const QSize &size, const QPoint &wanted, const QList<QRect> &controls)
{
    const int right = area.left() + area.width() - size.width();
    const int bottom = area.top() + area.height() - size.height();
    const QPoint inside(clampTo(wanted.x(), area.left(), right), clampTo(wanted.y(), area.top(), bottom));
    std::int64_t bestCover = covered(QRect(inside, size), controls);
    if (bestCover == 0)
        return inside;

    QPoint best = inside;
    std::int64_t bestDistance = 0;
    auto consider = [&](int x, int y) {
        const std::int64_t cover = covered(QRect(QPoint(x, y), size), controls);
        const std::int64_t dx = x - wanted.x();
        const std::int64_t dy = y - wanted.y();
        const std::int64_t distance = dx * dx + dy * dy;
        if (cover < bestCover || (cover == bestCover && distance < bestDistance)) {
            best = QPoint(x, y);
            bestCover = cover;
            bestDistance = distance;
        }
    };
    bestDistance = std::numeric_limits<std::int64_t>::max();
    consider(inside.x(), inside.y());
    // The far edges too, so a corner flush with the window is among the places.
    for (int y = area.top();; y = std::min(y + Step, bottom)) {
        for (int x = area.left();; x = std::min(x + Step, right)) {
            consider(x, y);
            if (x >= right)
                break;
        }
        if (y >= bottom)
            break;
    }
    return best;
}

} // namespace plovista
