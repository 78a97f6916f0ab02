#!/usr/bin/env bash
# make test-windows: the test programs built as Windows programs and run under Wine (offscreen), then the
# Windows folder's Carnetto.exe end to end against the Linux build (tests/windows/carnetto_exe.sh).
#     test-windows.sh WINDOWS_BUILD_DIR WINDOWS_FOLDER LINUX_BUILD_DIR
# Left out: the tests that drive Linux tools (label integration: Xvfb scripts, CUPS, chattr, debootstrap) and
# the fuzz corpus replays (label fuzz), which the Linux build runs. Labels of their own leave out the tests
# that cannot mean the same on Windows (WINDOWS_EXCLUDE, a ctest regular expression).
set -euo pipefail
source "$(dirname "$0")/common.sh"
[ $# -eq 3 ] || { echo "usage: $0 WINDOWS_BUILD_DIR WINDOWS_FOLDER LINUX_BUILD_DIR" >&2; exit 1; }
build=$1
folder=$2
linux_build=$3
start=$(date +%s)
bash "$HERE_WINDOWS/build-windows.sh" "$build"
bash "$HERE_WINDOWS/make-bundle-windows.sh" "$build" "$folder"
built=$(date +%s)
# Wine's own computer is made once before the tests run side by side.
bash "$HERE_WINDOWS/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
status=0
(cd "$build" && ctest --output-on-failure -j "${JOBS:-2}" --timeout 300 -LE 'integration|fuzz' \
    ${WINDOWS_EXCLUDE:+-E "$WINDOWS_EXCLUDE"}) || status=1
tested=$(date +%s)
bash "$REPO_ROOT/tests/windows/carnetto_exe.sh" "$folder" "$linux_build/app/Carnetto" || status=1
echo "test-windows: build $((built - start)) s, tests under Wine $((tested - built)) s," \
    "Carnetto.exe end to end $(($(date +%s) - tested)) s"
exit $status
