#!/ usr / bin / env bash
#Runs both start - up probes N times(default 15) under one Xvfb server and
#prints the median time and memory of each.
set -euo pipefail
build=${1:-build-bench}
runs=${2:-15}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
for i in \$(seq $runs);
do
    $build / bench / startup_minimal;
$build / bench / startup_plovista;
done " 2>/dev/null |
    awk '{ t[$1] = t[$1] " " $2; m[$1] = m[$1] " " $4 } END
{
    for (k in t) {
        n = split(t[k], a, " ");
        asort(a);
        split(m[k], b, " ");
        asort(b);
        printf "%-9s median %.1f ms, %d kB resident (%d runs)\n", k, a[int((n + 1) / 2)], b[int((n + 1) / 2)], n
    }
}
'
