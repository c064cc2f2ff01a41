#pragma once

#include <optional>

// Looks at top-level windows on an X server as a user sees them, frames of
// the window manager included.
namespace xwindowprobe {

struct Box
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Whether a window manager has taken charge of the screen.
bool windowManagerRunning(const char *displayName);
// The frame around the mapped window with this title (the window itself where
// nothing frames it), in screen coordinates.
std::optional<Box> frameOf(const char *displayName, const char *title);

} // namespace xwindowprobe
