#!/bin/sh
# Starts Plovista in its working folder: the program works in its current
# directory, where it keeps its settings and records and finds "Pop.wav".
#
#   plovista [--folder FOLDER]
#
# The folder is, first found: the one given with --folder; the class folder an
# administrator set (ClassFolder= in plovista/plovista.conf in the directories
# of XDG_CONFIG_DIRS, /etc/xdg by default, the first that sets it); the user's
# own class folder (the same file in XDG_CONFIG_HOME, ~/.config by default,
# heeded only where no administrator set one); else the user's own data folder,
# made on first use. A class folder is shared by the members of its group:
# files and folders made in it are writable by the group (umask 002), and it is
# never made here, as the administrator gives it its group.
#
# Installed as `plovista` on the PATH, with the program in ../lib/plovista and
# its data in ../share/plovista; scripts/run names the program and data of a
# build tree instead (PLOVISTA_PROGRAM, PLOVISTA_DATA).
set -eu
here=$(dirname "$(readlink -f "$0")")
program=${PLOVISTA_PROGRAM:-$here/../lib/plovista/plovista}
data=${PLOVISTA_DATA:-$here/../share/plovista}

usage() {
    echo "usage: plovista [--folder FOLDER]"
}
fail() {
    echo "plovista: $*" >&2
    exit 2
}

folder=
from=
while [ $# -gt 0 ]; do
    case $1 in
    --folder)
        [ $# -ge 2 ] || fail "--folder needs a folder"
        folder=$2
        from=--folder
        shift 2
        ;;
    --folder=*)
        folder=${1#--folder=}
        from=--folder
        shift
        ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        usage >&2
        fail "unknown option $1"
        ;;
    esac
done
if [ -n "$from" ]; then
    [ -n "$folder" ] || fail "--folder needs a folder"
    # Given on the command line, a relative folder is the current one's.
    # shellcheck disable=SC2088 # a "~" written in the value, expanded below
    case $folder in /* | "~" | "~/"*) ;; *) folder=$PWD/$folder ;; esac
fi

# The value of the last "ClassFolder=" line of a configuration file, blanks
# around the key, the "=" and the value left out (a CR of a file saved on
# Windows too). The file is read, never run: other lines, comments ("#" or
# ";") and [sections] are passed over.
class_folder_in() {
    [ -f "$1" ] && [ -r "$1" ] || return 0
    sed -n 's/^[[:space:]]*ClassFolder[[:space:]]*=[[:space:]]*//p' "$1" | sed 's/[[:space:]]*$//' | tail -n 1
}

# The administrator's directories first, in their order: the first that sets
# the class folder wins, and the user's own file only counts without one. A
# relative directory in these variables is not valid and is passed over, as
# the XDG standard asks.
if [ -z "$from" ]; then
    dirs=${XDG_CONFIG_DIRS:-/etc/xdg}
    [ -n "$dirs" ] || dirs=/etc/xdg
    case ${XDG_CONFIG_HOME:-} in
    /*) user_config=$XDG_CONFIG_HOME ;;
    *) user_config=$HOME/.config ;;
    esac
    old_ifs=$IFS
    IFS=:
    set -f # split at ":" only, never expanded as a pattern
    for dir in $dirs; do
        case $dir in /*) ;; *) continue ;; esac
        folder=$(class_folder_in "$dir/plovista/plovista.conf")
        if [ -n "$folder" ]; then
            from=$dir/plovista/plovista.conf
            break
        fi
    done
    set +f
    IFS=$old_ifs
    if [ -z "$from" ]; then
        folder=$(class_folder_in "$user_config/plovista/plovista.conf")
        [ -z "$folder" ] || from=$user_config/plovista/plovista.conf
    fi
fi

if [ -n "$from" ]; then
    # "~" at the start is the user's home; nothing else is expanded, so a
    # value is taken as it is written.
    # shellcheck disable=SC2088 # a "~" written in the value
    case $folder in
    "~") folder=$HOME ;;
    "~/"*) folder=$HOME/${folder#"~/"} ;;
    esac
    case $folder in
    /*) ;;
    *) fail "the class folder \"$folder\" ($from) is not a full path: it must start with / or ~/" ;;
    esac
    # Whatever a member of the class makes there, the others can change.
    umask 002
    export PLOVISTA_CLASS_FOLDER="$folder"
    # One that cannot be entered is told by the program, in a box.
    cd "$folder" 2>/dev/null || exec "$program"
    work=$folder
else
    # A relative XDG_DATA_HOME is not valid and is ignored, as the standard asks.
    case ${XDG_DATA_HOME:-} in
    /*) work=$XDG_DATA_HOME/plovista ;;
    *) work=$HOME/.local/share/plovista ;;
    esac
    mkdir -p "$work"
    cd "$work"
fi

# The sound the teacher's windows play; a copy the teacher replaced is kept.
# Made as a new file is, under the umask (cp would keep the installed file's
# mode), and put in place whole.
if [ ! -f "$work/Pop.wav" ]; then
    { cat "$data/Pop.wav" > "$work/.Pop.wav.$$" && mv "$work/.Pop.wav.$$" "$work/Pop.wav"; } 2>/dev/null ||
        { rm -f "$work/.Pop.wav.$$" 2>/dev/null; echo "plovista: could not copy Pop.wav into $work" >&2; }
fi
exec "$program"
