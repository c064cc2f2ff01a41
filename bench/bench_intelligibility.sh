#!/usr/bin/env bash
# Installs the recogniser where it is missing and runs bench_intelligibility
# from a build with -DPLOVISTA_BENCH=ON. Usage:
# bench/bench_intelligibility.sh [build dir] [--detail] [--keep DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
ensure_packages pocketsphinx pocketsphinx-en-us sox
build=$(cd "${1:-build-bench}" && pwd)
shift || true
"$build/bench/bench_intelligibility" "$@"
