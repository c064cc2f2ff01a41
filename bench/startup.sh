#!/usr/bin/env bash
# Start-up as the user sees it. Under one Xvfb server (1024x768x24, with a
# private sound server whose null sink stands for the speakers) it runs N
# rounds (default 31), each of three runs in a turning order: a minimal Qt
# Widgets window, the program's first run (in a fresh working folder, made and
# removed for that run) and a later run of the program (in a folder that
# already holds its settings: an unmeasured run makes them first). Each is
# started by bench/firstpaint, which times it from its exec to the first paint
# the X server receives from it and reads its resident memory then. The
# program must paint its start screen first; for the later run the watcher
# also waits until it has gone quiet and reads its memory once more
# ("settled": the speech engine loaded and, Peedy being switched on in that
# folder, his greeting made).
#
# Prints the median time and memory of each kind, and the program's time
# against the minimal window's as the median of the ratios within each round,
# with their interquartile range: runs of one round share the machine's load
# of the moment, which moves the medians of whole kinds more than the ratio
# the rounds agree on. A kind any of whose runs failed (another window
# painted first, an early end, no paint in time, nothing printed) is reported
# as FAILED with the reasons and no figure, and the script exits with 1.
# Usage: bench/startup.sh [build dir] [rounds] [openbox: under that window manager]
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
runs=${2:-31}
manager=${3:-}
watch="$build/bench/firstpaint"
. "$(dirname "$0")/nullsink.sh"
start_null_sink

# The later runs' working folder; nullsink.sh removes it with its own folder,
# and the first runs' folders beside it.
mkdir "$dir/work"
cd "$dir/work"
xvfb-run -a -s "-screen 0 1024x768x24" env -u QT_QPA_PLATFORM bash -c '
build=$1 runs=$2 manager=$3 watch=$4 dir=$5
if [ -n "$manager" ]; then
    "$manager" >/dev/null 2>&1 &
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
fi
minimal() { "$watch" --title Minimal "$build/bench/startup_minimal"; }
plovista() { "$watch" --title "Brevandi Plovista" --settle "$build/plovista"; }
first() {
    local folder=$dir/first-$round status=0
    mkdir "$folder"
    (cd "$folder" && "$watch" --title "Brevandi Plovista" "$build/plovista") || status=$?
    rm -rf "$folder"
    return $status
}
plovista >/dev/null || true
# Peedy switched on, as the speech options leave him when he is chosen: the
# start then ends with his greeting made by the speech engine.
mkdir -p Files
printf "True\r\n" >Files/PShow
printf "False\r\n" >Files/TTS
kinds=(minimal first plovista)
for round in $(seq "$runs"); do
    for k in 0 1 2; do
        kind=${kinds[$(((round + k) % 3))]}
        echo "$round $kind $($kind || true)"
    done
done
[ -n "$manager" ] && kill %1 2>/dev/null || true' startup "$build" "$runs" "$manager" "$watch" "$dir" 2>/dev/null |
    awk -v runs="$runs" '
    function sort(a, count,    i, j, v) {
        for (i = 2; i <= count; i++) {
            v = a[i]
            for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]
            a[j + 1] = v
        }
    }
    # The q-quantile of a sorted list, between its neighbours as R and
    # spreadsheets take it; 0.5 is the median.
    function quantile(a, count, q,    h, low) {
        h = (count - 1) * q + 1
        low = int(h)
        return low >= count ? a[count] : a[low] + (h - low) * (a[low + 1] - a[low])
    }
    function median(a, count) {
        sort(a, count)
        return quantile(a, count, 0.5)
    }
    $2 != "minimal" && $2 != "first" && $2 != "plovista" { next }
    # A run counts when it printed its figures and nothing else; the later
    # runs also the figures once settled.
    $2 != "plovista" && /^[0-9]+ [a-z]+ paint [0-9.]+ ms [0-9]+ kB$/ ||
    $2 == "plovista" && /^[0-9]+ [a-z]+ paint [0-9.]+ ms [0-9]+ kB settled [0-9.]+ ms [0-9]+ kB$/ {
        k = $2; n[k]++; t[k, n[k]] = $4; m[k, n[k]] = $6; at[k, $1] = $4
        if (k == "plovista") { st[n[k]] = $9; sm[n[k]] = $11 }
        next
    }
    {
        k = $2; sub(/^[0-9]+ [a-z]+ */, "")
        if ($0 == "") $0 = "nothing printed"
        if (!((k, $0) in why)) reasons[k] = reasons[k] SUBSEP $0
        why[k, $0]++
    }
    # "ratio" and "spread" lines of a kind against the minimal window: the
    # median of the ratios within each round and their interquartile range.
    function ratios(k, ratioLine, spreadLine,    r, count) {
        for (r = 1; r <= runs; r++) q[r] = at[k, r] / at["minimal", r]
        sort(q, runs)
        printf ratioLine, quantile(q, runs, 0.5)
        printf spreadLine, quantile(q, runs, 0.25), quantile(q, runs, 0.75), runs
    }
    END {
        status = 0
        split("minimal plovista first", kinds, " ")
        for (p = 1; p <= 3; p++) {
            k = kinds[p]
            ok[k] = n[k] + 0 == runs
            if (!ok[k]) {
                told = ""
                count = split(substr(reasons[k], 2), list, SUBSEP)
                for (i = 1; i <= count; i++) told = told "; " list[i] " (" why[k, list[i]] " runs)"
                printf "%-9s FAILED: %d of %d runs failed%s\n", k, runs - n[k], runs, told
                status = 1
                continue
            }
            for (i = 1; i <= runs; i++) { ts[i] = t[k, i]; ms[i] = m[k, i] }
            printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", k, median(ts, runs), median(ms, runs), runs
            if (k == "plovista") {
                printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", "settled", median(st, runs), median(sm, runs), runs
                if (ok["minimal"])
                    ratios(k, "ratio     %.3f times\n", "spread    %.3f-%.3f times (interquartile range, %d rounds)\n")
            }
            if (k == "first" && ok["minimal"])
                ratios(k, "first     ratio %.3f times, ", "spread %.3f-%.3f times (interquartile range, %d rounds)\n")
        }
        exit status
    }'
