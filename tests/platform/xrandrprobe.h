#pragma once

// Looks at and sets the screen's mode with RandR directly, past the
// program's own display service, to check what that service did.
namespace xrandrprobe {

// The current refresh rate in hertz; 0 when it cannot be read.
int currentRate(const char *displayName);
// Switches to a size at a given rate; false when the server refuses.
bool setMode(const char *displayName, int width, int height, int rate);

} // namespace xrandrprobe
