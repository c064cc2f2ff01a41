#!/usr/bin/env bash
# Start-up as the user sees it. Under one Xvfb server (1024x768x24, with a
# private sound server whose null sink stands for the speakers) it alternates
# N runs (default 15) of a minimal Qt Widgets window and of the program itself,
# each started by bench/firstpaint, which times it from its exec to the first
# paint the X server receives from it and reads its resident memory then. The
# program works in a folder that already holds its settings (an unmeasured run
# makes them first) and must paint its start screen first; for it the watcher
# also waits until it has gone quiet and reads its memory once more
# ("settled": the speech engine loaded and, Peedy being switched on in that
# folder, his greeting made). Prints the
# median time and memory of each and the ratio of the times. A kind any of
# whose runs failed (another window painted first, an early end, no paint in
# time, nothing printed) is reported as FAILED with the reasons and no median,
# and the script exits with 1.
# Usage: bench/startup.sh [build dir] [runs] [openbox: under that window manager]
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
runs=${2:-15}
manager=${3:-}
watch="$build/bench/firstpaint"
. "$(dirname "$0")/nullsink.sh"
start_null_sink

# A working folder that already holds its settings, as on every start but the
# first; nullsink.sh removes it with its own folder.
mkdir "$dir/work"
cd "$dir/work"
xvfb-run -a -s "-screen 0 1024x768x24" env -u QT_QPA_PLATFORM bash -c '
build=$1 runs=$2 manager=$3 watch=$4
if [ -n "$manager" ]; then
    "$manager" >/dev/null 2>&1 &
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
fi
minimal() { "$watch" --title Minimal "$build/bench/startup_minimal"; }
plovista() { "$watch" --title "Brevandi Plovista" --settle "$build/plovista"; }
plovista >/dev/null || true
# Peedy switched on, as the speech options leave him when he is chosen: the
# start then ends with his greeting made by the speech engine.
mkdir -p Files
printf "True\r\n" >Files/PShow
printf "False\r\n" >Files/TTS
for i in $(seq "$runs"); do
    echo "minimal $(minimal || true)"
    echo "plovista $(plovista || true)"
done
[ -n "$manager" ] && kill %1 2>/dev/null || true' startup "$build" "$runs" "$manager" "$watch" 2>/dev/null |
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
    # A run counts when it printed its figures and nothing else; the program
    # also the figures once settled.
    /^minimal paint [0-9.]+ ms [0-9]+ kB$/ ||
    /^plovista paint [0-9.]+ ms [0-9]+ kB settled [0-9.]+ ms [0-9]+ kB$/ {
        k = $1; n[k]++; t[k, n[k]] = $3; m[k, n[k]] = $5
        if (k == "plovista") { st[n[k]] = $8; sm[n[k]] = $10 }
        next
    }
    {
        k = $1; sub(/^[a-z]+ */, "")
        if ($0 == "") $0 = "nothing printed"
        if (!((k, $0) in why)) reasons[k] = reasons[k] SUBSEP $0
        why[k, $0]++
    }
    END {
        status = 0
        split("minimal plovista", kinds, " ")
        for (p = 1; p <= 2; p++) {
            k = kinds[p]
            if (n[k] + 0 != runs) {
                told = ""
                count = split(substr(reasons[k], 2), list, SUBSEP)
                for (i = 1; i <= count; i++) told = told "; " list[i] " (" why[k, list[i]] " runs)"
                printf "%-9s FAILED: %d of %d runs failed%s\n", k, runs - n[k], runs, told
                status = 1
                continue
            }
            for (i = 1; i <= runs; i++) { ts[i] = t[k, i]; ms[i] = m[k, i] }
            time[k] = median(ts, runs)
            printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", k, time[k], median(ms, runs), runs
        }
        if (status == 0) {
            printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", "settled", median(st, runs), median(sm, runs), runs
            printf "%-9s %.3f times\n", "ratio", time["plovista"] / time["minimal"]
        }
        exit status
    }'
