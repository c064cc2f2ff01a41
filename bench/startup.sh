#!/usr/bin/env bash
# Runs both start-up probes N times (default 15) under one Xvfb server and
# prints the median time and memory of each ("voiced": the program once its
# speech engine has made its first sentence). A probe any of whose runs failed
# (the name box not taking keys, a crash, nothing printed) is reported as
# FAILED with the reason, without a median, and the script exits with 1.
set -euo pipefail
build=${1:-build-bench}
runs=${2:-15}
build=$(cd "$build" && pwd)
# A working folder that already holds its settings, as on every start but the first.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
$build/startup_plovista >/dev/null
for i in \$(seq $runs); do $build/startup_minimal || echo minimal exited with \$?
    $build/startup_plovista || echo plovista exited with \$?; done" 2>/dev/null |
    awk -v runs="$runs" '
    function median(a, count,    i, j, v) {
        for (i = 2; i <= count; i++) {
            v = a[i]
            for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]
            a[j + 1] = v
        }
        return a[int((count + 1) / 2)]
    }
    $1 != "minimal" && $1 != "plovista" { next }
    # A run counts when it printed its time and memory and nothing else.
    /^[a-z]+ [0-9.]+ ms [0-9]+ kB$/ { n[$1]++; t[$1, n[$1]] = $2; m[$1, n[$1]] = $4; next }
    { k = $1; sub(/^[a-z]+ [0-9.]+ ms [0-9]+ kB /, ""); sub(/^[a-z]+ /, ""); if (!((k, $0) in why)) reasons[k] = reasons[k] SUBSEP $0; why[k, $0]++ }
    END {
        status = 0
        split("minimal plovista", probes, " ")
        for (p = 1; p <= 2; p++) {
            k = probes[p]
            if (n[k] + 0 != runs) {
                told = ""
                count = split(substr(reasons[k], 2), list, SUBSEP)
                for (i = 1; i <= count; i++) told = told "; " list[i] " (" why[k, list[i]] " runs)"
                printf "%-9s FAILED: %d of %d runs failed%s\n", k, runs - n[k], runs, told
                status = 1
                continue
            }
            for (i = 1; i <= runs; i++) { ts[i] = t[k, i]; ms[i] = m[k, i] }
            printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", k, median(ts, runs), median(ms, runs), runs
        }
        exit status
    }'
