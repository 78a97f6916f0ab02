#!/usr/bin/env bash
# The portable folder on two desktops it was not built on, each made with debootstrap:
#   - Debian 13 with nothing beyond a minimal system but the packages the folder asks of a desktop (those that
#     scripts/bundle-base.txt names for the libraries it does not carry; make bundle prints them): the main menu
#     must appear, Qt's Italian texts must come from the folder, and no library of that system may bind to one of
#     the folder's copies (the loader's log of the program's own process);
#   - Debian 11, too old for it (glibc 2.31): the launcher must say so through the desktop's dialog (xmessage,
#     from x11-utils) and start nothing.
# The folder goes in with its files not executable, as desktops show a FAT stick, and is started through
# carnetto.sh, as its menu entry does. The X server is an Xvfb of this machine, reached through its socket.
#
# Not part of make test: it needs a few minutes and the network to Debian's mirror. Everything lives in one folder
# under /var/tmp that is removed at the end, on failure too; the mounts live in mount namespaces of their own.
#     scripts/test-bundle-debian.sh [FOLDER]    (as root, or through sudo; FOLDER is dist/Carnetto unless given)
#     DEBIAN_MIRROR=http://...  another mirror than deb.debian.org
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "test-bundle-debian: run as root, or install sudo" >&2; exit 1; }
    exec sudo --preserve-env=DEBIAN_MIRROR,http_proxy,https_proxy bash "$0" "$@"
fi
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
folder=$(cd "${1:-$src/dist/Carnetto}" && pwd)
say() { echo "test-bundle-debian: $*"; }
die() { say "$*" >&2; exit 1; }
[ -f "$folder/carnetto.sh" ] && [ -f "$folder/Carnetto" ] || die "$folder is not a portable folder: run make bundle"
for p in debootstrap Xvfb xdotool readelf; do
    command -v "$p" >/dev/null || die "$p is missing (make test installs Xvfb and xdotool; apt-get install debootstrap)"
done

# The packages a desktop must have for this folder: those of the libraries its files ask for and lib/ lacks.
declare -A packages=()
while IFS= read -r -d '' f; do
    while IFS= read -r name; do
        [ -f "$folder/lib/$name" ] && continue
        package=$(grep -v -E '^\s*(#|$)' "$src/scripts/bundle-base.txt" |
            while read -r pattern pkg _; do [[ $name =~ ^($pattern)$ ]] && { echo "$pkg"; break; }; done || true)
        [ -n "$package" ] || die "$name is neither in lib/ nor in bundle-base.txt"
        packages[$package]=1
    done < <(readelf -d "$f" 2>/dev/null | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
done < <(find "$folder" -type f \( -name Carnetto -o -name '*.so*' \) -print0)
desktop_packages=$(printf '%s\n' "${!packages[@]}" | sort | tr '\n' ' ')

work=$(mktemp -d /var/tmp/carnetto-debian.XXXXXX)
xvfb=""
group=""
cleanup() {
    [ -z "$group" ] || kill -TERM -- -"$group" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

display=200
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -S "/tmp/.X11-unix/X$display" ] || die "Xvfb did not start on :$display"
export DISPLAY=:$display

# A minimal Debian (debootstrap's minbase) with the packages given, installed by its own apt.
make_system() {
    local suite=$1 root=$work/$1
    shift
    say "making Debian $suite (debootstrap --variant=minbase) from $mirror"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$work/$suite-debootstrap.log" 2>&1 ||
        { tail -n 20 "$work/$suite-debootstrap.log"; die "debootstrap $suite failed"; }
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    say "installing into Debian $suite: $*"
    in_system "$suite" apt-get install -y -q --no-install-recommends "$@" >"$work/$suite-apt.log" 2>&1 ||
        { tail -n 20 "$work/$suite-apt.log"; die "apt-get install failed in Debian $suite"; }
    mkdir -p "$root/media/utente/USB DISK"
    cp -r "$folder" "$root/media/utente/USB DISK/Carnetto"
    find "$root/media/utente/USB DISK/Carnetto" -type f -exec chmod 644 {} +
}
# Runs a command in the system as root, with /proc, /dev and the X server's socket, in a mount namespace of its own.
inside='root=$1
    shift
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 DISPLAY="$DISPLAY" DEBIAN_FRONTEND=noninteractive \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} "$@"'
in_system() {
    local root=$work/$1
    shift
    unshare --mount --propagation private bash -euo pipefail -c "$inside" in_system "$root" "$@"
}
# Starts the folder's launcher in the system, in a process group of its own ($group): its output goes to
# $work/SUITE.out and .err, and the loader logs each process into the system's /tmp/ld.PID.
start_folder() {
    setsid unshare --mount --propagation private bash -euo pipefail -c "$inside" in_system "$work/$1" \
        env LD_DEBUG=libs,bindings LD_BIND_NOW=1 LD_DEBUG_OUTPUT=/tmp/ld \
        sh "/media/utente/USB DISK/Carnetto/carnetto.sh" \
        >"$work/$1.out" 2>"$work/$1.err" </dev/null &
    group=$!
}
wait_window() {
    local id=""
    for _ in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$group" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
stop_folder() {
    kill -TERM -- -"$group" 2>/dev/null || true
    wait "$group" 2>/dev/null || true
    group=""
}

# Debian 13: the main menu, from the folder's own libraries and Qt's texts.
make_system trixie $desktop_packages
start_folder trixie
window=$(wait_window '^ Carnetto 4.0$') || { cat "$work/trixie.err"; die "Debian 13: the main menu did not appear"; }
pid=$(xdotool getwindowpid "$window")
grep -q '/media/utente/USB DISK/Carnetto/translations/qtbase_it.qm' "/proc/$pid/maps" ||
    die "Debian 13: Qt's Italian texts did not come from the folder"
stop_folder
program="/media/utente/USB DISK/Carnetto"
log=$(grep -l "initialize program: $program/Carnetto" "$work/trixie/tmp/ld."*) ||
    die "Debian 13: no loader log of the program"
from_folder=$(sed -n 's/.*calling init: //p' "$log" | grep -c "^$program/" || true)
from_system=$(sed -n 's/.*calling init: //p' "$log" | grep -vc "^$program/" || true)
bound=$(sed -nE "s/^.*binding file (.*) \\[[0-9]+\\] to (.*) \\[[0-9]+\\]: [a-z]+ symbol \`([^']*)'.*/\\1\\t\\2\\t\\3/p" "$log" |
    awk -F'\t' -v f="$program/" -v p="$program/Carnetto" '
        index($1, f) == 1 || index($2, f) != 1 || $2 == p { next }
        $1 ~ /\/libwayland-client\.so\.0$/ && $2 ~ /\/libQt6WaylandClient\.so\.6$/ && $3 ~ /^wl_[a-z0-9_]+_interface$/ { next }
        { print $1 " -> " $2 ": " $3 }' | sort -u)
[ -z "$bound" ] || die "Debian 13: libraries of the system bind to the folder's copies:"$'\n'"$bound"
say "Debian 13: the main menu appeared with Qt's Italian texts; the program loaded $from_folder libraries from the" \
    "folder and $from_system from the system, and no library of the system bound to one of the folder's"

# Debian 11: the launcher's message, in a dialog, and no program.
make_system bullseye x11-utils
start_folder bullseye
wait_window '^xmessage$' >/dev/null || { cat "$work/bullseye.err"; die "Debian 11: no dialog appeared"; }
stop_folder
grep -q 'troppo vecchio per Carnetto' "$work/bullseye.err" || die "Debian 11: the launcher did not say why"
! grep -qs "initialize program: $program/Carnetto" "$work/bullseye/tmp/ld."* || die "Debian 11: the program was started"
say "Debian 11: the launcher showed, in xmessage and on standard error: $(cat "$work/bullseye.err")"
say "both passed"
