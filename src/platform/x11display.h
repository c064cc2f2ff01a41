#pragma once

#include "platform/display.h"

#include <QByteArray>

namespace plovista {

// Display modes through X11 RandR. Every call asks the server afresh (Xlib's
// own idea of the screen size lags behind a switch). Where there is no X
// server or no RandR, nothing happens.
class X11Display final : public Display
{
public:
    // The display name; empty means the DISPLAY of the environment.
    explicit X11Display(QByteArray displayName = {});

    std::optional<DisplayMode> current() override;
    bool apply(DisplayMode mode) override;

private:
    QByteArray m_name;
};

} // namespace plovista
