#!/usr/bin/env bash
# Makes the portable folder (scripts/make-bundle.sh) and copies it to a USB drive's path with a blank in it, its
# files readable but not executable, as desktops show a FAT stick; checks that it carries every library it needs
# beyond the desktop's, and that only its own files search lib/. Then starts it through carnetto.sh, which hands
# it to the system's loader, on an X server under a session bus of its own and with the system's Qt hidden (a
# private mount namespace, as root): the main menu appears with its window class and Qt's Italian texts from the
# folder, browsing creates Contatti.pro beside the program, the command line reads and writes that archive, and
# the loader's log of the program's own process shows every library of the folder loaded from it and no library
# of the system bound to one of its copies. Last, the launcher's checks of the computer and the menu entry that
# install-launcher.sh writes.
#     portable_folder.sh SOURCE_DIR BUILD_DIR          (under xvfb-run)
set -euo pipefail
[ "${1:-}" = --inside ] || {
    source_dir=$1
    build_dir=$2
}

fail() { echo "FAIL: $*"; exit 1; }

base_patterns=()
load_base() { mapfile -t base_patterns < <(grep -v -E '^\s*(#|$)' "$1/scripts/bundle-base.txt" | awk '{ print $1 }'); }
is_base() {
    local p
    for p in "${base_patterns[@]}"; do [[ $1 =~ ^($p)$ ]] && return 0; done
    return 1
}
is_elf() {
    local magic=""
    IFS= read -r -N 4 magic <"$1" 2>/dev/null || true
    [ "$magic" = $'\x7fELF' ]
}

# Inside the mount namespace: hide every system Qt library (an empty file in its place, so loading one
# fails loudly) and Qt's plugin and translation folders; then start the program and drive it.
hide_system_qt() {
    local lib real
    declare -A done_=()
    while IFS= read -r lib; do
        real=$(readlink -f "$lib")
        [ -f "$real" ] && [ -z "${done_[$real]:-}" ] || continue
        done_[$real]=1
        mount --bind /dev/null "$real"
    done < <(ldconfig -p | awk '$1 ~ /^libQt6/ { print $NF }')
    for d in /usr/lib/x86_64-linux-gnu/qt6 /usr/share/qt6; do
        [ ! -d "$d" ] || mount -t tmpfs tmpfs "$d"
    done
    [ ${#done_[@]} -gt 0 ] || fail "no system Qt library was found to hide"
    [ ! -s "$(ldconfig -p | awk '$1 == "libQt6Core.so.6" { print $NF; exit }')" ] || fail "the system Qt is still visible"
    echo "hid ${#done_[@]} system Qt libraries and Qt's plugin and translation folders"
}
# Starts the folder through its launcher with the loader logging into $ldlog.PID; its own session bus, so that
# libdbus never starts dbus-launch, and a process group of its own, so that all of it can be stopped.
start_folder() {
    setsid dbus-run-session -- env -u LD_LIBRARY_PATH -u QT_PLUGIN_PATH -u QT_QPA_PLATFORM_PLUGIN_PATH \
        -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u XDG_CURRENT_DESKTOP "$@" \
        LD_DEBUG=libs,bindings LD_BIND_NOW=1 LD_DEBUG_OUTPUT="$ldlog" sh "$folder/carnetto.sh" &
    group=$!
}
stop_folder() {
    kill -TERM -- -"$group" 2>/dev/null || true
    wait "$group" 2>/dev/null || true
}
if [ "${1:-}" = --inside ]; then
    folder=$2
    ldlog=$3
    work=$4
    [ "${5:-}" = nohide ] || hide_system_qt

    cd /
    start_folder
    trap stop_folder EXIT

    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --name '^ Carnetto 4.0$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$group" 2>/dev/null || fail "the program ended before showing the main menu"
        sleep 0.1
    done
    [ -n "$window" ] || fail "the main menu did not appear"
    pid=$(xdotool getwindowpid "$window")
    [ "$(readlink "/proc/$pid/exe")" != "$(readlink -f "$folder/Carnetto")" ] \
        || fail "the program, whose file is not executable, did not start through the loader"

    wm_class=$(sed -n 's/^StartupWMClass=//p' "$folder/Carnetto.desktop")
    xdotool search --class "^$wm_class\$" | grep -qx "$window" \
        || fail "the main menu's window class is not the launcher's StartupWMClass ($wm_class)"
    xdotool search --classname "^$wm_class\$" | grep -qx "$window" \
        || fail "the main menu's window instance name is not $wm_class"

    # Qt keeps its Italian texts mapped from the file qt.conf leads it to.
    grep -qF "$folder/translations/qtbase_it.qm" "/proc/$pid/maps" \
        || fail "Qt's Italian translation was not loaded from the folder"

    eval "$(xdotool getwindowgeometry --shell "$window")"
    # The contacts picture of the main menu, then the card window's "next" arrow.
    xdotool mousemove $((X + 12 + 34 + 60)) $((Y + 232 + 42 + 48)) click 1
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name '^ Rubrica contatti$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool search --onlyvisible --name '^ Rubrica contatti$' >/dev/null || fail "the card window did not open"
    xdotool mousemove $((X + 695 + 16)) $((Y + 420 + 16)) click 1
    for _ in $(seq 1 50); do
        [ -f "$folder/Contatti.pro" ] && break
        sleep 0.1
    done
    [ -f "$folder/Contatti.pro" ] || fail "Contatti.pro was not created beside the executable"
    stop_folder
    [ ! -s "$folder/Contatti.pro" ] || fail "browsing wrote into the archive"

    # There is no Wayland compositor here, so the wayland platform gives up at once; but its plugin and the
    # libraries it needs must have loaded from the folder by then.
    ulimit -c 0
    start_folder QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=carnetto-no-such-display >/dev/null 2>&1
    wait "$group" || true

    # The command line, from another folder: through the loader, then as a program that may run by itself.
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;Mario;;;\r\nFN:Mario Rossi\r\nEND:VCARD\r\n' >"$work/rossi.vcf"
    out=$(sh "$folder/carnetto.sh" --importa-vcard "$work/rossi.vcf") || fail "the import failed: $out"
    [[ $out == *" in \"$folder/Contatti.pro\","* ]] || fail "the import did not write the folder's archive: $out"
    chmod 755 "$folder/Carnetto"
    out=$("$folder/Carnetto" --esporta-csv "$work/rubrica.csv") || fail "the export failed: $out"
    chmod 644 "$folder/Carnetto"
    [[ $out == *" da \"$folder/Contatti.pro\" in "* ]] || fail "the export did not read the folder's archive: $out"
    grep -q 'Rossi' "$work/rubrica.csv" || fail "the card imported through the loader is not in the export"
    # HTTPS from the command line (nothing listens there): Qt's TLS backend is a plugin, the folder's one too.
    CARNETTO_PASSWORD=x LD_DEBUG=libs LD_DEBUG_OUTPUT="$ldlog-tls" \
        sh "$folder/carnetto.sh" --sincronizza https://127.0.0.1:9/ utente >/dev/null 2>&1 || true
    grep -qF "calling init: $folder/plugins/tls/libqopensslbackend.so" "$ldlog-tls".* \
        || fail "the command line did not load Qt's TLS backend from the folder"
    exit 0
fi

load_base "$source_dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 1. Make the folder, then carry it: a copy somewhere else, on a path with a blank, nothing executable.
bash "$source_dir/scripts/make-bundle.sh" "$build_dir" "$work/out/Carnetto"
folder="$work/media/utente/USB DISK/Carnetto"
mkdir -p "$(dirname "$folder")"
cp -r "$work/out/Carnetto" "$folder"
rm -rf "$work/out"
find "$folder" -type f -exec chmod 644 {} +

# 2. What the folder holds.
links=$(find "$folder" -type l)
[ -z "$links" ] || fail "symbolic links in the folder: $links"
[ ! -e "$folder/Contatti.pro" ] || fail "the folder already holds an archive"
for f in Carnetto carnetto.sh qt.conf translations/qtbase_it.qm carnetto.png Carnetto.desktop install-launcher.sh \
         plugins/platforms/libqxcb.so plugins/platforms/libqwayland-generic.so plugins/platforms/libqwayland-egl.so \
         plugins/wayland-shell-integration/libxdg-shell.so \
         plugins/platforminputcontexts/libcomposeplatforminputcontextplugin.so \
         plugins/imageformats/libqgif.so plugins/imageformats/libqjpeg.so; do
    [ -s "$folder/$f" ] || fail "the folder lacks $f"
done
# Printing comes with the program's first call into Qt's print support (until then the linker drops it).
if [ -f "$folder/lib/libQt6PrintSupport.so.6" ]; then
    [ -s "$folder/plugins/printsupport/libcupsprintersupport.so" ] || fail "the folder prints but lacks the CUPS plugin"
fi
if [ -f "$folder/lib/libQt6Network.so.6" ]; then
    [ -s "$folder/plugins/tls/libqopensslbackend.so" ] || fail "the folder uses the network but lacks Qt's TLS backend"
fi
grep -qx 'Plugins = plugins' "$folder/qt.conf" && grep -qx 'Translations = translations' "$folder/qt.conf" \
    || fail "qt.conf does not point inside the folder"
grep -qE '^min_glibc=[0-9]+\.[0-9]+$' "$folder/carnetto.sh" && grep -qx 'loader=/.*ld-linux.*' "$folder/carnetto.sh" \
    || fail "make-bundle did not fill in the launcher"

# Every library a file of the folder asks for is in lib/, unless the desktop has it; the xcb-util family, ICU and
# the libraries named below are never the desktop's. Only the folder's own files search lib/: a RUNPATH on each
# (never an RPATH, which the loader applies to the system's libraries as well).
elves=0
declare -A wanted=()
while IFS= read -r -d '' f; do
    is_elf "$f" || continue
    elves=$((elves + 1))
    case ${f#"$folder"/} in
    Carnetto) runpath='$ORIGIN/lib' ;;
    lib/*) runpath='$ORIGIN' ;;
    plugins/*/*) runpath='$ORIGIN/../../lib' ;;
    *) fail "an unexpected program or library: $f" ;;
    esac
    found=""
    while IFS= read -r line; do
        [[ $line =~ \(RPATH\) ]] && fail "${f#"$folder"/} has an RPATH"
        [[ $line =~ \(RUNPATH\).*\[(.*)\]$ ]] && found=${BASH_REMATCH[1]}
        [[ $line =~ \(NEEDED\).*\[(.*)\]$ ]] || continue
        name=${BASH_REMATCH[1]}
        is_base "$name" && continue
        wanted[$name]=1
        [ -f "$folder/lib/$name" ] || fail "${f#"$folder"/} needs $name, which is not in lib/"
    done < <(readelf -d "$f")
    [ "$found" = "$runpath" ] || fail "${f#"$folder"/} has the RUNPATH '$found' instead of '$runpath'"
done < <(find "$folder" -type f -print0)
for name in libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6 libQt6XcbQpa.so.6 \
            libQt6WaylandClient.so.6 libicuuc.so.72 libicudata.so.72 libxcb-icccm.so.4 libxcb-image.so.0 \
            libxcb-keysyms.so.1 libxcb-render-util.so.0 libxcb-util.so.1 \
            libpcre2-16.so.0 libdouble-conversion.so.3 libmd4c.so.0 libb2.so.1 libjpeg.so.62; do
    is_base "$name" && fail "$name is counted as the desktop's"
    [ -n "${wanted[$name]:-}" ] || fail "nothing in the folder asks for $name: did the program stop linking it?"
done
echo "checked $elves programs and libraries, $(find "$folder/lib" -type f | wc -l) in lib/, $(du -sh "$folder" | cut -f1)"

# 3. Start it with the system's Qt out of reach, and look at what the loader did in the program's own process.
ldlog="$work/ld"
if [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null; then
    unshare -m --propagation private bash "$0" --inside "$folder" "$ldlog" "$work"
else
    echo "cannot hide the system Qt (a mount namespace needs root): checking only where each library was loaded from"
    bash "$0" --inside "$folder" "$ldlog" "$work" nohide
fi
logs=0
loaded=0
for log in "$ldlog".*; do
    grep -qF "initialize program: $folder/Carnetto" "$log" || continue
    logs=$((logs + 1))
    while IFS= read -r path; do
        loaded=$((loaded + 1))
        case $path in
        "$folder"/*) continue ;;
        esac
        name=${path##*/}
        case $name in
        libQt6* | *qt6*) fail "loaded $path from the system" ;;
        esac
        [ -z "${wanted[$name]:-}" ] || fail "loaded $path from the system instead of the folder"
    done < <(sed -n 's/.*calling init: //p' "$log")
    # No system library binds a symbol to a file of the folder, but for two kinds that would bind the same way to
    # a Qt of the system: the C++ runtime's few to the program itself, and libwayland-client's tables of the
    # core protocol's interfaces, which Qt's wayland client library defines as well. A sanitizer build (make
    # test-asan) carries the sanitizer's runtime, which takes malloc and the like from everyone by design.
    bound=$(sed -nE "s/^.*binding file (.*) \\[[0-9]+\\] to (.*) \\[[0-9]+\\]: [a-z]+ symbol \`([^']*)'.*/\\1\\t\\2\\t\\3/p" \
        "$log" | awk -F'\t' -v f="$folder/" -v p="$folder/Carnetto" '
            index($1, f) == 1 || index($2, f) != 1 || $2 == p { next }
            $1 ~ /\/libwayland-client\.so\.0$/ && $2 ~ /\/libQt6WaylandClient\.so\.6$/ && $3 ~ /^wl_[a-z0-9_]+_interface$/ { next }
            $2 ~ /\/lib(a|ub|l|t)san\.so\.[0-9]+$/ { next }
            { print $1 " -> " $2 ": " $3 }' | sort -u)
    [ -z "$bound" ] || fail "system libraries bind to the folder's copies:"$'\n'"$bound"
done
[ "$logs" -eq 2 ] || fail "found $logs loader logs of the program instead of 2 (the window and the wayland start)"
[ "$loaded" -gt 20 ] || fail "the loader's logs show only $loaded libraries"
grep -qF "calling init: $folder/plugins/platforms/libqwayland-generic.so" "$ldlog".* \
    || fail "the wayland platform plugin did not load from the folder"
echo "the loader opened $loaded libraries, none of the folder's from the system; no system library bound to them"

# Making the folder again over one that now holds cards is refused, and the cards stay.
if bash "$source_dir/scripts/make-bundle.sh" "$build_dir" "$folder" 2>/dev/null; then
    fail "make-bundle replaced a folder holding Contatti.pro"
fi
grep -q 'Rossi' "$folder/Contatti.pro" || fail "make-bundle touched Contatti.pro"

# 4. The launcher's checks of the computer: a C library too old, a library of the system missing. Each is said
# on standard error and, away from a terminal, through the desktop's dialog; the program does not start.
fake="$work/fake-bin"
mkdir -p "$fake"
printf '#!/bin/sh\necho "glibc 2.31"\n' >"$fake/getconf"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/dialog"\n' "$work" >"$fake/zenity"
chmod 755 "$fake/getconf" "$fake/zenity"
min_glibc=$(sed -n 's/^min_glibc=//p' "$folder/carnetto.sh")
launch() { env -u XDG_CURRENT_DESKTOP PATH="$1:$PATH" DISPLAY="${DISPLAY:-:0}" sh "$folder/carnetto.sh" --help \
    2>"$work/err" </dev/null; }
status=0
launch "$fake" || status=$?
[ "$status" -eq 1 ] || fail "the launcher started the program on a C library too old (status $status)"
grep -qF "(glibc) è la 2.31, Carnetto ha bisogno della $min_glibc o più recente" "$work/err" \
    || fail "the launcher did not say that the C library is too old: $(cat "$work/err")"
grep -qF "bisogno della $min_glibc" "$work/dialog" || fail "the launcher showed no dialog for the old C library"
rm "$fake/getconf" "$work/dialog"
# A desktop without a library the program needs (libOpenGL.so.0 on a minimal one, say).
cp "$folder/Carnetto" "$work/Carnetto.orig"
patchelf --add-needed libcarnetto-assente.so.0 "$folder/Carnetto"
status=0
launch "$fake" || status=$?
cp "$work/Carnetto.orig" "$folder/Carnetto"
[ "$status" -eq 127 ] || fail "the program without a library ended with status $status instead of the loader's 127"
grep -q 'libcarnetto-assente.so.0 => not found' "$work/dialog" \
    || fail "the launcher's dialog did not name the missing library"

# 5. The launcher for the current user, from a folder whose files cannot be executed and from one whose can.
home="$work/home"
mkdir -p "$home"
entry="$home/.local/share/applications/Carnetto.desktop"
exec_args() {
    local v
    v=$(sed -n 's/^Exec=//p' "$1")
    v=${v//\\\\/\\}
    eval "set -- $v"
    [ $# -eq 2 ] && [ "$1" = sh ] || fail "Exec is not sh and one path: $v"
    printf '%s' "${2//%%/%}"
}
HOME=$home XDG_DATA_HOME='' sh "$folder/install-launcher.sh" >/dev/null
[ -f "$entry" ] || fail "install-launcher.sh wrote no entry in ~/.local/share/applications"
grep -qx 'Name=Carnetto 4.0 - La rubrica da portare a spasso!' "$entry" || fail "the entry's name is wrong"
grep -qx 'StartupWMClass=Carnetto' "$entry" || fail "the entry's StartupWMClass is wrong"
grep -qx "Icon=$folder/carnetto.png" "$entry" || fail "the entry's icon is not the folder's"
[ "$(exec_args "$entry")" = "$folder/carnetto.sh" ] || fail "Exec does not give back $folder/carnetto.sh"
! grep -q '^TryExec=' "$entry" || fail "TryExec names a program that cannot be executed: the menu would hide it"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" || fail "the entry is not valid"; fi
chmod 755 "$folder/Carnetto"
HOME=$home XDG_DATA_HOME='' sh "$folder/install-launcher.sh" >/dev/null
grep -qx "TryExec=$folder/Carnetto" "$entry" || fail "the entry's TryExec is not the folder's program"

# A path that needs every escape of an Exec line.
odd="$work/it's \"odd\" \$HOME %f \`x\` back\\slash/Carnetto"
mkdir -p "$odd"
cp "$folder/install-launcher.sh" "$folder/Carnetto.desktop" "$odd/"
: >"$odd/Carnetto"
: >"$odd/carnetto.sh"
HOME=$home XDG_DATA_HOME='' sh "$odd/install-launcher.sh" >/dev/null
[ "$(exec_args "$entry")" = "$odd/carnetto.sh" ] || fail "Exec does not give back a path with quotes, \$, % and \\"

echo "1 passed, 0 failed"
