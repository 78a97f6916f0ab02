# Shared by the scripts that build and test the Windows folder: where things go, and how a Debian source
# package is fetched (as `apt-get source` does, with a deb-src line for bookworm added when there is none).
CARNETTO_CACHE=${CARNETTO_CACHE:-$HOME/.cache/carnetto}
QT_WINDOWS_VERSION=6.4.2
MINGW=x86_64-w64-mingw32
HERE_WINDOWS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_ROOT=$(cd "$HERE_WINDOWS/../.." && pwd)
# Debian's wine package installs the 64-bit loader here only; there is no /usr/bin/wine64 in Debian 12.
WINE64=${WINE64:-/usr/lib/wine/wine64}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_deb_src() {
    if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo "Adding Debian 12 source packages to apt (/etc/apt/sources.list.d/carnetto-src.sources)"
        as_root tee /etc/apt/sources.list.d/carnetto-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
        as_root apt-get update -qq
    fi
}

# fetch_debian_source PACKAGE DIR: the source package's files (.dsc, .orig tarball, Debian changes) into DIR.
fetch_debian_source() {
    local pkg=$1 dir=$2
    mkdir -p "$dir"
    if ! ls "$dir"/"${pkg}"_*.orig.tar.* >/dev/null 2>&1; then
        ensure_deb_src
        (cd "$dir" && apt-get source --download-only "$pkg" >/dev/null) || {
            as_root apt-get update -qq
            (cd "$dir" && apt-get source --download-only "$pkg")
        }
    fi
    ls "$dir"/"${pkg}"_*.orig.tar.* | head -n 1
}
