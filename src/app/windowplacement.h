#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace plovista {

// Where a window whose frame has `size` goes so that `keep` stays in sight:
// below it, else above it, else to its right, else to its left, close to it
// and within `screen`. Where no side has room, the side with the most.
QPoint placeClearOf(QSize size, const QRect &keep, const QRect &screen);

} // namespace plovista
