#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace plovista {

// Window geometry is designed in twips: 1440 to the inch, 15 to a pixel at 96 dpi.
constexpr int twips(int t)
{
    return (t >= 0 ? t + 7 : t - 7) / 15;
}

// Some window sizes are given from the outside of the frame: the borders, the
// caption and the menu bar take this much of them.
constexpr int FrameWidthTwips = 120;
constexpr int FrameHeightTwips = 690;

// Places a control at a position given in twips, keeping its own size, or
// giving it the width (and height) given in twips when they are not zero.
void placeTwips(QWidget *widget, int left, int top, int width = 0, int height = 0);

} // namespace plovista
