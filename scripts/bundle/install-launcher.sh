#!/bin/sh
# Adds Carnetto to the applications menu of the current user, pointing at this folder where it is now
# (run it again after moving the folder): `sh install-launcher.sh`. The entry starts carnetto.sh, which checks
# the computer first and starts the program through the system's loader where the folder's files cannot be
# executed (a FAT stick as desktops mount it). Where they can, the entry disappears from the menu while the
# folder is away (TryExec) and comes back when the drive is plugged in at the same place; TryExec would hide it
# for good on a FAT stick, so there the entry stays.
set -eu
here=$(cd "$(dirname "$0")" && pwd -P)
case $here in
*'
'*) echo "The folder's path holds a line break: move the folder and try again." >&2; exit 1 ;;
esac
[ -f "$here/Carnetto" ] && [ -f "$here/carnetto.sh" ] || { echo "Carnetto is not in $here." >&2; exit 1; }

# Values of a desktop entry escape a backslash as \\; the Exec value is a command line besides, so the path
# goes in double quotes, with \ " ` $ escaped inside them and % doubled.
string_value() { printf '%s' "$1" | sed -e 's/\\/\\\\/g'; }
exec_value() {
    printf '"%s"' "$(printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g')" | sed -e 's/\\/\\\\/g'
}

apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
mkdir -p "$apps"
entry=$apps/Carnetto.desktop
tmp=$entry.tmp.$$
trap 'rm -f "$tmp"' EXIT
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
    '#'*) ;;
    Exec=*) printf 'Exec=sh %s\n' "$(exec_value "$here/carnetto.sh")" ;;
    TryExec=*) [ ! -x "$here/Carnetto" ] || printf 'TryExec=%s\n' "$(string_value "$here/Carnetto")" ;;
    Icon=*) printf 'Icon=%s\n' "$(string_value "$here/carnetto.png")" ;;
    *) printf '%s\n' "$line" ;;
    esac
done <"$here/Carnetto.desktop" >"$tmp"
chmod 644 "$tmp"
mv "$tmp" "$entry"
trap - EXIT
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$apps" >/dev/null 2>&1 || true
echo "Carnetto is in the applications menu ($entry)."
