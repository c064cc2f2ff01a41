#!/bin/sh
# Runs a test on a desktop of its own, as a school's screen reader sees it:
# an X server, a private session bus, and the accessibility bus with its
# registry. Where one of them cannot start the test is skipped (77) with
# the reason.
set -u
skip() {
    echo "SKIP: $*"
    exit 77
}

if [ -z "${PLOVISTA_ON_TEST_DESKTOP:-}" ]; then
    command -v xvfb-run > /dev/null || skip "xvfb-run is missing (package xvfb)"
    command -v dbus-run-session > /dev/null || skip "dbus-run-session is missing (package dbus-bin)"
    command -v dbus-send > /dev/null || skip "dbus-send is missing (package dbus-bin)"
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "the accessibility bus launcher is missing (package at-spi2-core)"
    /usr/bin/python3 -c 'import pyatspi' 2> /dev/null ||
        skip "the system python cannot import pyatspi (package python3-pyatspi)"
    export PLOVISTA_ON_TEST_DESKTOP=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" dbus-run-session -- "$0" "$@"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill $launcher 2> /dev/null' EXIT
tries=0
until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2> /dev/null | grep -q true; do
    tries=$((tries + 1))
    [ $tries -lt 200 ] || skip "the accessibility bus did not start"
    sleep 0.1
done

export QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
status=$?
exit $status
