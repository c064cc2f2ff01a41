# Sourced by the speech benchmarks: starts a private sound server whose null
# sink "capture" stands for the speakers, in a temporary folder `$dir`, and
# stops it and removes the folder when the script exits. Clients find only
# this server and never start one of their own.
dir=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$dir"
}
trap cleanup EXIT
printf 'autospawn = no\n' >"$dir/client.conf"
export PULSE_CLIENTCONFIG="$dir/client.conf" PULSE_SERVER="unix:$dir/native" XDG_RUNTIME_DIR="$dir"

# Starts the server; fails (1) with its log when it does not answer.
start_null_sink() {
    env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$dir" XDG_CONFIG_HOME="$dir/config" \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no --high-priority=no \
        --log-target=stderr --load="module-null-sink sink_name=capture" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" 2>"$dir/server.log" &
    server=$!
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl info >/dev/null || { cat "$dir/server.log"; return 1; }
}
