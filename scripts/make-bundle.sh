#!/usr/bin/env bash
# Makes the portable folder: the program, the Qt libraries and plugins it uses and every library those need
# beyond what every Linux desktop has (scripts/bundle-base.txt), so the folder runs from a USB drive on a machine
# without Qt. What goes in is found by following the executable's and the plugins' NEEDED entries (readelf) at
# the time this runs, so libraries the program starts to link later come along by themselves.
#
#     scripts/make-bundle.sh BUILD_DIR DEST        (make bundle: build -> dist/Carnetto)
#
# The folder holds real files only (a FAT stick cannot store symbolic links): each library is copied under
# the name the loader asks for. Only the folder's own files search lib/: the program through its RUNPATH
# $ORIGIN/lib (CMakeLists.txt), each library in lib/ through $ORIGIN and each plugin through $ORIGIN/../../lib
# (patchelf), so that no library of the desktop ever binds to a copy in lib/. Qt finds plugins/ and
# translations/ through qt.conf, and the program reads the same qt.conf when the system's loader started it.
# carnetto.sh starts it from a menu or a terminal, also where the folder's files cannot be executed, and says
# so when the desktop is too old. No archive is put in: Contatti.pro is created beside the executable at first
# use.
set -euo pipefail

die() { echo "make-bundle: $*" >&2; exit 1; }

[ $# -eq 2 ] || die "usage: $0 BUILD_DIR DEST"
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build_dir=$(cd "$1" && pwd) || die "no build folder $1"
dest=$2
[ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a configured build folder"
[ -x "$build_dir/app/Carnetto" ] || die "$build_dir/app/Carnetto is not built yet"
command -v readelf >/dev/null && command -v objdump >/dev/null || die "readelf or objdump is missing (binutils)"
command -v patchelf >/dev/null || die "patchelf is missing (Debian package patchelf)"

# Never throw away someone's cards, nor a folder that is not a bundle.
dest_parent=$(dirname "$dest")
mkdir -p "$dest_parent"
dest=$(cd "$dest_parent" && pwd)/$(basename "$dest")
if [ -e "$dest" ]; then
    if compgen -G "$dest/Contatti.*" >/dev/null; then
        die "$dest holds an archive (Contatti.pro): move it somewhere safe first"
    fi
    if [ -n "$(ls -A "$dest")" ] && ! { [ -f "$dest/qt.conf" ] && [ -f "$dest/Carnetto" ]; }; then
        die "$dest exists and is not a Carnetto folder: choose another place"
    fi
fi

qt_query() {
    local q
    for q in qtpaths6 /usr/lib/qt6/bin/qtpaths6 qtpaths; do
        command -v "$q" >/dev/null && { "$q" --query "$1"; return; }
    done
    die "qtpaths6 is missing (qt6-base-dev-tools)"
}
qt_plugins=$(qt_query QT_INSTALL_PLUGINS)
qt_translations=$(qt_query QT_INSTALL_TRANSLATIONS)

# The desktop's libraries: a pattern and its Debian package a line. is_base sets base_package.
base_patterns=()
base_packages=()
while read -r pattern package _; do
    [ -n "$package" ] || die "bundle-base.txt: no package for $pattern"
    base_patterns+=("$pattern")
    base_packages+=("$package")
done < <(grep -v -E '^\s*(#|$)' "$here/bundle-base.txt")
is_base() {
    local i
    for i in "${!base_patterns[@]}"; do
        if [[ $1 =~ ^(${base_patterns[$i]})$ ]]; then
            base_package=${base_packages[$i]}
            return 0
        fi
    done
    return 1
}

# The Qt plugins that come with each Qt library the program ends up loading (into the array plugins). A
# plugin named here must be installed: a folder without, say, the wayland platform plugin would fail on half
# the desktops.
plugins_for() {
    case "$1" in
    libQt6Gui.so.6)
        plugins=(platforms/libqxcb.so
                 xcbglintegrations/libqxcb-glx-integration.so xcbglintegrations/libqxcb-egl-integration.so
                 platforms/libqwayland-generic.so platforms/libqwayland-egl.so
                 wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so
                 wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
                 platforminputcontexts/libcomposeplatforminputcontextplugin.so
                 imageformats/libqgif.so imageformats/libqjpeg.so) ;;
    libQt6PrintSupport.so.6) plugins=(printsupport/libcupsprintersupport.so) ;;
    # HTTPS: the OpenSSL backend loads the desktop's libssl.so.3 itself, matching its libcrypto.
    libQt6Network.so.6) plugins=(tls/libqopensslbackend.so tls/libqcertonlybackend.so) ;;
    libQt6Svg.so.6) plugins=(imageformats/libqsvg.so iconengines/libqsvgicon.so) ;;
    *) plugins=() ;;
    esac
}
plugin_package_hint() {
    case "$1" in
    *wayland*) echo qt6-wayland ;;
    imageformats/libqgif.so | imageformats/libqjpeg.so) echo libqt6gui6 ;;
    imageformats/*) echo qt6-image-formats-plugins ;;
    printsupport/*) echo libqt6printsupport6 ;;
    tls/*) echo libqt6network6 ;;
    *svg*) echo qt6-svg-plugins ;;
    *) echo qt6-qpa-plugins ;;
    esac
}

# The libraries an ELF file asks for (into the array needed).
needed_of() {
    local line
    needed=()
    while IFS= read -r line; do
        if [[ $line =~ \(NEEDED\).*\[(.*)\]$ ]]; then
            needed+=("${BASH_REMATCH[1]}")
        fi
    done < <(readelf -d "$1")
}

# Where each library lives on this machine: what ldd says for the program (the loader's own answer, which
# includes any shared library of the build), then the loader cache, as for the plugins, which carry no RPATH.
declare -A where=()
learn_paths() {
    local line name path
    while IFS= read -r line; do
        if [[ $line =~ ^[[:space:]]*([^[:space:]]+)\ =\>\ not\ found ]]; then
            die "$1 needs ${BASH_REMATCH[1]}, which is not installed"
        elif [[ $line =~ ^[[:space:]]*([^[:space:]]+)\ =\>\ (/[^[:space:]]+)\  ]]; then
            name=${BASH_REMATCH[1]}
            path=${BASH_REMATCH[2]}
            [ -n "${where[$name]:-}" ] || where[$name]=$path
        fi
    done < <(ldd "$1")
}
declare -A cached=()
while IFS= read -r line; do
    if [[ $line =~ ^[[:space:]]*([^[:space:]]+)\ \((.*)\)\ =\>\ (/.*)$ ]] && [[ ${BASH_REMATCH[2]} == *x86-64* ]]; then
        [ -n "${cached[${BASH_REMATCH[1]}]:-}" ] || cached[${BASH_REMATCH[1]}]=${BASH_REMATCH[3]}
    fi
done < <(ldconfig -p)
locate() {
    [ -n "${where[$1]:-}" ] || where[$1]=${cached[$1]:-}
    [ -n "${where[$1]}" ] || die "cannot find $1 on this machine"
}

stage=$(mktemp -d "$dest_parent/.Carnetto-bundle.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The executable as installed: stripped, RUNPATH rewritten to $ORIGIN/lib.
cmake --install "$build_dir" --component bundle --prefix "$stage" --strip >/dev/null
[ -f "$stage/Carnetto" ] || die "cmake --install put no Carnetto in the folder"
[ "$(patchelf --print-rpath "$stage/Carnetto")" = '$ORIGIN/lib' ] \
    && grep -q '(RUNPATH)' <<<"$(readelf -d "$stage/Carnetto")" \
    || die "the installed Carnetto has no RUNPATH \$ORIGIN/lib (see the install lines of CMakeLists.txt)"
learn_paths "$build_dir/app/Carnetto"
mkdir -p "$stage/lib" "$stage/plugins" "$stage/translations"

declare -A seen=()
declare -A desktop=()
queue=("$stage/Carnetto")
add_plugins_of() {
    local plugin
    plugins_for "$1"
    for plugin in "${plugins[@]}"; do
        [ -n "${seen[plugin:$plugin]:-}" ] && continue
        seen[plugin:$plugin]=1
        [ -f "$qt_plugins/$plugin" ] \
            || die "the Qt plugin $qt_plugins/$plugin is missing (Debian package $(plugin_package_hint "$plugin"))"
        mkdir -p "$stage/plugins/$(dirname "$plugin")"
        cp -L "$qt_plugins/$plugin" "$stage/plugins/$plugin"
        queue+=("$stage/plugins/$plugin")
    done
}
while [ ${#queue[@]} -gt 0 ]; do
    elf=${queue[0]}
    queue=("${queue[@]:1}")
    needed_of "$elf"
    for name in "${needed[@]}"; do
        if is_base "$name"; then
            desktop[$name]=$base_package
            continue
        fi
        [ -n "${seen[$name]:-}" ] && continue
        seen[$name]=1
        locate "$name"
        cp -L "${where[$name]}" "$stage/lib/$name"
        queue+=("$stage/lib/$name")
        add_plugins_of "$name"
    done
done

chmod 644 "$stage"/lib/*
# Only the folder's own files look into lib/ (a RUNPATH serves the file that carries it, nothing it loads).
for elf in "$stage"/lib/*; do
    patchelf --set-rpath '$ORIGIN' "$elf"
done
while IFS= read -r -d '' elf; do
    patchelf --set-rpath '$ORIGIN/../../lib' "$elf"
done < <(find "$stage/plugins" -type f -name '*.so' -print0)

# The packages the desktop must have, as bundle-base.txt names them: checked against the package that holds
# each library on this machine, where dpkg can say (Debian 13's "t64" names count as the same).
if command -v dpkg-query >/dev/null; then
    # One question to dpkg for all of them, under both names a merged /usr gives each.
    paths=()
    for name in "${!desktop[@]}"; do
        locate "$name"
        paths+=("${where[$name]}" "${where[$name]/#\/lib\///usr/lib/}" "${where[$name]/#\/usr\/lib\///lib/}")
    done
    declare -A owner=()
    while IFS= read -r line; do
        if [[ $line =~ ^([^:,]+)(:[^:]+)?:\ (/.*)$ ]]; then
            owner[${BASH_REMATCH[3]}]=${BASH_REMATCH[1]}
        fi
    done < <(dpkg-query -S "${paths[@]}" 2>/dev/null || true)
    for name in "${!desktop[@]}"; do
        path=${where[$name]}
        package=${owner[$path]:-${owner[${path/#\/lib\///usr/lib/}]:-${owner[${path/#\/usr\/lib\///lib/}]:-}}}
        [ "${package%t64}" = "${desktop[$name]}" ] || die "bundle-base.txt says $name comes with" \
            "${desktop[$name]}, but $path belongs to ${package:-no package}"
    done
fi
desktop_packages=$(printf '%s\n' "${desktop[@]}" | sort -u | tr '\n' ' ')

# The oldest C library and C++ runtime the folder runs on: the newest symbol versions any of its files asks for.
versions=$(find "$stage" -type f \( -name Carnetto -o -name '*.so*' \) -exec objdump -p {} + |
    grep -oE '(GLIBC|GLIBCXX)_[0-9.]+' | sort -u)
newest_version() { sed -n "s/^$1_//p" <<<"$versions" | sort -V | tail -n 1; }
min_glibc=$(newest_version GLIBC)
min_glibcxx=$(newest_version GLIBCXX)
loader=$(readelf -l "$stage/Carnetto" | sed -n 's/.*Requesting program interpreter: \(.*\)\]/\1/p')
[ -n "$min_glibc" ] && [ -n "$loader" ] || die "cannot read the C library version or the loader the program needs"
[ "$min_glibc" = 2.35 ] || echo "make-bundle: the folder now needs glibc $min_glibc: the desktops that README.md and" \
    "scripts/bundle/carnetto.sh name are those of glibc 2.35" >&2

# Qt's own texts in Italian (the standard buttons, the print dialog).
[ -f "$qt_translations/qtbase_it.qm" ] || die "$qt_translations/qtbase_it.qm is missing (qt6-translations-l10n)"
cp -L "$qt_translations/qtbase_it.qm" "$stage/translations/"

cat >"$stage/qt.conf" <<'EOF'
; Qt looks for its plugins and translations inside this folder, wherever the folder is.
[Paths]
Prefix = .
Libraries = lib
Plugins = plugins
Translations = translations
EOF

# The launcher for those who want one: the entry (a template until install-launcher.sh fills in where the
# folder is), the program's icon and the script.
cp "$source_dir/resources/carnetto.png" "$stage/carnetto.png"
cp "$here/bundle/Carnetto.desktop" "$stage/Carnetto.desktop"
cp "$here/bundle/install-launcher.sh" "$stage/install-launcher.sh"
sed -e "s|@GLIBC@|$min_glibc|" -e "s|@LOADER@|$loader|" "$here/bundle/carnetto.sh" >"$stage/carnetto.sh"
chmod 755 "$stage/install-launcher.sh" "$stage/carnetto.sh" "$stage/Carnetto"

links=$(find "$stage" -type l)
[ -z "$links" ] || die "symbolic links in the folder: $links"

rm -rf "$dest"
mv "$stage" "$dest"
chmod 755 "$dest"
trap - EXIT
# Sizes in MB of 1,000,000 bytes, as a file manager shows them.
mb() { find "$@" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.1f MB", s / 1e6 }'; }
echo "Portable folder ready: $dest: $(mb "$dest") in $(find "$dest" -type f | wc -l) files;" \
     "lib/ $(mb "$dest/lib") in $(find "$dest/lib" -type f | wc -l) libraries, plugins/ $(mb "$dest/plugins")" \
     "in $(find "$dest/plugins" -type f | wc -l), the program $(mb "$dest/Carnetto")"
echo "It runs on glibc $min_glibc and libstdc++ of GLIBCXX_$min_glibcxx or later, with these Debian packages:" \
     "$desktop_packages"
