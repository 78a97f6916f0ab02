#!/usr/bin/env bash
# The package check names what a fresh machine would miss: with a line taken out of the list, the check fails
# and names that package, for a library the build links (libxlsxwriter-dev, which no other package of the list
# brings, as Qt's private headers bring zlib1g-dev), for headers (libbenchmark-dev) and for a program the tests
# start (xdotool); with the whole list it passes.
#     check_packages.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$1
build=$2
command -v dpkg-query >/dev/null || { echo "SKIP: not a Debian system"; exit 77; }
list=$(mktemp)
trap 'rm -f "$list"' EXIT
for package in libxlsxwriter-dev libbenchmark-dev xdotool; do
    grep -vx "$package" "$src/packages.txt" >"$list"
    out=$(PACKAGES_FILE=$list bash "$src/scripts/check-packages.sh" all "$build" 2>&1) &&
        { echo "FAIL: the check passed without $package"; exit 1; }
    grep -q "add $package to packages.txt" <<<"$out" || { echo "FAIL: without $package the check said: $out"; exit 1; }
done
bash "$src/scripts/check-packages.sh" all "$build" || { echo "FAIL: the check refuses packages.txt itself"; exit 1; }
