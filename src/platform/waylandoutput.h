#pragma once

#include "platform/display.h"

#include <optional>

namespace plovista {

// The mode the Wayland session's first output runs at, in the screen's own
// pixels, asked of the compositor over a short connection of the program's
// own. An X program on XWayland sees the screen in the compositor's logical
// pixels only (half the width at 200%); this is where the real size is told.
// Empty where there is no Wayland session (WAYLAND_DISPLAY) or no client
// library; the library is loaded only when asked, so the program does not
// need it.
std::optional<DisplayMode> waylandOutputMode();

} // namespace plovista
