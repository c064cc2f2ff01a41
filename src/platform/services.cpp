#include "platform/services.h"

#include "platform/desktopshell.h"
#include "platform/hostsysteminfo.h"
#include "platform/medialoader.h"
#include "platform/qtmessageboxes.h"
#include "platform/screendisplay.h"
#include "platform/systemclock.h"
#include "platform/systemrandom.h"
#include "platform/x11display.h"

#include <QGuiApplication>

namespace plovista {

Services realServices(MediaLoader &media)
{
    Services services;
    services.boxes = std::make_unique<QtMessageBoxes>();
    services.character = media.character();
    services.voice = media.voice();
    services.sound = media.sound();
    services.printing = media.printing();
    // DISPLAY may name the session's XWayland beside a native Wayland
    // window, whose modes would stretch X programs only.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        services.display = std::make_unique<ScreenDisplay>();
    else
        services.display = std::make_unique<X11Display>();
    services.systemInfo = std::make_unique<HostSystemInfo>();
    services.clock = std::make_unique<SystemClock>();
    services.random = std::make_unique<SystemRandom>();
    services.shell = std::make_unique<DesktopShell>();
    return services;
}

} // namespace plovista
