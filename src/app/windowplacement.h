#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace plovista {

// Where a window whose frame has `size` goes so that `keep` stays in sight:
// below it, else above it, else to its right, else to its left, close to it
// and within `screen`. Where no side has room, the side with the most.
QPoint placeClearOf(QSize size, const QRect &keep, const QRect &screen);

// The program's fixed-size windows are laid out for a display of this many
// logical pixels.
inline constexpr QSize DesignedScreen {800, 600};

// Where the desktop's scale leaves less than `DesignedScreen` of the free
// screen area (`available`, in logical pixels), the factor to scale the
// program by, below 1, so that the area becomes as large as that; empty where
// it is large enough already.
std::optional<double> scaleToFit(QSize available);

} // namespace plovista
