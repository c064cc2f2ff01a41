#include "platform/x11display.h"

#include "platform/librarysymbols.h"
#include "platform/waylandoutput.h"

#ifdef PLOVISTA_HAVE_XRANDR
// Xlib defines macros (None, Bool, Status) that collide with Qt names, so it
// comes after every Qt header and nothing from Qt follows it.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#endif

#include <algorithm>
#include <cstring>
#include <optional>

namespace plovista {

X11Display::X11Display(QByteArray displayName)
    : m_name(std::move(displayName))
{ }

#ifdef PLOVISTA_HAVE_XRANDR

X11Display::~X11Display()
{
    if (m_display)
        XCloseDisplay(static_cast<::Display *>(m_display));
}

namespace {

// RandR's functions, from its library loaded on first use rather than with the
// program: where no switch is asked for, the display mode is read after the
// start screen's first paint, and the library (with Xext and Xrender, which it
// brings) cost that paint 0.4 ms of processor time.
struct RandR
{
    decltype(&XRRQueryExtension) queryExtension = nullptr;
    decltype(&XRRGetScreenInfo) getScreenInfo = nullptr;
    decltype(&XRRFreeScreenConfigInfo) freeScreenConfigInfo = nullptr;
    decltype(&XRRConfigSizes) configSizes = nullptr;
    decltype(&XRRConfigCurrentConfiguration) configCurrentConfiguration = nullptr;
    decltype(&XRRConfigCurrentRate) configCurrentRate = nullptr;
    decltype(&XRRConfigRates) configRates = nullptr;
    decltype(&XRRSetScreenConfig) setScreenConfig = nullptr;
    decltype(&XRRSetScreenConfigAndRate) setScreenConfigAndRate = nullptr;
    decltype(&XRRGetScreenResourcesCurrent) getScreenResourcesCurrent = nullptr;
    decltype(&XRRFreeScreenResources) freeScreenResources = nullptr;
    decltype(&XRRGetOutputInfo) getOutputInfo = nullptr;
    decltype(&XRRFreeOutputInfo) freeOutputInfo = nullptr;
};

// Null where the library or one of its functions is missing.
const RandR *randR()
{
    static const std::optional<RandR> loaded = []() -> std::optional<RandR> {
        LibrarySymbols library(QStringLiteral("Xrandr"), 2);
        RandR r;
        library.resolve(r.queryExtension, "XRRQueryExtension");
        library.resolve(r.getScreenInfo, "XRRGetScreenInfo");
        library.resolve(r.freeScreenConfigInfo, "XRRFreeScreenConfigInfo");
        library.resolve(r.configSizes, "XRRConfigSizes");
        library.resolve(r.configCurrentConfiguration, "XRRConfigCurrentConfiguration");
        library.resolve(r.configCurrentRate, "XRRConfigCurrentRate");
        library.resolve(r.configRates, "XRRConfigRates");
        library.resolve(r.setScreenConfig, "XRRSetScreenConfig");
        library.resolve(r.setScreenConfigAndRate, "XRRSetScreenConfigAndRate");
        library.resolve(r.getScreenResourcesCurrent, "XRRGetScreenResourcesCurrent");
        library.resolve(r.freeScreenResources, "XRRFreeScreenResources");
        library.resolve(r.getOutputInfo, "XRRGetOutputInfo");
        library.resolve(r.freeOutputInfo, "XRRFreeOutputInfo");
        return library.all() ? std::optional<RandR>(r) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// XWayland names its outputs XWAYLAND0, XWAYLAND1...; from version 23 on it
// also has an extension of that name.
bool isXWayland(::Display *display, const RandR &randr)
{
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &eventBase, &errorBase))
        return true;
    XRRScreenResources *resources = randr.getScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources)
        return false;
    bool found = false;
    for (int i = 0; i < resources->noutput && !found; ++i) {
        if (XRROutputInfo *output = randr.getOutputInfo(display, resources, resources->outputs[i])) {
            found = std::strncmp(output->name, "XWAYLAND", 8) == 0;
            randr.freeOutputInfo(output);
        }
    }
    randr.freeScreenResources(resources);
    return found;
}

} // namespace

void *X11Display::connection()
{
    if (m_tried)
        return m_display;
    m_tried = true;
    ::Display *display = XOpenDisplay(m_name.isEmpty() ? nullptr : m_name.constData());
    if (!display)
        return nullptr;
    const RandR *randr = randR();
    int eventBase = 0;
    int errorBase = 0;
    const bool hasRandR = randr && randr->queryExtension(display, &eventBase, &errorBase);
    m_xwayland = hasRandR && isXWayland(display, *randr);
    m_canSwitch = hasRandR && !m_xwayland;
    m_display = display;
    return m_display;
}

bool X11Display::canSwitch()
{
    connection();
    return m_canSwitch;
}

std::unique_ptr<Display> X11Display::openSeparately()
{
    // Each connection is used on one thread only; what Xlib shares between
    // connections it guards itself (it sets up its threads on its own since
    // 1.8), so the two threads never wait on each other.
    if (!canSwitch())
        return nullptr;
    auto other = std::make_unique<X11Display>(m_name);
    if (!other->canSwitch())
        return nullptr;
    return other;
}

namespace {

// The screen's configuration as the server has it now.
struct ScreenConfig
{
    explicit ScreenConfig(::Display *display)
        : config(display ? randR()->getScreenInfo(display, DefaultRootWindow(display)) : nullptr)
    { }
    ~ScreenConfig()
    {
        if (config)
            randR()->freeScreenConfigInfo(config);
    }
    ScreenConfig(const ScreenConfig &) = delete;
    ScreenConfig &operator=(const ScreenConfig &) = delete;

    XRRScreenConfiguration *config;
};

} // namespace

std::optional<DisplayMode> X11Display::current()
{
    auto *display = static_cast<::Display *>(connection());
    if (!display)
        return std::nullopt;
    if (!m_canSwitch) {
        if (m_xwayland) {
            if (const std::optional<DisplayMode> real = waylandOutputMode())
                return DisplayMode {real->width, real->height, 0};
        }
        // The root window's size, asked afresh as an answer to a round trip.
        Window root = 0;
        int x = 0;
        int y = 0;
        unsigned width = 0;
        unsigned height = 0;
        unsigned border = 0;
        unsigned depth = 0;
        if (!XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border, &depth))
            return std::nullopt;
        return DisplayMode {static_cast<int>(width), static_cast<int>(height), 0};
    }
    ScreenConfig x(display);
    if (!x.config)
        return std::nullopt;
    int count = 0;
    XRRScreenSize *sizes = randR()->configSizes(x.config, &count);
    Rotation rotation = 0;
    const SizeID index = randR()->configCurrentConfiguration(x.config, &rotation);
    if (!sizes || index >= count)
        return std::nullopt;
    return DisplayMode {sizes[index].width, sizes[index].height, randR()->configCurrentRate(x.config)};
}

bool X11Display::apply(DisplayMode mode)
{
    if (!canSwitch())
        return false;
    auto *display = static_cast<::Display *>(connection());
    ScreenConfig x(display);
    if (!x.config)
        return false;
    int count = 0;
    XRRScreenSize *sizes = randR()->configSizes(x.config, &count);
    Rotation rotation = 0;
    const SizeID currentIndex = randR()->configCurrentConfiguration(x.config, &rotation);
    for (int i = 0; i < count; ++i) {
        if (sizes[i].width != mode.width || sizes[i].height != mode.height)
            continue;
        // A rate the size does not come at is no reason to stay at another size.
        int rateCount = 0;
        const short *rates = randR()->configRates(x.config, i, &rateCount);
        const bool rateOffered = mode.rate > 0 && std::find(rates, rates + rateCount, mode.rate) != rates + rateCount;
        if (i == currentIndex && (!rateOffered || randR()->configCurrentRate(x.config) == mode.rate))
            return true; // already there: nothing is switched
        const Status status = rateOffered
            ? randR()->setScreenConfigAndRate(display, x.config, DefaultRootWindow(display), i, rotation,
                                              static_cast<short>(mode.rate), CurrentTime)
            : randR()->setScreenConfig(display, x.config, DefaultRootWindow(display), i, rotation, CurrentTime);
        XSync(display, False);
        return status == RRSetConfigSuccess;
    }
    return false;
}

#else

X11Display::~X11Display() = default;

void *X11Display::connection()
{
    return nullptr;
}

std::optional<DisplayMode> X11Display::current()
{
    return std::nullopt;
}

bool X11Display::canSwitch()
{
    return false;
}

bool X11Display::apply(DisplayMode)
{
    return false;
}

std::unique_ptr<Display> X11Display::openSeparately()
{
    return nullptr;
}

#endif

} // namespace plovista
