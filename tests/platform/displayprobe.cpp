// Prints what the program's X display service makes of the X server named
// by DISPLAY: "WIDTHxHEIGHT switchable" or "WIDTHxHEIGHT fixed", or "none".
// For the scripts that look at the program on desktops a QtTest cannot
// start (weston's XWayland).
#include "platform/x11display.h"

#include <cstdio>

int main()
{
    plovista::X11Display display;
    const auto mode = display.current();
    if (!mode) {
        std::puts("none");
        return 1;
    }
    std::printf("%dx%d %s\n", mode->width, mode->height, display.canSwitch() ? "switchable" : "fixed");
    return 0;
}
