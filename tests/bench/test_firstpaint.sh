#!/usr/bin/env bash
# The start-up watcher gives a figure only for a real first paint of the
# program's own window, with and without a window manager, and otherwise
# says why, leaving no process behind.
# Usage: test_firstpaint.sh FIRSTPAINT MINIMAL_WINDOW
set -euo pipefail
watch=$1
minimal=$2
command -v xvfb-run >/dev/null || {
    echo "SKIP: xvfb-run is not installed"
    exit 77
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Each case: its output and exit status in $scratch/NAME.
xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" env -u QT_QPA_PLATFORM bash -c '
scratch=$1 watch=$2 minimal=$3
try() { local name=$1; shift; local status=0; "$watch" "$@" >"$scratch/$name" 2>/dev/null || status=$?; echo "$status" >>"$scratch/$name"; }
try plain --title Minimal --settle "$minimal"
try cpu --cpu "$minimal"
try other --title Other "$minimal"
try early sh -c "exit 3"
try never --timeout 1 sh -c "echo \$\$ >$scratch/never.pid; exec sleep 60"
try missing "$scratch/no-such-program"
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
    try managed --title Minimal --settle "$minimal"
    kill $! 2>/dev/null || true
fi' test "$scratch" "$watch" "$minimal"

figures='^paint [0-9.]+ ms [1-9][0-9]* kB settled [0-9.]+ ms [1-9][0-9]* kB$'
[ "$(sed -n 2p "$scratch/plain")" = 0 ] && head -1 "$scratch/plain" | grep -Eq "$figures" ||
    fail "no window manager: $(cat "$scratch/plain")"
if [ -e "$scratch/managed" ]; then
    # The window manager paints its frame around the window first; that is
    # not the program's paint.
    [ "$(sed -n 2p "$scratch/managed")" = 0 ] && head -1 "$scratch/managed" | grep -Eq "$figures" ||
        fail "under openbox: $(cat "$scratch/managed")"
fi
# With --cpu, the processor time the program had used by its first paint.
[ "$(sed -n 2p "$scratch/cpu")" = 0 ] && head -1 "$scratch/cpu" | grep -Eq '^paint [0-9.]+ ms [1-9][0-9]* kB cpu [0-9]*[1-9][0-9]*\.[0-9] ms$' ||
    fail "processor time: $(cat "$scratch/cpu")"
expect() { # case, first line, status 1
    [ "$(cat "$scratch/$1")" = "$(printf '%s\n1' "$2")" ] || fail "$1: $(cat "$scratch/$1")"
}
expect other 'FAILED: the first window painted was "Minimal", not "Other"'
expect early "FAILED: the program ended before it painted (exit status 3)"
expect never "FAILED: no paint within 1 s"
expect missing "FAILED: cannot run $scratch/no-such-program: No such file or directory"
# The program that never painted was ended, not left running.
! kill -0 "$(cat "$scratch/never.pid")" 2>/dev/null || fail "the program that never painted still runs"
echo PASS
