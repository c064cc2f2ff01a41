#pragma once

#include "fluency/factstatus.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>

#include <optional>

class QPainter;

namespace plovista {

struct FluencyGrid;

// The fill of a level: white for not asked yet, then lighter to darker as a
// fact is learnt, so the levels stay apart in lightness as well as hue, on a
// greyscale printer and for the common colour blindnesses
// (scripts/colourcheck.py measures them).
QColor levelFill(FactLevel level);
// What is written on that fill: dark ink, white on "knows it".
QColor levelInk(FactLevel level);
// A tick for "knows it", a half-filled circle for "almost", a cross for
// "teach it", nothing for "not asked yet": the level without its colour.
void drawLevelGlyph(QPainter &painter, FactLevel level, const QRectF &box);
// A cell no drill of the range asks: hatched grey.
void drawUndrilled(QPainter &painter, const QRectF &cell);
// The face of the grid and the class view, at a size in the drawing's units.
QFont gridFont(qreal pixels, bool bold = false);
// "Knows it", "Almost", "Teach it", "Not asked yet".
QString levelCaption(FactLevel level);

// Draws a student's grid of one operation: a title, each fact's cell
// coloured and marked by its level with the time of the answer that decides
// it (none for "teach it"), the facts known per row and in total, and a key.
// One routine for the screen and the printed page: the drawing is scaled to
// fit the area, keeping its proportions, its glyphs never under 12 device
// pixels.
void paintFluencyGrid(QPainter &painter, const QRectF &area, const FluencyGrid &grid);

struct GridPlace
{
    int row = 0;
    int columnIndex = 0;
};
// The cell under a point of the area the grid was painted in.
std::optional<GridPlace> fluencyGridCellAt(const QRectF &area, const FluencyGrid &grid, QPointF point);

} // namespace plovista
