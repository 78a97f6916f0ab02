#!/usr/bin/env bash
# Qt for Windows (64-bit, MinGW-w64) from Debian's own qtbase source, cross-compiled here with Debian's MinGW-w64
# compiler and the host's Qt tools (moc, rcc, uic). Only the modules and plugins Carnetto needs are built. The
# installed result is kept as a tarball in ~/.cache/carnetto/, named after the Qt version and a digest of the
# configure line, so only the first build pays (about 80 minutes on two busy cores, at nice 19).
#   build-qt-windows.sh                 builds or unpacks it; prints the prefix on the last line
#   build-qt-windows.sh --print-prefix  only prints where it is (or would be)
#   build-qt-windows.sh --print-tarball only prints the cache tarball's path
set -euo pipefail
source "$(dirname "$0")/common.sh"

toolchain=$HERE_WINDOWS/toolchain-mingw64.cmake
configure_args=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_pkg_config=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_harfbuzz=ON
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF -DFEATURE_icu=OFF
    -DFEATURE_gif=ON -DFEATURE_jpeg=ON -DFEATURE_png=ON
    -DFEATURE_openssl=OFF -DFEATURE_schannel=ON
    -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
)
key=$( { echo "$QT_WINDOWS_VERSION"; printf '%s\n' "${configure_args[@]}"; cat "$toolchain" "$HERE_WINDOWS/wintab.h"; } \
       | sha256sum | cut -c1-12)
name=qt-windows-$QT_WINDOWS_VERSION-$key
prefix=$CARNETTO_CACHE/$name
tarball=$CARNETTO_CACHE/$name.tar.xz

case "${1:-}" in
    --print-prefix) echo "$prefix"; exit 0 ;;
    --print-tarball) echo "$tarball"; exit 0 ;;
esac

if [ -f "$prefix/.carnetto-complete" ]; then echo "$prefix"; exit 0; fi
(cd "$REPO_ROOT" && bash scripts/install-deps.sh scripts/windows/packages.txt)
if [ -f "$tarball" ]; then
    echo "Unpacking the cached Qt for Windows: $tarball" >&2
    rm -rf "$prefix"
    tar -xJf "$tarball" -C "$CARNETTO_CACHE"
    touch "$prefix/.carnetto-complete"
    echo "$prefix"
    exit 0
fi

start=$(date +%s)
orig=$(fetch_debian_source qt6-base "$CARNETTO_CACHE/src/qt6-base" | tail -n 1)
work=$CARNETTO_CACHE/build
src=$work/qtbase-everywhere-src-$QT_WINDOWS_VERSION
build=$work/$name
mkdir -p "$work"
if [ ! -f "$src/.carnetto-unpacked" ]; then
    rm -rf "$src"
    tar -xJf "$orig" -C "$work"
    # Debian's +dfsg tarball leaves out the Wintab headers the Windows platform plugin includes: Wine's stand in.
    mkdir -p "$src/src/3rdparty/wintab"
    cp /usr/include/wine/wine/windows/wintab.h "$src/src/3rdparty/wintab/wintab-wine.h"
    cp /usr/include/wine/wine/windows/pktdef.h "$src/src/3rdparty/wintab/pktdef.h"
    cp "$HERE_WINDOWS/wintab.h" "$src/src/3rdparty/wintab/wintab.h"
    touch "$src/.carnetto-unpacked"
fi
# Qt 6.4 builds its DirectWrite font engine and font database only together with Direct2D, which this build
# leaves out, while Windows printing and the platform plugin call them whenever DirectWrite is on. Without
# Direct2D they are never made, so those calls go with them and the fonts come through GDI. (Without this the
# links of Qt6PrintSupport.dll and qwindows.dll fail: any cached Qt has it.)
sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/printsupport/platform/windows/qprintengine_win.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
rm -rf "$prefix"
mkdir -p "$prefix"
# The Qt built here keeps naming its toolchain file: a copy inside the prefix travels with the tarball.
cp "$toolchain" "$prefix/mingw-toolchain.cmake"
if [ ! -f "$build/build.ninja" ]; then
    nice -n 19 cmake -S "$src" -B "$build" "${configure_args[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix"
fi
nice -n 19 cmake --build "$build" -j "${QT_WINDOWS_JOBS:-2}"
nice -n 19 cmake --install "$build" --strip >/dev/null
cp "$toolchain" "$prefix/mingw-toolchain.cmake"
built=$(date +%s)
echo "Qt for Windows built in $(( (built - start) / 60 )) min; installed $(du -sh "$prefix" | cut -f1)" >&2
(cd "$CARNETTO_CACHE" && nice -n 19 tar -cf - "$name" | nice -n 19 xz -T2 -6 > "$tarball.part" && mv "$tarball.part" "$tarball")
echo "Cached as $tarball ($(du -h "$tarball" | cut -f1))" >&2
touch "$prefix/.carnetto-complete"
# The build folder (about 1.4 GB) has served its purpose: the tarball is what later runs use.
[ -n "${CARNETTO_KEEP_QT_BUILD:-}" ] || rm -rf "$build"
echo "$prefix"
