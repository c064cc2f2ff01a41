#pragma once

#include <QRectF>

class QPainter;

namespace plovista {

struct FluencyGrid;

// Draws a student's grid of one operation: a title, the cells coloured by
// status and marked with a shape that survives greyscale printing, the
// median time in each, the count of automatic facts per row and in total,
// and a key. One routine for the screen and the printed page: the drawing
// is scaled to fit the area, keeping its proportions.
void paintFluencyGrid(QPainter &painter, const QRectF &area, const FluencyGrid &grid);

} // namespace plovista
