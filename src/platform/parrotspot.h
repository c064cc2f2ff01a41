#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace plovista {

// Where, inside `area`, a box of `size` hides the least of `controls` (by
// the area it covers of them), and of such places the nearest to `wanted`.
// A box larger than the area keeps to its top left corner.
QPoint clearestSpot(const QRect &area, const QSize &size, const QPoint &wanted, const QList<QRect> &controls);

} // namespace plovista
