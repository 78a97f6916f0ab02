#!/usr/bin/env bash
# The README's `make test` on a newcomer's machine: a fresh Debian 12 (debootstrap's minbase with make, git and
# ca-certificates, nothing else), a clean clone of this checkout's HEAD in it, and `make test` run there as root
# in a chroot with /proc, /dev and a /tmp of its own. Only packages.txt can make it pass.
#
# The base system is made once and kept as a tarball in $CARNETTO_CACHE (~/.cache/carnetto unless set), so a
# second run unpacks it in seconds; it is made again when older than 30 days. Everything else lives in one
# folder under /var/tmp that is removed at the end, on failure too; the mounts live in a mount namespace of
# their own, so they vanish with it whatever happens and no removal can reach through them into /dev.
#     test-fresh.sh            (as root, or through sudo)
#     DEBIAN_MIRROR=http://...  another mirror than deb.debian.org
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "test-fresh: run as root, or install sudo" >&2; exit 1; }
    exec sudo --preserve-env=CARNETTO_CACHE,DEBIAN_MIRROR,http_proxy,https_proxy \
        CARNETTO_CACHE="${CARNETTO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/carnetto}" bash "$0" "$@"
fi
cache=${CARNETTO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/carnetto}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
base=$cache/debian12-minbase.tar.gz

if ! command -v debootstrap >/dev/null; then
    echo "test-fresh: installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

work=$(mktemp -d /var/tmp/carnetto-fresh.XXXXXX)
trap 'rm -rf --one-file-system "$work"' EXIT
root=$work/root
mkdir -p "$root" "$cache"

if [ -f "$base" ] && [ -n "$(find "$base" -mtime -30)" ]; then
    echo "test-fresh: unpacking the base system from $base"
    tar -C "$root" -xzf "$base"
else
    echo "test-fresh: making a fresh Debian 12 (debootstrap --variant=minbase) from $mirror"
    debootstrap --variant=minbase --include=make,git,ca-certificates bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -n 30 "$work/debootstrap.log"; echo "test-fresh: debootstrap failed" >&2; exit 1; }
    rm -rf "$root"/var/lib/apt/lists/* "$root"/var/cache/apt/archives/*.deb
    tar -C "$root" -czf "$base.part" . && mv "$base.part" "$base"
fi

# The sources a Debian 12 installation has, on the chosen mirror; the machine's own name server.
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security} bookworm-security main
SOURCES
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
for conf in /etc/apt/apt.conf.d/*; do
    grep -qi 'proxy' "$conf" 2>/dev/null && cp "$conf" "$root/etc/apt/apt.conf.d/"
done

git clone -q --no-hardlinks "$src" "$root/root/carnetto"
echo "test-fresh: a clean clone of $(git -C "$src" rev-parse --short HEAD); running make test in the chroot"
mkdir -p "$work/tmp" && chmod 1777 "$work/tmp"

unshare --mount --propagation private bash -euo pipefail -c '
    root=$1 tmp=$2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    mount --bind "$tmp" "$root/tmp"
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} \
        bash -c "cd /root/carnetto && make test"
' fresh "$root" "$work/tmp"
echo "test-fresh: make test passed on a fresh Debian 12"
