#include "xrandrprobe.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace xrandrprobe {

namespace {
template<typename F>
auto withConfig(const char *displayName, F use) -> decltype(use(nullptr, nullptr))
{
    Display *display = XOpenDisplay(displayName);
    if (!display)
        return {};
    XRRScreenConfiguration *config = XRRGetScreenInfo(display, DefaultRootWindow(display));
    auto result = config ? use(display, config) : decltype(use(nullptr, nullptr)) {};
    if (config)
        XRRFreeScreenConfigInfo(config);
    XCloseDisplay(display);
    return result;
}
} // namespace

int currentRate(const char *displayName)
{
    return withConfig(displayName,
                      [](Display *, XRRScreenConfiguration *config) -> int { return XRRConfigCurrentRate(config); });
}

bool setMode(const char *displayName, int width, int height, int rate)
{
    return withConfig(displayName, [&](Display *display, XRRScreenConfiguration *config) -> bool {
        int count = 0;
        XRRScreenSize *sizes = XRRConfigSizes(config, &count);
        Rotation rotation = 0;
        XRRConfigCurrentConfiguration(config, &rotation);
        for (int i = 0; i < count; ++i)
            if (sizes[i].width == width && sizes[i].height == height) {
                const Status status = XRRSetScreenConfigAndRate(display, config, DefaultRootWindow(display), i,
                                                                rotation, static_cast<short>(rate), CurrentTime);
                XSync(display, False);
                return status == RRSetConfigSuccess;
            }
        return false;
    });
}

} // namespace xrandrprobe
