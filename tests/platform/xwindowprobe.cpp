#include "xwindowprobe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

namespace xwindowprobe {

namespace {

bool hasTitle(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return match;
}

bool holdsMappedTitle(Display *display, Window window, const char *title)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    if (hasTitle(display, window, title))
        return true;
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i)
        found = holdsMappedTitle(display, children[i], title);
    if (children)
        XFree(children);
    return found;
}

} // namespace

bool windowManagerRunning(const char *displayName)
{
    Display *display = XOpenDisplay(displayName);
    if (!display)
        return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const bool running = check != 0 &&
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &items,
                           &after, &data) == Success &&
        items == 1;
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return running;
}

std::optional<Box> frameOf(const char *displayName, const char *title)
{
    Display *display = XOpenDisplay(displayName);
    if (!display)
        return std::nullopt;
    std::optional<Box> frame;
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !frame; ++i) {
            XWindowAttributes attributes;
            if (holdsMappedTitle(display, children[i], title) &&
                XGetWindowAttributes(display, children[i], &attributes))
                frame = Box {attributes.x, attributes.y, attributes.width, attributes.height};
        }
        if (children)
            XFree(children);
    }
    XCloseDisplay(display);
    return frame;
}

} // namespace xwindowprobe
