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

} // namespace plovista
