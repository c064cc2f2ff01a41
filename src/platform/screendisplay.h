#pragma once

#include "platform/display.h"

namespace plovista {

// The display of a native Wayland session: the compositor keeps the mode to
// itself, so nothing is switched, and the size told is the primary screen's
// in device pixels (Qt's logical size times the scale the compositor gives
// the output), which is the output's mode.
class ScreenDisplay final : public Display
{
public:
    std::optional<DisplayMode> current() override;
    bool canSwitch() override { return false; }
    bool apply(DisplayMode) override { return false; }
};

} // namespace plovista
