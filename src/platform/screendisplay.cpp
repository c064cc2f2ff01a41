#include "platform/screendisplay.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace plovista {

std::optional<DisplayMode> ScreenDisplay::current()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const QSize logical = screen->geometry().size();
    const qreal ratio = screen->devicePixelRatio();
    return DisplayMode {static_cast<int>(std::lround(logical.width() * ratio)),
                        static_cast<int>(std::lround(logical.height() * ratio)), 0};
}

} // namespace plovista
