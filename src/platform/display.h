#pragma once

#include <memory>
#include <optional>

namespace plovista {

struct DisplayMode
{
    int width = 0;
    int height = 0;
    // Refresh rate in hertz; 0 asks for none in particular, and a switch to
    // the size then takes the rate the system prefers for it.
    int rate = 0;
    bool operator==(const DisplayMode &) const = default;
};

// The screen's display mode. Where the mode cannot be switched (a Wayland
// compositor owns the screen, the X server is XWayland's, or it has no RandR),
// canSwitch() is false, current() is the screen's size as far as the program
// can see it (empty where it sees none, and no rate) and apply() does nothing
// and returns false.
class Display
{
public:
    virtual ~Display() = default;
    virtual std::optional<DisplayMode> current() = 0;
    virtual bool canSwitch() = 0;
    virtual bool apply(DisplayMode mode) = 0;
    // The same screen through a connection of its own, opened now, for one
    // other thread to switch modes while the thread using this one is busy or
    // stuck. Null where there is nothing to switch.
    virtual std::unique_ptr<Display> openSeparately() { return nullptr; }
};

} // namespace plovista
