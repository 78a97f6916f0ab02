#!/usr/bin/env bash
# libxlsxwriter for Windows (64-bit, MinGW-w64) from Debian's own source package, as a DLL linked to the zlib
# of libz-mingw-w64-dev. About a minute; the result stays in ~/.cache/carnetto/. Prints the prefix on the last line.
#   build-xlsxwriter-windows.sh --print-prefix   only prints where it is (or would be)
#
# Built as it comes, the library leaves its Windows file-name path out under MinGW (it undefines _WIN32 there, and
# adds minizip's iowin32.c for MSVC only), so a workbook named "Rubrica_città.xlsx" would be written under a
# mangled name: both are put back before building.
set -euo pipefail
source "$(dirname "$0")/common.sh"

version=1.1.4
key=$( { echo "$version"; cat "$HERE_WINDOWS/toolchain-mingw64.cmake" "$0"; } | sha256sum | cut -c1-12)
prefix=$CARNETTO_CACHE/xlsxwriter-windows-$version-$key
[ "${1:-}" = --print-prefix ] && { echo "$prefix"; exit 0; }
if [ -f "$prefix/.carnetto-complete" ]; then echo "$prefix"; exit 0; fi
(cd "$REPO_ROOT" && bash scripts/install-deps.sh scripts/windows/packages.txt)

orig=$(fetch_debian_source libxlsxwriter "$CARNETTO_CACHE/src/libxlsxwriter" | tail -n 1)
work=$CARNETTO_CACHE/build/xlsxwriter-windows-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
tar -xf "$orig" -C "$work"
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
# Keep _WIN32 defined under MinGW: the UTF-8 file names go through _wfopen and minizip's Windows I/O.
sed -i '/^#ifdef __MINGW32__$/{N;/\n#undef _WIN32$/{N;d}}' "$src/src/packager.c" "$src/src/utility.c"
perl -0pi -e 's/if\(MSVC\)(\s*list\(APPEND LXW_SOURCES third_party\/minizip\/iowin32\.c\))/if(WIN32)$1/' "$src/CMakeLists.txt"
grep -q '__MINGW32__' "$src/src/packager.c" "$src/src/utility.c" && { echo "libxlsxwriter: MinGW patch did not apply" >&2; exit 1; }
grep -q 'if(WIN32)' "$src/CMakeLists.txt" || { echo "libxlsxwriter: iowin32.c patch did not apply" >&2; exit 1; }

nice -n 19 cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$HERE_WINDOWS/toolchain-mingw64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DZLIB_LIBRARY=/usr/$MINGW/lib/libz.dll.a -DZLIB_INCLUDE_DIR=/usr/$MINGW/include >&2
nice -n 19 cmake --build "$work/build" -j "${QT_WINDOWS_JOBS:-2}" >&2
nice -n 19 cmake --install "$work/build" --strip >&2
touch "$prefix/.carnetto-complete"
echo "$prefix"
