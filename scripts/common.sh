# Shared by scripts/run and scripts/test: installs the Debian packages that are
# missing, with apt-get as root and sudo otherwise, and nothing when all are there.
ensure_packages() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# The packages the installed program needs at run time (its Depends and
# Recommends besides the libraries it links), read from the one list the
# package is made from: packaging/depends and packaging/recommends.
packages_listed_in() {
    sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$1"
}
_plovista_packaging=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging" && pwd)
mapfile -t RUNTIME_PACKAGES < <(packages_listed_in "$_plovista_packaging/depends"
    packages_listed_in "$_plovista_packaging/recommends")

# What building needs. festival-dev and libestools-dev build the natural voice
# in; without them the program speaks with espeak-ng.
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev
    libxrandr-dev libx11-dev libespeak-ng-dev libgl-dev qt6-qpa-plugins libqt6svg6 libqt6multimedia6 festival-dev
    libestools-dev)
# What building the Debian package needs besides (dpkg-shlibdeps, and file,
# which CPack uses to find the programs to look at).
PACKAGE_PACKAGES=(dpkg-dev file)
