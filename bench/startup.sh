#!/usr/bin/env bash
# Runs both start-up probes N times (default 15) under one Xvfb server and
# prints the median time and memory of each ("voiced": the program once its
# speech engine has made its first sentence).
set -euo pipefail
build=${1:-build-bench}
runs=${2:-15}
build=$(cd "$build" && pwd)
# A working folder that already holds its settings, as on every start but the first.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
$build/bench/startup_plovista >/dev/null
for i in \$(seq $runs); do $build/bench/startup_minimal; $build/bench/startup_plovista; done" 2>/dev/null |
    sort -k1,1 -k2,2n | awk '
    { t[$1, ++n[$1]] = $2; m[$1, n[$1]] = $4 }
    END { for (k in n) { mid = int((n[k] + 1) / 2)
          printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", k, t[k, mid], m[k, mid], n[k] } }'
