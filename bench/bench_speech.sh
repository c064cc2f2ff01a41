#!/usr/bin/env bash
# Runs bench_speech with no audio device, then with a private sound server
# whose null sink stands for one: offscreen, and under Xvfb where Peedy's
# window is really shaped. Usage: bench/bench_speech.sh [build dir] [calls] [--espeak]
set -euo pipefail
build=$(cd "${1:-build-audio-rel}" && pwd)
runs=${2:-100}
shift 2 || shift $# # what is left goes to the benchmark
bench="$build/bench/bench_speech"
. "$(dirname "$0")/nullsink.sh"

echo "== no audio device, offscreen"
QT_QPA_PLATFORM=offscreen "$bench" --runs "$runs" "$@"

start_null_sink

echo "== null sink, offscreen"
QT_QPA_PLATFORM=offscreen "$bench" --runs "$runs" "$@"
echo "== null sink, Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24" "$bench" --runs "$runs" "$@"
