#pragma once

#include "app/formwindow.h"

namespace plovista {

// Teacher windows are designed by their outer size in twips; the client area
// is what is left inside the border, the title bar and the menu bar.
inline void setFormSizeTwips(FormWindow &window, int width, int height)
{
    constexpr int Border = 120;
    constexpr int TitleAndMenuBar = 600;
    window.setClientSizeTwips(width - Border, height - TitleAndMenuBar);
}

// A window that changes its shape opens again in the middle of the screen
// (FormWindow places a window it finds unmoved), so a wider shape never hangs
// off the edge where a narrower one stood.
inline void centreOnNextShow(FormWindow &window)
{
    if (window.isVisible())
        window.hide();
    window.setAttribute(Qt::WA_Moved, false);
}

} // namespace plovista
