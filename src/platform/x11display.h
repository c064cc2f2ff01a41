#pragma once

#include "platform/display.h"

#include <QByteArray>

namespace plovista {

// Display modes through X11 RandR. One connection of its own, opened on first
// use; every call asks the server afresh (Xlib's own idea of the screen size
// lags behind a switch). Where there is no X server nothing happens; where it
// has no RandR, or is XWayland (whose modes only stretch what X programs draw
// on a screen the compositor keeps as it is), the screen's size is read and
// nothing is switched; on XWayland the size is the compositor's output's,
// where it tells it, not the smaller one X programs see at a scale.
class X11Display final : public Display
{
public:
    // The display name; empty means the DISPLAY of the environment.
    explicit X11Display(QByteArray displayName = {});
    ~X11Display() override;
    X11Display(const X11Display &) = delete;
    X11Display &operator=(const X11Display &) = delete;

    std::optional<DisplayMode> current() override;
    bool canSwitch() override;
    bool apply(DisplayMode mode) override;
    std::unique_ptr<Display> openSeparately() override;

private:
    // The open connection, or null when there is no usable server.
    void *connection();

    QByteArray m_name;
    void *m_display = nullptr; // Xlib's Display, kept opaque so its macros stay out of headers
    bool m_tried = false;
    bool m_canSwitch = false;
    bool m_xwayland = false;
};

} // namespace plovista
