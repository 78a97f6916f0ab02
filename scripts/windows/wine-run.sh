#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine (64-bit): the emulator ctest puts before each test
# program, and what the end-to-end check starts Carnetto.exe with. The Qt, libxlsxwriter and MinGW runtime DLLs
# are found through WINEPATH, so a test program runs from the build folder as it is. Wine keeps its own
# "computer" (WINEPREFIX) in ~/.cache/carnetto/wine, made once on first use.
#
# Wine hands variables named QT_* to the program only as WINEQT_*, so QT_QPA_PLATFORM and the other Qt settings
# given here are passed on under those names.
set -euo pipefail
source "$(dirname "$0")/common.sh"

export WINEPREFIX=${WINEPREFIX:-$CARNETTO_CACHE/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
qt=${CARNETTO_QT_WINDOWS:-$(bash "$HERE_WINDOWS/build-qt-windows.sh" --print-prefix)}
xlsx=${CARNETTO_XLSX_WINDOWS:-$(bash "$HERE_WINDOWS/build-xlsxwriter-windows.sh" --print-prefix)}
gcc_dir=$(dirname "$($MINGW-g++-posix -print-file-name=libstdc++-6.dll)")
winepath_unix=("$qt/bin" "$xlsx/bin" "$gcc_dir" "/usr/$MINGW/lib")
winepath=""
for d in "${winepath_unix[@]}"; do winepath+="Z:${d//\//\\};"; done
export WINEPATH="$winepath${WINEPATH:-}"
export WINEQT_QPA_PLATFORM=${QT_QPA_PLATFORM:-${WINEQT_QPA_PLATFORM:-offscreen}}
# QtTest's text goes to the debugger channel when the program has no console; this sends it to standard error.
export WINEQT_FORCE_STDERR_LOGGING=${WINEQT_FORCE_STDERR_LOGGING:-1}
for v in $(compgen -e | grep -E '^QT_' || true); do
    [ "$v" = QT_QPA_PLATFORM ] || export "WINE$v=${!v}"
done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot --init >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver64 -w 2>/dev/null || wineserver -w 2>/dev/null || true
fi
exec "$WINE64" "$@"
