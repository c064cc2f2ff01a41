#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace plovista {

struct ClassView;

// The proportions of the class view's drawing: it grows with the class.
QSizeF classViewFrame(const ClassView &view);

// Draws the class at a glance: a row per student with each family's share
// of facts known, coloured by the level of the family as the grid colours a
// fact, the student's known facts over the weeks and the last day practised;
// then the class's hardest facts and a key. One routine for the screen and
// the printed page: scaled to fit the area, keeping its proportions.
void paintClassView(QPainter &painter, const QRectF &area, const ClassView &view);

} // namespace plovista
