#include "app/windowplacement.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plovista {

namespace {
constexpr int kGap = 8;

int clampInto(int start, int length, int low, int high)
{
    // A window longer than the screen starts at the screen's start.
    return std::max(low, std::min(start, high - length));
}
} // namespace

QPoint placeClearOf(QSize size, const QRect &keep, const QRect &screen)
{
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    const int keepRight = keep.x() + keep.width();
    const int keepBottom = keep.y() + keep.height();
    const int centredX = clampInto(keep.x() + (keep.width() - size.width()) / 2, size.width(), screen.x(), screenRight);
    const int centredY =
        clampInto(keep.y() + (keep.height() - size.height()) / 2, size.height(), screen.y(), screenBottom);

    struct Side
    {
        QPoint at;
        int shortfall; // how much of the window's depth finds no room on this side
    };
    const std::array<Side, 4> sides = {
        Side {{centredX, keepBottom + kGap}, size.height() - (screenBottom - keepBottom - kGap)},
        Side {{centredX, keep.y() - kGap - size.height()}, size.height() - (keep.y() - kGap - screen.y())},
        Side {{keepRight + kGap, centredY}, size.width() - (screenRight - keepRight - kGap)},
        Side {{keep.x() - kGap - size.width(), centredY}, size.width() - (keep.x() - kGap - screen.x())},
    };
    const Side *best = &sides[0];
    for (const Side &side : sides) {
        if (side.shortfall <= 0) {
            best = &side;
            break;
        }
        if (side.shortfall < best->shortfall)
            best = &side;
    }
    return {clampInto(best->at.x(), size.width(), screen.x(), screenRight),
            clampInto(best->at.y(), size.height(), screen.y(), screenBottom)};
}

std::optional<double> scaleToFit(QSize available)
{
    if (available.isEmpty() ||
        (available.width() >= DesignedScreen.width() && available.height() >= DesignedScreen.height()))
        return std::nullopt;
    const double factor = std::min(double(available.width()) / DesignedScreen.width(),
                                   double(available.height()) / DesignedScreen.height());
    // Rounded down, so that the area is never a pixel short.
    return std::floor(factor * 1000 + 1e-9) / 1000;
}

} // namespace plovista
