#!/usr/bin/env bash
# Configures and builds Carnetto for Windows with the cross-built Qt and libxlsxwriter (built first when they
# are not there yet). ctest runs the test programs under Wine (CMAKE_CROSSCOMPILING_EMULATOR, wine-run.sh).
#     build-windows.sh BUILD_DIR [TARGET...]      (no target: everything)
set -euo pipefail
source "$(dirname "$0")/common.sh"
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [TARGET...]" >&2; exit 1; }
build=$1
shift

qt=$(bash "$HERE_WINDOWS/build-qt-windows.sh" | tail -n 1)
xlsx=$(bash "$HERE_WINDOWS/build-xlsxwriter-windows.sh" | tail -n 1)
# Qt's own Italian texts, as the Windows folder carries them (Debian's qt6-translations-l10n: the same .qm on
# every system), where Qt for Windows looks for them when a test runs from the build folder.
mkdir -p "$qt/translations"
[ -f "$qt/translations/qtbase_it.qm" ] || cp /usr/share/qt6/translations/qtbase_it.qm "$qt/translations/"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$REPO_ROOT}

if [ ! -f "$build/build.ninja" ] || ! grep -q "CARNETTO_QT_WINDOWS:PATH=$qt\$" "$build/CMakeCache.txt" ||
    ! grep -q "CARNETTO_XLSX_WINDOWS:PATH=$xlsx\$" "$build/CMakeCache.txt"; then
    rm -rf "$build"
    # The toolchain file Qt generated names the one it was built with; that copy travels in the prefix.
    nice -n 19 cmake -S "$REPO_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$qt/mingw-toolchain.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCARNETTO_QT_WINDOWS:PATH="$qt" -DCARNETTO_XLSX_WINDOWS:PATH="$xlsx" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$HERE_WINDOWS/wine-run.sh" \
        "${launcher[@]}"
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
nice -n 19 cmake --build "$build" -j "${JOBS:-2}" "${targets[@]}"
