#!/bin/sh
# Starts Plovista in the user's own data folder, made on first use: the program
# works in its current directory, where it keeps its settings and records and
# finds "Pop.wav". Installed as `plovista` on the PATH, with the program in
# ../lib/plovista and its data in ../share/plovista; scripts/run names the
# program and data of a build tree instead (PLOVISTA_PROGRAM, PLOVISTA_DATA).
set -eu
here=$(dirname "$(readlink -f "$0")")
program=${PLOVISTA_PROGRAM:-$here/../lib/plovista/plovista}
data=${PLOVISTA_DATA:-$here/../share/plovista}
# A relative XDG_DATA_HOME is not valid and is ignored, as the standard asks.
case ${XDG_DATA_HOME:-} in
/*) work=$XDG_DATA_HOME/plovista ;;
*) work=$HOME/.local/share/plovista ;;
esac

mkdir -p "$work"
# The sound the teacher's windows play; a copy the teacher replaced is kept.
if [ ! -f "$work/Pop.wav" ]; then
    cp "$data/Pop.wav" "$work/Pop.wav" || echo "plovista: could not copy Pop.wav into $work" >&2
fi
cd "$work"
exec "$program"
