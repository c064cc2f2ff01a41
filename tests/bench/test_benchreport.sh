#!/usr/bin/env bash
# The benchmark report never shows a figure for runs that failed: the start-up
# script over a stand-in watcher that fails in the ways the real one can, and the
# table writer over results of which some failed.
# Usage: test_benchreport.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
command -v xvfb-run >/dev/null || {
    echo "SKIP: xvfb-run is not installed"
    exit 77
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v pulseaudio >/dev/null || {
    echo "SKIP: pulseaudio is not installed"
    exit 77
}

# A stand-in for the start-up watcher: each run of a program prints 1 ms more
# than its last (the program's first run, which only makes the settings,
# included). The program's first runs, each in a fresh folder "first-N", are
# counted apart and print no settled figures: 66, 61 and 62 ms, so the median
# of the rounds' ratios (1.452) is not the ratio of the medians (1.476). $1:
# what happens to the program's third run: "ok", "window" (every run: another
# window painted first) or "crash" (the watcher itself dies).
make_watcher() {
    local build="$scratch/build-$1"
    mkdir -p "$build/bench"
    cat >"$build/bench/firstpaint" <<WATCHER
#!/bin/sh
for last; do :; done
kind=\$(basename "\$last")
case \$(basename "\$PWD") in first-*) kind=first ;; esac
n=\$(( \$(cat "$build/\$kind.n" 2>/dev/null || echo 0) + 1 )); echo \$n >"$build/\$kind.n"
[ "\$kind" = startup_minimal ] && { echo "paint \$((40 + n)).0 ms 25600 kB"; exit 0; }
case $1 in
window) echo 'FAILED: the first window painted was "Peedy Is Missing", not "Brevandi Plovista"'; exit 1 ;;
crash) [ \$n -eq 3 ] && kill -SEGV \$\$ ;;
esac
[ "\$kind" = first ] && { echo "paint \$((n == 1 ? 66 : 59 + n)).0 ms 38400 kB"; exit 0; }
echo "paint \$((50 + n)).0 ms 38400 kB settled \$((900 + n)).0 ms 65536 kB"
WATCHER
    chmod +x "$build/bench/firstpaint"
    echo "$build"
}

startup() {
    local status=0
    "$source_dir/bench/startup.sh" "$(make_watcher "$1")" 3 >"$scratch/startup-$1.out" 2>&1 || status=$?
    echo "$status" >"$scratch/startup-$1.status"
}
for kind in ok window crash; do startup "$kind"; done

grep -qx "minimal   median 42.0 ms, 25600 kB resident (3 runs)" "$scratch/startup-ok.out" ||
    fail "medians of good runs: $(cat "$scratch/startup-ok.out")"
grep -qx "plovista  median 53.0 ms, 38400 kB resident (3 runs)" "$scratch/startup-ok.out" ||
    fail "medians of good runs: $(cat "$scratch/startup-ok.out")"
grep -qx "settled   median 903.0 ms, 65536 kB resident (3 runs)" "$scratch/startup-ok.out" ||
    fail "settled median of good runs: $(cat "$scratch/startup-ok.out")"
grep -qx "ratio     1.262 times" "$scratch/startup-ok.out" || fail "ratio: $(cat "$scratch/startup-ok.out")"
# The rounds' ratios: their median and interquartile range, later and first runs.
grep -qx "spread    1.259-1.265 times (interquartile range, 3 rounds)" "$scratch/startup-ok.out" ||
    fail "spread: $(cat "$scratch/startup-ok.out")"
grep -qx "first     median 62.0 ms, 38400 kB resident (3 runs)" "$scratch/startup-ok.out" ||
    fail "first runs: $(cat "$scratch/startup-ok.out")"
grep -qx "first     ratio 1.452 times, spread 1.447-1.531 times (interquartile range, 3 rounds)" \
    "$scratch/startup-ok.out" || fail "first runs' ratio: $(cat "$scratch/startup-ok.out")"
[ "$(cat "$scratch/startup-ok.status")" = 0 ] || fail "good runs reported as failed"
for kind in window crash; do
    out="$scratch/startup-$kind.out"
    [ "$(cat "$scratch/startup-$kind.status")" = 1 ] || fail "$kind: exit status $(cat "$scratch/startup-$kind.status")"
    grep -q "^plovista  FAILED: " "$out" || fail "$kind: no failure told: $(cat "$out")"
    ! grep -Eq "^(plovista  median|settled|ratio)" "$out" ||
        fail "$kind: a figure of failed runs: $(cat "$out")"
    grep -q "^minimal   median 42.0 ms" "$out" || fail "$kind: the minimal window's figure lost: $(cat "$out")"
done
grep -q '3 of 3 runs failed; FAILED: the first window painted was "Peedy Is Missing", not "Brevandi Plovista" (3 runs)' \
    "$scratch/startup-window.out" || fail "the reason not told: $(cat "$scratch/startup-window.out")"
grep -q "1 of 3 runs failed; nothing printed (1 runs)" "$scratch/startup-crash.out" ||
    fail "the crash not told: $(cat "$scratch/startup-crash.out")"

# The table: start-up failed, appending ran well, the records viewer reported an
# error, the rest never ran.
results="$scratch/results"
mkdir -p "$results"
cp "$scratch/startup-window.out" "$results/startup.out"
cp "$scratch/startup-window.status" "$results/startup.status"
run() { # name status json
    echo "$2" >"$results/$1.status"
    echo "ran" >"$results/$1.out"
    echo "$3" >"$results/$1.json"
}
run record 0 '{"benchmarks": [
  {"name": "BM_AppendRecord/10", "real_time": 15.2, "cpu_time": 7.31, "time_unit": "us"},
  {"name": "BM_AppendRecord/100000", "real_time": 16.0, "cpu_time": 7.42, "time_unit": "us"}]}'
run recordsview 0 '{"benchmarks": [
  {"name": "BM_OpenRecordsViewer/1000/iterations:5", "real_time": 3.4, "peak_rss_MB": 32, "file_MB": 0.08},
  {"name": "BM_OpenRecordsViewer/100000/iterations:5", "error_occurred": true,
   "error_message": "cannot prepare the working folder"}]}'
readme="$scratch/measurements.md"
printf 'Before\n<!-- measurements: written by scripts/bench -->\nold table\n<!-- end of measurements -->\nAfter\n' >"$readme"
python3 "$source_dir/bench/benchtable.py" "$results" "$readme" >/dev/null

row() { grep -F "| $1 |" "$readme" || fail "no row $1"; }
row "Start screen first painted, from the program's exec (seen by the X server)" | grep -q "| \*\*FAILED\*\*: plovista  FAILED: 3 of 3" ||
    fail "start-up: $(row "Start screen first painted, from the program's exec (seen by the X server)")"
row "Resident memory at that point" | grep -q "FAILED" || fail "memory: $(row "Resident memory at that point")"
row 'Appending a record to a 10-line / 100,000-line "Madtr"' | grep -q "| 7.3 µs / 7.4 µs | the same at any size | yes |" ||
    fail "append: $(row 'Appending a record to a 10-line / 100,000-line "Madtr"')"
row "Records viewer on 100,000 records" | grep -q "FAILED\*\*: BM_OpenRecordsViewer/100000/iterations:5: cannot prepare" ||
    fail "viewer: $(row "Records viewer on 100,000 records")"
row "Generating and printing 50 worksheets to a PDF file" | grep -q "FAILED\*\*: not run" ||
    fail "worksheets: $(row "Generating and printing 50 worksheets to a PDF file")"
# No figure anywhere but in the one row that ran well.
[ "$(grep -c "FAILED" "$readme")" = "$(($(grep -c '^| [^W-]' "$readme") - 1))" ] || fail "rows with figures: $(cat "$readme")"
[ "$(head -1 "$readme")" = Before ] && [ "$(tail -1 "$readme")" = After ] || fail "text around the table changed"
! grep -q "old table" "$readme" || fail "the old table stayed"

# With good start-up runs, their figures and the ratio between them.
cp "$scratch/startup-ok.out" "$results/startup.out"
cp "$scratch/startup-ok.status" "$results/startup.status"
python3 "$source_dir/bench/benchtable.py" "$results" "$readme" >/dev/null
row "Start screen first painted, from the program's exec (seen by the X server)" |
    grep -q "| 53.0 ms, against 42.0 ms for a minimal Qt Widgets window (1.262 times) | within 1.3 times | yes |" ||
    fail "start-up: $(row "Start screen first painted, from the program's exec (seen by the X server)")"
rounds="The same, the program's time over the minimal window's within each interleaved round: median (interquartile range), a later run"
row "$rounds" | grep -q "| 1.262 times (1.259-1.265), 3 rounds | at most 1.25 | \*\*no\*\* |" || fail "rounds: $(row "$rounds")"
first="The same, the program's first run (a fresh working folder each round)"
row "$first" | grep -q "| 1.452 times (1.447-1.531), 3 rounds | at most 1.25 | \*\*no\*\* |" || fail "first runs: $(row "$first")"
row "Resident memory at that point" | grep -q "| 37.5 MB, against 25.0 MB (+12.5 MB) | within 15 MB | yes |" ||
    fail "memory: $(row "Resident memory at that point")"
settled="Resident memory once start-up has settled (the speech engine loaded, Peedy switched on and his greeting made)"
row "$settled" | grep -q "| 64.0 MB, against 25.0 MB for the minimal window (+39.0 MB) | within 45 MB | yes |" ||
    fail "settled: $(row "$settled")"
echo "PASS"
