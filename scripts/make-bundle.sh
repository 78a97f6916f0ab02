#!/usr/bin/env bash
# Makes the portable folder: the program, the Qt libraries and plugins it uses and every library those need
# beyond the base system of every Linux desktop (scripts/bundle-base.txt), so the folder runs from a USB drive
# on a machine without Qt. What goes in is found by following the executable's and the plugins' NEEDED
# entries (readelf) at the time this runs, so libraries the program starts to link later come along by
# themselves.
#
#     scripts/make-bundle.sh BUILD_DIR DEST        (make bundle: build -> dist/Carnetto)
#
# The folder holds real files only (a FAT stick cannot store symbolic links): each library is copied under
# the name the loader asks for. The executable finds lib/ through its RPATH $ORIGIN/lib (CMakeLists.txt) and
# Qt finds plugins/ and translations/ through qt.conf. No archive is put in: Contatti.pro is created beside
# the executable at first use.
set -euo pipefail

die() { echo "make-bundle: $*" >&2; exit 1; }

[ $# -eq 2 ] || die "usage: $0 BUILD_DIR DEST"
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build_dir=$(cd "$1" && pwd) || die "no build folder $1"
dest=$2
[ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a configured build folder"
[ -x "$build_dir/app/Carnetto" ] || die "$build_dir/app/Carnetto is not built yet"
command -v readelf >/dev/null || die "readelf is missing (binutils)"

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

mapfile -t base_patterns < <(grep -v -E '^\s*(#|$)' "$here/bundle-base.txt")
is_base() {
    local p
    for p in "${base_patterns[@]}"; do
        [[ $1 =~ ^($p)$ ]] && return 0
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
    *svg*) echo qt6-svg-plugins ;;
    *) echo qt6-qpa-plugins ;;
    esac
}

# The libraries an ELF file asks for (into the array needed); fails on a library with its own RPATH or
# RUNPATH, which would hide lib/ from the libraries it loads in turn.
needed_of() {
    local line
    needed=()
    while IFS= read -r line; do
        if [[ $line =~ \(NEEDED\).*\[(.*)\]$ ]]; then
            needed+=("${BASH_REMATCH[1]}")
        elif [[ $line =~ \((RPATH|RUNPATH)\) ]] && [ "$1" != "$stage/Carnetto" ]; then
            die "${1#"$stage"/} carries its own RPATH/RUNPATH"
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

# The executable as installed: stripped, RPATH rewritten to $ORIGIN/lib.
cmake --install "$build_dir" --component bundle --prefix "$stage" --strip >/dev/null
[ -f "$stage/Carnetto" ] || die "cmake --install put no Carnetto in the folder"
readelf -d "$stage/Carnetto" | grep -q '(RPATH).*\[\$ORIGIN/lib\]' \
    || die "the installed Carnetto has no RPATH \$ORIGIN/lib (see the install lines of CMakeLists.txt)"
learn_paths "$build_dir/app/Carnetto"
mkdir -p "$stage/lib" "$stage/plugins" "$stage/translations"

declare -A seen=()
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
        is_base "$name" && continue
        [ -n "${seen[$name]:-}" ] && continue
        seen[$name]=1
        locate "$name"
        cp -L "${where[$name]}" "$stage/lib/$name"
        queue+=("$stage/lib/$name")
        add_plugins_of "$name"
    done
done

chmod 644 "$stage"/lib/*

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
chmod 755 "$stage/install-launcher.sh" "$stage/Carnetto"

links=$(find "$stage" -type l)
[ -z "$links" ] || die "symbolic links in the folder: $links"

rm -rf "$dest"
mv "$stage" "$dest"
chmod 755 "$dest"
trap - EXIT
echo "Portable folder ready: $dest ($(du -sh "$dest" | cut -f1), $(find "$dest/lib" -type f | wc -l) libraries," \
     "$(find "$dest/plugins" -type f | wc -l) plugins)"
