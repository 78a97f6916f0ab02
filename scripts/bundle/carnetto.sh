#!/bin/sh
# Starts Carnetto from this folder, from the applications menu (install-launcher.sh puts it there) or from a
# terminal: `sh carnetto.sh`, with any argument the program takes. It first checks that this computer can run
# the folder and, when it cannot, says why where the person sees it: a dialog of the desktop, or the terminal.
# Where the folder's files cannot be executed (a FAT stick as desktops mount it: only names ending in .exe, .com
# or .bat are), the system's loader starts the program, which needs no execute permission.
here=$(CDPATH='' cd -- "$(dirname -- "$0")" && pwd)
program=$here/Carnetto
# Filled in by make bundle: the loader the program names, the newest C library version the folder asks for (the
# desktops named below are those of glibc 2.35, as in the README).
loader=@LOADER@
min_glibc=@GLIBC@
title="Carnetto 4.0"

# On standard error always; from the menu also through the first of the desktop's ways that works.
tell() {
    printf '%s\n' "$1" >&2
    [ -t 2 ] && return 0
    [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || return 0
    case ${XDG_CURRENT_DESKTOP:-} in
    *KDE*) kdialog --title "$title" --error "$1" 2>/dev/null && return 0 ;;
    esac
    zenity --error --no-markup --no-wrap --title="$title" --text="$1" 2>/dev/null && return 0
    kdialog --title "$title" --error "$1" 2>/dev/null && return 0
    notify-send --urgency=critical "$title" "$1" 2>/dev/null && return 0
    xmessage -center -buttons OK:0 "$1" 2>/dev/null
    return 0
}

# Whether version $1 (major.minor[.patch]) is older than $2.
older() {
    a=${1#*.} b=${2#*.}
    set -- "${1%%.*}" "${a%%.*}" "${2%%.*}" "${b%%.*}"
    [ "$1" -lt "$3" ] || { [ "$1" -eq "$3" ] && [ "$2" -lt "$4" ]; }
}

machine=$(uname -m)
if [ "$machine" != x86_64 ]; then
    tell "Carnetto funziona sui PC a 64 bit (x86-64); questo computer è un $machine."
    exit 1
fi
glibc=$(getconf GNU_LIBC_VERSION 2>/dev/null)
glibc=${glibc#glibc }
case $glibc in
[0-9]*.[0-9]*) ;;
*)
    tell "Carnetto ha bisogno della libreria C GNU (glibc) $min_glibc o più recente, che questo Linux non ha."
    exit 1
    ;;
esac
if older "$glibc" "$min_glibc"; then
    tell "Questo Linux è troppo vecchio per Carnetto: la sua libreria C (glibc) è la $glibc, Carnetto ha bisogno \
della $min_glibc o più recente (Debian 12, Ubuntu 22.04, Fedora 36 e i successivi)."
    exit 1
fi

status=126
if [ -x "$program" ]; then
    "$program" "$@"
    status=$?
fi
# Not executable here (a FAT stick): the loader maps the program itself, which needs only the right to read it.
if [ "$status" -eq 126 ]; then
    "$loader" "$program" "$@"
    status=$?
fi
# 127: the loader could not start the program (a library of the system missing, or too old); asked as ldd asks
# it, it names every one.
if [ "$status" -eq 127 ]; then
    why=$(LD_TRACE_LOADED_OBJECTS=1 LD_WARN=yes "$loader" "$program" 2>&1 | grep -e 'not found' -e 'error while' |
        sed 's/^[[:space:]]*//' | head -n 8)
    tell "Carnetto non è potuto partire: a questo computer manca qualcosa che gli serve.
$why"
fi
exit "$status"
