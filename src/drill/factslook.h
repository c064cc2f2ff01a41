#pragma once

#include "drill/factslayout.h"

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

namespace plovista {

class AnswerEdit;
class LineControl;

// The look of a fact on the screen, shared by every window that asks one (the
// drills and Daily Practice), so a child meets the same numbers, pen and box
// whichever way the fact comes.
inline const QColor FactsInk(0x1b, 0x26, 0x4a);
// The corrected fact is written as a teacher marks it, in red.
inline const QColor FactsRedPen(0xb0, 0x1e, 0x1e);
inline const QColor FactsPaper(0xfd, 0xfc, 0xf6);

// The number font of the layouts (NumberFontPixels), bold and fixed-pitch.
QFont factsNumberFont();
QFont factsSignFont(int pointSize);
QFont factsCounterFont(int pointSize);
Qt::Alignment factsAlignment(TextAlign align);
void setInk(QWidget *widget, QColor colour);
// The paper colour behind a window's controls.
void paintPaper(QWidget *client);
// The answer box as the drill shows it: the number font, a blue border whose
// inset lines typed digits up under the digits above.
void styleAnswerBox(AnswerEdit *box);
// Puts a label where a layout places it, its text aligned and moved by the
// placement's margins.
void placeFactsLabel(QLabel *label, const Placement &place);
// Puts a drawn line between its end points; a short one is a minus sign and
// is drawn as heavy as the digits beside it.
void placeFactsLine(LineControl *line, const LineSpan &span);

} // namespace plovista
