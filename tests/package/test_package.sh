#!/usr/bin/env bash
# Builds the Debian package from a build tree (or takes one already built),
# checks it with lintian and its metainfo with appstreamcli, unpacks it into a
# scratch root and starts the installed program the two ways a user does, from
# the desktop entry and from the launcher on the PATH, each time in a fresh
# home, offscreen. A package given with --deb is one scripts/package built,
# which must also carry Debian's hardening.
#
# Usage: test_package.sh SOURCE_DIR PROGRAM_DIR DATA_RELATIVE (BUILD_DIR | --deb FILE)
# PROGRAM_DIR is where the program is installed under the prefix and
# DATA_RELATIVE where it looks for its data from there, as CMake has them.
set -euo pipefail
source_dir=$1 program_dir=$2 data_relative=$3
shift 3
scratch=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

hardened=
if [ "$1" = --deb ]; then
    deb=$(readlink -f "$2")
    hardened=yes
else
    build=$(cd "$1" && pwd)
    (cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 || {
        cat "$scratch/cpack.log"
        fail "cpack failed"
    }
    deb=$(ls "$scratch"/out/*.deb)
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
    [ "$(basename "$deb")" = "plovista_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"
fi
[[ $(basename "$deb") =~ ^plovista_[0-9][0-9.]*_amd64\.deb$ ]] || fail "package named $(basename "$deb")"

# What the package says about itself.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = plovista ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
listed() { sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$source_dir/packaging/$1"; }
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6multimedia6 libqt6printsupport6 \
    libespeak-ng1 $(listed depends); do
    [[ ", $depends," =~ ,\ $needed[\ ,] ]] || fail "Depends lacks $needed: $depends"
done
for wanted in $(listed recommends); do
    [[ ", $(field Recommends)," =~ ,\ $wanted[\ ,] ]] || fail "Recommends lacks $wanted: $(field Recommends)"
done
# Nothing to run at install or removal: a package with a postrm stays known
# to dpkg after it is removed.
scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E '(pre|post)(inst|rm)$' || true)
[ -z "$scripts" ] || fail "maintainer scripts: $scripts"

# Debian's own checks, every tag shown; an error or a warning fails.
status=0
lintian --pedantic --display-info --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$scratch/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings (above)"
if [ -n "$hardened" ] && grep -q hardening- "$scratch/lintian.log"; then
    fail "not hardened: $(grep hardening- "$scratch/lintian.log")"
fi

root="$scratch/root"
dpkg -x "$deb" "$root"
usr="$root/usr"
[ -x "$usr/bin/plovista" ] || fail "no launcher usr/bin/plovista"
[ -x "$usr/$program_dir/plovista" ] || fail "no program in usr/$program_dir"
# The class export for scripts, on the PATH beside the launcher.
report="$usr/bin/plovista-report"
[ -x "$report" ] || fail "no usr/bin/plovista-report"
"$report" --help | grep -q -- "--wide" || fail "plovista-report --help: $("$report" --help 2>&1)"
# Speech, sound and printing, loaded by the program after its first paint.
module="$usr/$program_dir/plovista_media.so"
[ -f "$module" ] || fail "no plovista_media.so beside the program"
! ldd "$module" | grep -q "not found" || fail "plovista_media.so lacks libraries: $(ldd "$module" | grep "not found")"
# The data where the installed program looks for it, and all of it.
data="$usr/$program_dir/$data_relative"
[ -d "$data" ] || fail "no data folder at usr/$program_dir/$data_relative"
for file in "$source_dir"/data/*; do
    name=$(basename "$file")
    [[ $name = *.desktop ]] && continue
    cmp -s "$file" "$data/$name" || fail "data file $name missing or changed"
done
# One desktop entry, named by the metainfo that software centres read, with
# its icon in every size beside the SVG.
metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml)
desktop="$usr/share/applications/$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
[ -f "$desktop" ] || fail "no desktop entry $desktop for $metainfo"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon for $icon"
for size in 16 32 48 64 128 256; do
    file "$usr/share/icons/hicolor/${size}x$size/apps/$icon.png" | grep -q "PNG image data, $size x $size," ||
        fail "no $size pixel icon"
done
desktop-file-validate "$desktop" || fail "desktop entry invalid"
appstreamcli validate-tree --pedantic --no-net "$root" || fail "metainfo invalid"

# Starts the program (the command given, with the scratch root's usr/bin first
# on the PATH), waits for its start-up to have written its settings in the
# folder expected, and ends it as a session's end would. It must still be
# running then, and end cleanly.
start_and_end() {
    local expected=$1
    shift
    PATH="$usr/bin:$PATH" "$@" >"$scratch/program.log" 2>&1 &
    pid=$!
    # The last settings file start-up makes; ctest's timeout bounds the wait.
    until [ -f "$expected/Files/PName" ]; do
        kill -0 "$pid" 2>/dev/null || {
            cat "$scratch/program.log"
            fail "the program ended before it had started"
        }
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || {
        cat "$scratch/program.log"
        fail "the program ended with $status on SIGTERM"
    }
    ! grep -q "could not be loaded" "$scratch/program.log" || fail "$(cat "$scratch/program.log")"
    for name in Display Mbar AdWord Facts Sg Ag; do
        [ -s "$expected/Files/$name" ] || fail "no settings file $name in $expected"
    done
    cmp -s "$data/Pop.wav" "$expected/Pop.wav" || fail "no Pop.wav in $expected"
}

# An administrator's class folder on this machine must not take the runs below
# out of the folders they check.
export XDG_CONFIG_DIRS="$scratch/no-config" XDG_CONFIG_HOME="$scratch/no-config"

# From the desktop entry, without XDG_DATA_HOME: the folder goes under the home.
home="$scratch/home"
mkdir -p "$home"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
# shellcheck disable=SC2086 # the entry's command line, split as a launcher splits it
start_and_end "$home/.local/share/plovista" env -u XDG_DATA_HOME HOME="$home" $exec_line
# A working folder with no answers logged yet: the report says so and fails.
status=0
"$report" --folder "$home/.local/share/plovista" --csv "$scratch/class.csv" 2>"$scratch/report.log" || status=$?
[ "$status" -eq 1 ] && grep -q "answer" "$scratch/report.log" ||
    fail "plovista-report on a folder without a log: status $status, $(cat "$scratch/report.log")"

# From the launcher by name, with XDG_DATA_HOME set, from another folder: the
# program works in the user's data folder, not where it was started.
home="$scratch/home2"
mkdir -p "$home" "$scratch/elsewhere"
cd "$scratch/elsewhere"
start_and_end "$scratch/xdg/plovista" env HOME="$home" XDG_DATA_HOME="$scratch/xdg" plovista
cd /
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "the program wrote into the folder it was started from"
[ ! -e "$home/.local/share/plovista" ] || fail "the program ignored XDG_DATA_HOME"
echo "PASS: $(basename "$deb") installs and starts"
