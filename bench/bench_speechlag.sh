#!/usr/bin/env bash
# Runs bench_speechlag into a private sound server whose null sink stands for
# the speakers: each channel (default the voice and Peedy) with the queue kept
# as it was (before) and with waiting texts dropped as a new fact goes up
# (after). What follows the channels goes to the benchmark (--espeak).
# Usage: bench/bench_speechlag.sh [build dir] [channels, default "voice peedy"] [benchmark options]
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
channels=${2:-voice peedy}
shift 2 || shift $#
bench="$build/bench/bench_speechlag"
. "$(dirname "$0")/nullsink.sh"

start_null_sink

status=0
for channel in $channels; do
    for mode in --keep-queue ""; do
        QT_QPA_PLATFORM=offscreen "$bench" --channel "$channel" $mode "$@" || status=1
    done
done
exit $status
