#!/usr/bin/env bash
# Runs bench_speechlag into a private sound server whose null sink stands for
# the speakers: the voice and Peedy, each with the queue kept as it was
# (before) and with waiting texts dropped as a new fact goes up (after).
# Usage: bench/bench_speechlag.sh [build dir]
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
bench="$build/bench/bench_speechlag"
dir=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$dir"
}
trap cleanup EXIT
# Clients find only this server and never start one of their own.
printf 'autospawn = no\n' >"$dir/client.conf"
export PULSE_CLIENTCONFIG="$dir/client.conf" PULSE_SERVER="unix:$dir/native" XDG_RUNTIME_DIR="$dir"

env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$dir" XDG_CONFIG_HOME="$dir/config" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no --high-priority=no \
    --log-target=stderr --load="module-null-sink sink_name=capture" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" 2>"$dir/server.log" &
server=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { cat "$dir/server.log"; exit 1; }

status=0
for channel in voice peedy; do
    for mode in --keep-queue ""; do
        QT_QPA_PLATFORM=offscreen "$bench" --channel "$channel" $mode || status=1
    done
done
exit $status
