#!/usr/bin/env bash
# A student's road on a real desktop: an X server with a window manager, real
# key presses, and the program's own voice into a private sound server.
# Usage: desktop_road.sh <program> <folder for the screenshots>
# Skipped (77) with the reason where the desktop or the sound server cannot
# start; desktop_road.py does the rest.
set -u
skip() {
    echo "SKIP: $*"
    exit 77
}
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb:xvfb openbox:openbox xdotool:xdotool xprop:x11-utils xwdtopnm:netpbm pnmtopng:netpbm \
    pngtopnm:netpbm pulseaudio:pulseaudio pactl:pulseaudio-utils parec:pulseaudio-utils python3:python3; do
    command -v "${tool%%:*}" > /dev/null || skip "${tool%%:*} is missing (package ${tool#*:})"
done

. "$here/../../bench/nullsink.sh"
start_null_sink || skip "the sound server did not start"

python3 "$here/desktop_road.py" "$@"
