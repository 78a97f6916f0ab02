#!/usr/bin/env bash
# Makes the Windows portable folder, Carnetto-windows/, beside the Linux one on the same stick: Carnetto.exe,
# the Qt DLLs and plugins it uses, the MinGW runtime, libxlsxwriter and zlib. What goes in is found by following
# the import tables (objdump -p) of the program and of the plugins named below; a DLL that is neither built here
# nor part of every Windows 10/11 (windows-system.txt) stops the script.
#
#     make-bundle-windows.sh BUILD_DIR DEST       (make bundle-windows: build-windows -> dist/Carnetto-windows)
#
# Qt finds plugins/ and translations/ through qt.conf. No archive is put in: Contatti.pro is created beside
# Carnetto.exe at first use, in the same format as on Linux.
set -euo pipefail
source "$(dirname "$0")/common.sh"
die() { echo "make-bundle-windows: $*" >&2; exit 1; }

[ $# -eq 2 ] || die "usage: $0 BUILD_DIR DEST"
build_dir=$(cd "$1" && pwd) || die "no build folder $1"
dest=$2
[ -f "$build_dir/app/Carnetto.exe" ] || die "$build_dir/app/Carnetto.exe is not built yet"
qt=$(sed -n 's/^CARNETTO_QT_WINDOWS:PATH=//p' "$build_dir/CMakeCache.txt")
xlsx=$(sed -n 's/^CARNETTO_XLSX_WINDOWS:PATH=//p' "$build_dir/CMakeCache.txt")
[ -d "$qt/bin" ] && [ -d "$xlsx/bin" ] || die "$build_dir was not configured by build-windows.sh"
objdump=$MINGW-objdump
strip=$MINGW-strip

# Never throw away someone's cards, nor a folder that is not a bundle.
mkdir -p "$(dirname "$dest")"
dest=$(cd "$(dirname "$dest")" && pwd)/$(basename "$dest")
if [ -e "$dest" ]; then
    compgen -G "$dest/Contatti.*" >/dev/null && die "$dest holds an archive (Contatti.pro): move it somewhere safe first"
    if [ -n "$(ls -A "$dest")" ] && ! { [ -f "$dest/qt.conf" ] && [ -f "$dest/Carnetto.exe" ]; }; then
        die "$dest exists and is not a Carnetto folder: choose another place"
    fi
fi

mapfile -t system_dlls < <(grep -v -E '^\s*(#|$)' "$HERE_WINDOWS/windows-system.txt")
is_system() {
    local lower=${1,,} p
    for p in "${system_dlls[@]}"; do [[ $lower =~ ^($p)$ ]] && return 0; done
    return 1
}
gcc_dir=$(dirname "$($MINGW-g++-posix -print-file-name=libstdc++-6.dll)")
search_dirs=("$qt/bin" "$xlsx/bin" "$gcc_dir" "/usr/$MINGW/lib" "/usr/$MINGW/bin")
find_dll() {
    local d f
    for d in "${search_dirs[@]}"; do
        for f in "$d"/*.dll; do
            local name=${f##*/}
            if [ -f "$f" ] && [ "${name,,}" = "${1,,}" ]; then echo "$f"; return 0; fi
        done
    done
    return 1
}

stage=$(mktemp -d "$(dirname "$dest")/.Carnetto-windows.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$build_dir/app/Carnetto.exe" "$stage/Carnetto.exe"
mkdir -p "$stage/plugins" "$stage/translations"
# Printing to Windows printers is inside Qt6PrintSupport.dll itself since Qt 6: no plugin for it.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll
         imageformats/qgif.dll imageformats/qjpeg.dll imageformats/qico.dll
         tls/qschannelbackend.dll tls/qcertonlybackend.dll)
for p in "${plugins[@]}"; do
    [ -f "$qt/plugins/$p" ] || die "the Qt for Windows in $qt has no plugin $p"
    mkdir -p "$stage/plugins/$(dirname "$p")"
    cp "$qt/plugins/$p" "$stage/plugins/$p"
done

# Follow the import tables from the program and the plugins.
declare -A seen=()
queue=("$stage/Carnetto.exe")
for p in "${plugins[@]}"; do queue+=("$stage/plugins/$p"); done
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        if path=$(find_dll "$dll"); then
            cp "$path" "$stage/$(basename "$path")"
            queue+=("$stage/$(basename "$path")")
        elif ! is_system "$dll"; then
            die "$(basename "$file") needs $dll, which is neither built here nor part of Windows (windows-system.txt)"
        fi
    done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
for f in "$stage"/*.exe "$stage"/*.dll "$stage"/plugins/*/*.dll; do "$strip" --strip-unneeded "$f" 2>/dev/null || true; done

[ -f /usr/share/qt6/translations/qtbase_it.qm ] || die "qtbase_it.qm is missing (qt6-translations-l10n)"
cp /usr/share/qt6/translations/qtbase_it.qm "$stage/translations/"
printf '%s\r\n' "; Qt looks for its plugins and translations inside this folder, wherever the folder is." \
    "[Paths]" "Prefix = ." "Plugins = plugins" "Translations = translations" >"$stage/qt.conf"

rm -rf "$dest"
mv "$stage" "$dest"
trap - EXIT
echo "Windows folder: $dest ($(du -sh "$dest" | cut -f1), $(find "$dest" -type f | wc -l) files)"
