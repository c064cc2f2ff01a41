#!/bin/sh
# Which folder the launcher starts the program in, and how: the class folder
# of the administrator's plovista.conf over the user's own, --folder over
# both, the per-user folder without either; a class folder with the umask
# that lets its group change what is made there.
# Usage: launcher_folder.sh <launcher>
set -eu
launcher=$(readlink -f "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The program's stand-in tells where it was started, with which umask and
# which class folder.
cat > "$scratch/program" << 'EOF'
#!/bin/sh
echo "$(pwd) $(umask) ${PLOVISTA_CLASS_FOLDER:-none}"
EOF
chmod +x "$scratch/program"
mkdir -p "$scratch/home" "$scratch/admin/plovista" "$scratch/other/plovista" "$scratch/user/plovista" \
    "$scratch/data" "$scratch/class" "$scratch/home/mine" "$scratch/given"
: > "$scratch/data/Pop.wav"
# run [NAME=VALUE]... [-- OPTION...]: the launcher started from / under umask
# 022, with only these variables.
run() {
    vars=
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        vars="$vars $1"
        shift
    done
    [ $# -eq 0 ] || shift
    # shellcheck disable=SC2086 # the variables, one word each
    (cd / && umask 022 && env -i HOME="$scratch/home" PATH="$PATH" PLOVISTA_PROGRAM="$scratch/program" \
        PLOVISTA_DATA="$scratch/data" XDG_CONFIG_HOME="$scratch/user" XDG_CONFIG_DIRS="$scratch/none" $vars \
        "$launcher" "$@") 2> "$scratch/err" ||
        echo "exit $?: $(cat "$scratch/err")"
}
expect() {
    [ "$2" = "$3" ] || fail "$1: started as \"$2\", not \"$3\""
}

expect "no configuration" "$(run)" "$scratch/home/.local/share/plovista 0022 none"

printf '[Plovista]\n# ClassFolder=/nowhere\n\n  ClassFolder = ~/mine \r\n' > "$scratch/user/plovista/plovista.conf"
expect "the user's own" "$(run)" "$scratch/home/mine 0002 $scratch/home/mine"

# The administrator's file wins, and the first directory of XDG_CONFIG_DIRS
# that sets it; a relative directory there is passed over.
echo "ClassFolder=$scratch/class" > "$scratch/admin/plovista/plovista.conf"
echo "ClassFolder=$scratch/given" > "$scratch/other/plovista/plovista.conf"
expect "the administrator's" "$(run XDG_CONFIG_DIRS="relative:$scratch/admin:$scratch/other")" \
    "$scratch/class 0002 $scratch/class"
[ -f "$scratch/class/Pop.wav" ] || fail "no Pop.wav copied into the class folder"
expect "--folder" "$(run XDG_CONFIG_DIRS="$scratch/admin" -- --folder "$scratch/given")" \
    "$scratch/given 0002 $scratch/given"

# A missing class folder is not made here (its group is the administrator's to
# give): the program is told it, and tells it.
echo "ClassFolder=$scratch/missing" > "$scratch/admin/plovista/plovista.conf"
expect "a missing class folder" "$(run XDG_CONFIG_DIRS="$scratch/admin")" "/ 0002 $scratch/missing"
[ ! -e "$scratch/missing" ] || fail "the launcher made the missing class folder"

# The file is read, never run.
echo "ClassFolder=\$(touch $scratch/ran)" > "$scratch/admin/plovista/plovista.conf"
out=$(run XDG_CONFIG_DIRS="$scratch/admin")
[ ! -e "$scratch/ran" ] || fail "the configuration file was run"
case $out in
"exit 2: plovista: the class folder"*"is not a full path"*) ;;
*) fail "a relative class folder: $out" ;;
esac

[ $failures -eq 0 ] || exit 1
echo "the launcher chose every folder as it should"
