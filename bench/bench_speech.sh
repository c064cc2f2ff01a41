#!/usr/bin/env bash
# Runs bench_speech with no audio device, then with a private sound server
# whose null sink stands for one: offscreen, and under Xvfb where Peedy's
# window is really shaped. Usage: bench/bench_speech.sh [build dir] [calls] [--espeak]
set -euo pipefail
build=$(cd "${1:-build-audio-rel}" && pwd)
runs=${2:-100}
shift 2 || shift $# # what is left goes to the benchmark
bench="$build/bench/bench_speech"
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

echo "== no audio device, offscreen"
QT_QPA_PLATFORM=offscreen "$bench" --runs "$runs" "$@"

env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$dir" XDG_CONFIG_HOME="$dir/config" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no --high-priority=no \
    --log-target=stderr --load="module-null-sink sink_name=capture" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" 2>"$dir/server.log" &
server=$!
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { cat "$dir/server.log"; exit 1; }

echo "== null sink, offscreen"
QT_QPA_PLATFORM=offscreen "$bench" --runs "$runs" "$@"
echo "== null sink, Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24" "$bench" --runs "$runs" "$@"
