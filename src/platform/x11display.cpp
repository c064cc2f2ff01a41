#include "platform/x11display.h"

#ifdef PLOVISTA_HAVE_XRANDR
// Xlib defines macros (None, Bool, Status) that collide with Qt names, so it
// comes after every Qt header and nothing from Qt follows it.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#endif

namespace plovista {

X11Display::X11Display(QByteArray displayName)
    : m_name(std::move(displayName))
{ }

#ifdef PLOVISTA_HAVE_XRANDR

namespace {

struct Connection
{
    explicit Connection(const QByteArray &name)
        : display(XOpenDisplay(name.isEmpty() ? nullptr : name.constData()))
    {
        int eventBase = 0;
        int errorBase = 0;
        if (display && !XRRQueryExtension(display, &eventBase, &errorBase)) {
            XCloseDisplay(display);
            display = nullptr;
        }
        if (display)
            config = XRRGetScreenInfo(display, DefaultRootWindow(display));
    }
    ~Connection()
    {
        if (config)
            XRRFreeScreenConfigInfo(config);
        if (display)
            XCloseDisplay(display);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    ::Display *display = nullptr;
    XRRScreenConfiguration *config = nullptr;
};

} // namespace

std::optional<DisplayMode> X11Display::current()
{
    Connection x(m_name);
    if (!x.config)
        return std::nullopt;
    int count = 0;
    XRRScreenSize *sizes = XRRConfigSizes(x.config, &count);
    Rotation rotation = 0;
    const SizeID index = XRRConfigCurrentConfiguration(x.config, &rotation);
    if (!sizes || index >= count)
        return std::nullopt;
    return DisplayMode {sizes[index].width, sizes[index].height};
}

bool X11Display::apply(DisplayMode mode)
{
    Connection x(m_name);
    if (!x.config)
        return false;
    int count = 0;
    XRRScreenSize *sizes = XRRConfigSizes(x.config, &count);
    Rotation rotation = 0;
    const SizeID currentIndex = XRRConfigCurrentConfiguration(x.config, &rotation);
    for (int i = 0; i < count; ++i) {
        if (sizes[i].width != mode.width || sizes[i].height != mode.height)
            continue;
        if (i == currentIndex)
            return true; // already there: keep rate and depth untouched
        const Status status =
            XRRSetScreenConfig(x.display, x.config, DefaultRootWindow(x.display), i, rotation, CurrentTime);
        XSync(x.display, False);
        return status == RRSetConfigSuccess;
    }
    return false;
}

#else

std::optional<DisplayMode> X11Display::current()
{
    return std::nullopt;
}

bool X11Display::apply(DisplayMode)
{
    return false;
}

#endif

} // namespace plovista
