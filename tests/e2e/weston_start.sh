#!/usr/bin/env bash
# The program on a Wayland desktop: weston's headless compositor, with Qt's
# Wayland platform and then, where XWayland is installed, through XWayland.
# Each time the start screen must reach the screen and the program must end
# cleanly on SIGTERM, as a session's end ends it. The output is at 200%, so
# X programs see half its size; the program's display service must tell the
# real one on XWayland.
# Usage: weston_start.sh <program> <Qt's platform plugin folder> <displayprobe>
# Skipped (77) with the reason where weston or Qt's Wayland platform cannot run.
set -u
skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    [ -s "$work/program.log" ] && grep -v '^\[' "$work/program.log" | tail -20
    exit 1
}
program=$1
plugins=$2
probe=$3

command -v weston > /dev/null || skip "weston is missing (package weston)"
[ -e "$plugins/libqwayland-generic.so" ] || skip "Qt's Wayland platform is missing (package qt6-wayland)"

work=$(mktemp -d)
runtime="$work/runtime"
mkdir -m 0700 "$runtime"
mkdir "$work/folder" "$work/xfolder"
weston_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2> /dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2> /dev/null && wait "$weston_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT

XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman --socket=wayland-1 --width=1024 \
    --height=768 --scale=2 --idle-time=0 --no-config $(command -v Xwayland > /dev/null && echo --xwayland) < /dev/null > "$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 200); do
    [ -S "$runtime/wayland-1" ] && break
    kill -0 "$weston_pid" 2> /dev/null || break
    sleep 0.1
done
[ -S "$runtime/wayland-1" ] || skip "weston did not start: $(tail -3 "$work/weston.log" | tr '\n' ' ')"

# Every request the program sends and every event it gets, for the check below.
(cd "$work/folder" && exec env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 \
    QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$program" < /dev/null > "$work/program.log" 2>&1) &
program_pid=$!

# The start screen is on the screen once the surface of the toplevel titled
# "Brevandi Plovista" has a buffer attached and committed.
painted() {
    awk '
        function ids(text, into) { gsub(/[^0-9]+/, " ", text); return split(text, into, " ") }
        match($0, /get_xdg_surface\(new id xdg_surface@[0-9]+, wl_surface@[0-9]+\)/) {
            ids(substr($0, RSTART, RLENGTH), p); surface_of_xdg[p[1]] = p[2]
        }
        match($0, /xdg_surface@[0-9]+\.get_toplevel\(new id xdg_toplevel@[0-9]+\)/) {
            ids(substr($0, RSTART, RLENGTH), p); surface_of_top[p[2]] = surface_of_xdg[p[1]]
        }
        match($0, /xdg_toplevel@[0-9]+\.set_title\("Brevandi Plovista"\)/) {
            ids(substr($0, RSTART, RLENGTH), p); start = surface_of_top[p[1]]
        }
        start != "" && index($0, "wl_surface@" start ".attach(wl_buffer@") { attached = 1 }
        attached && index($0, "wl_surface@" start ".commit()") { found = 1; exit }
        END { exit !found }
    ' "$work/program.log"
}
for _ in $(seq 1200); do
    painted && break
    kill -0 "$program_pid" 2> /dev/null || fail "the program ended before its start screen was drawn"
    sleep 0.1
done
painted || fail "the start screen was not drawn within two minutes"
echo "the start screen was drawn on weston"

ends_cleanly() {
    kill -TERM "$program_pid"
    for _ in $(seq 600); do
        kill -0 "$program_pid" 2> /dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2> /dev/null && fail "the program did not end on SIGTERM"
    wait "$program_pid"
    status=$?
    program_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status on SIGTERM"
    if grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/program.log"; then
        fail "the sanitizers reported an error"
    fi
    echo "the program ended cleanly"
}
ends_cleanly

x=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
if [ -z "$x" ]; then
    echo "XWayland is not installed (package xwayland): not tried through it"
    exit 0
fi
command -v xwininfo > /dev/null || skip "xwininfo is missing (package x11-utils)"
(cd "$work/xfolder" && exec env XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 DISPLAY="$x" \
    QT_QPA_PLATFORM=xcb "$program" < /dev/null > "$work/program.log" 2>&1) &
program_pid=$!
for _ in $(seq 1200); do
    DISPLAY=$x xwininfo -root -tree 2> /dev/null | grep -q '"Brevandi Plovista"' && break
    kill -0 "$program_pid" 2> /dev/null || fail "the program ended before its start screen was up on XWayland"
    sleep 0.1
done
DISPLAY=$x xwininfo -root -tree 2> /dev/null | grep -q '"Brevandi Plovista"' ||
    fail "the start screen was not up on XWayland within two minutes"
echo "the start screen was up on XWayland"
ends_cleanly

seen=$(DISPLAY=$x xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
told=$(env XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 DISPLAY="$x" "$probe" 2> "$work/probe.log")
[ "$told" = "2048x1536 fixed" ] || fail "on XWayland (X programs see $seen) the display service told \"$told\""
echo "on XWayland, X programs see $seen and the display service tells $told"
