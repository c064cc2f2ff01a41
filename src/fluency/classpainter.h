#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace plovista {

struct ClassView;

// Where the class is drawn. The window lists the students not practising in
// a list of its own, in sight and reached by the keyboard however long the
// class; the page lists them under the table.
enum class ClassMedium { Screen, Page };

// The proportions of the class view's drawing: it grows with the class.
QSizeF classViewFrame(const ClassView &view, ClassMedium medium);

// Draws the class at a glance: a row per student with each family's share
// of facts known, coloured by the level of the family as the grid colours a
// fact, the student's known facts over the weeks and the last day practised;
// on the page, the students not practising; then the class's hardest facts
// and a key. One routine for the screen and the printed page: scaled to fit
// the area, keeping its proportions.
void paintClassView(QPainter &painter, const QRectF &area, const ClassView &view, ClassMedium medium);

} // namespace plovista
