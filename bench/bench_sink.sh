#!/usr/bin/env bash
# The program's speech measured at the sink of a private sound server while
# the real program runs a drill on a real desktop (bench_sink.py): for Peedy
# and for the plain voice, a child who lets each fact be read (2.5 s) and a
# quick one (1.6 s). Usage: bench/bench_sink.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
ensure_packages pocketsphinx pocketsphinx-en-us xvfb openbox xdotool x11-utils netpbm pulseaudio pulseaudio-utils
build=$(cd "${1:-build-bench}" && pwd)
. "$root/bench/nullsink.sh"
start_null_sink
status=0
for speaker in voice peedy; do
    for after in 2.5 1.6; do
        python3 "$root/bench/bench_sink.py" "$build/plovista" "$speaker" "$after" || status=1
    done
done
exit $status
