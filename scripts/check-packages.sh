#!/usr/bin/env bash
# Proves, on the machine at hand, that packages.txt is enough for a fresh Debian 12: every library the build
# links, every header the compiler read from outside the source and build trees, and every program the tests
# start belongs to a package that packages.txt names, or that one of those depends on, or that a minimal
# Debian system has anyway. A developer's machine often has more installed than the list says; this is where
# that shows, before a fresh machine stops at the linker.
#
#     check-packages.sh links BUILD_DIR   the libraries of the link lines (after configuring, before building)
#     check-packages.sh all BUILD_DIR     the libraries, the headers of the compiler's dependency files and the
#                                         programs of tests/programs.txt (after building)
# PACKAGES_FILE names another list than packages.txt (the check's own test uses it).
set -euo pipefail
mode=${1:?links or all}
build=$(cd "${2:?build folder}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
list=${PACKAGES_FILE:-$src/packages.txt}
command -v dpkg-query >/dev/null || { echo "check-packages: not a Debian system, nothing checked"; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What a fresh machine has: the packages of the list, those of a minimal system (Essential or of priority
# required: what debootstrap's minbase installs), make, git and ca-certificates, and everything they depend
# on. Of alternatives ("a | b") the first one installed counts, as apt would choose it; a virtual name
# counts through the installed packages that provide it.
dpkg-query -W -f='${Package}\t${db:Status-Abbrev}\t${Essential}\t${Priority}\t${Provides}\t${Pre-Depends}, ${Depends}\n' \
    >"$work/installed"
{ grep -v -E '^\s*(#|$)' "$list" | awk '{ print $1 }'; printf '%s\n' make git ca-certificates; } >"$work/roots"
awk -F'\t' '
    FNR == NR { root[$1] = 1; next }
    $2 !~ /^ii/ { next }
    {
        pkg = $1; have[pkg] = 1; deps[pkg] = $6
        if ($3 == "yes" || $4 == "required") root[pkg] = 1
        n = split($5, prov, /, */)
        for (i = 1; i <= n; i++) { p = prov[i]; sub(/ .*/, "", p); if (p != "") providers[p] = providers[p] " " pkg }
    }
    function resolve(name,    n, c, i) {
        sub(/:.*/, "", name)
        if (name in have) return name
        n = split(providers[name], c, " ")
        for (i = 1; i <= n; i++) if (c[i] in have) return c[i]
        return ""
    }
    END {
        for (p in root) if (p in have) { queue[++tail] = p; seen[p] = 1 }
        for (head = 1; head <= tail; head++) {
            n = split(deps[queue[head]], clause, /, */)
            for (i = 1; i <= n; i++) {
                m = split(clause[i], alt, /\|/)
                for (j = 1; j <= m; j++) {
                    a = alt[j]; gsub(/\([^)]*\)|\[[^]]*\]|<[^>]*>/, "", a); gsub(/ /, "", a)
                    if (a == "") continue
                    r = resolve(a)
                    if (r != "") { if (!(r in seen)) { seen[r] = 1; queue[++tail] = r }; break }
                }
            }
        }
        for (p in seen) print p
    }' "$work/roots" "$work/installed" | sort >"$work/reachable"

# The files to account for, one "path<TAB>why" a line.
libdirs=$(c++ -print-search-dirs 2>/dev/null | sed -n 's/^libraries: =//p' | tr ':' '\n')
find_lib() {
    local d
    for d in $libdirs; do
        [ -e "$d/lib$1.so" ] && { realpath -s "$d/lib$1.so"; return; }
        [ -e "$d/lib$1.a" ] && { realpath -s "$d/lib$1.a"; return; }
    done
}
: >"$work/files"
find "$build" -name link.txt -not -path '*/_deps/*' -exec cat {} + | tr ' ' '\n' | sort -u >"$work/tokens"
while read -r t; do
    case "$t" in
        -l*)
            lib=${t#-l}
            path=$(find_lib "$lib")
            if [ -z "$path" ]; then
                echo "check-packages: the build links $t, but no lib$lib.so is on this machine: find the Debian package" \
                    "that holds it (e.g. 'apt-file search lib$lib.so') and add it to packages.txt" >&2
                exit 1
            fi
            printf '%s\t%s\n' "$path" "linked as $t" >>"$work/files" ;;
        /*.so | /*.so.* | /*.a)
            case "$t" in "$src"/* | "$build"/*) ;; *) printf '%s\t%s\n' "$t" "linked" >>"$work/files" ;; esac ;;
    esac
done <"$work/tokens"

if [ "$mode" = all ]; then
    # The compiler's dependency files name every header it read.
    find "$build" -name '*.o.d' -exec cat {} + | tr ' \\' '\n\n' | grep '^/' | sort -u |
        grep -v -E "^($src|$build)/" | awk '{ print $0 "\theader" }' >>"$work/files" || true
    while read -r prog; do
        where=$(command -v "$prog" || true)
        if [ -z "$where" ]; then
            echo "check-packages: the tests start $prog, which is not on this machine: add its package to packages.txt" >&2
            exit 1
        fi
        printf '%s\t%s\n' "$where" "started by the tests" >>"$work/files"
    done < <(grep -v -E '^\s*(#|$)' "$src/tests/programs.txt" | awk '{ print $1 }')
fi

# Which package holds each file. dpkg knows a file by the path its package ships; with the merged /usr of
# Debian 12 that may be the /lib or /bin alias of the path the tools report, or the target of a link.
cut -f1 "$work/files" | sort -u >"$work/paths"
xargs -d '\n' -r realpath -m <"$work/paths" >"$work/real"
xargs -d '\n' -r dirname <"$work/paths" | xargs -d '\n' -r realpath -m >"$work/dirs"
xargs -d '\n' -r basename -a <"$work/paths" >"$work/names"
paste "$work/paths" "$work/real" "$work/dirs" "$work/names" | awk -F'\t' '
    {
        p = $1; print p "\t" p; print $2 "\t" p; print $3 "/" $4 "\t" p
        if (p ~ /^\/usr\/(lib|bin|sbin)\//) print substr(p, 5) "\t" p
        if (p ~ /^\/(lib|bin|sbin)\//) print "/usr" p "\t" p
    }' | sort -u >"$work/aliases"
awk -F'\t' '
    FILENAME == ARGV[1] { want[$1] = want[$1] " " $2; next }
    ($0 in want) {
        pkg = FILENAME; sub(/.*\//, "", pkg); sub(/\.list$/, "", pkg); sub(/:.*/, "", pkg)
        n = split(want[$0], orig, " ")
        for (i = 1; i <= n; i++) print orig[i] "\t" pkg
    }' "$work/aliases" /var/lib/dpkg/info/*.list | sort -u >"$work/owners"

sort -u -t$'\t' -k1,1 "$work/files" >"$work/wanted"
awk -F'\t' -v files="$(wc -l <"$work/wanted")" '
    FILENAME == ARGV[1] { ok[$1] = 1; next }
    FILENAME == ARGV[2] {
        if ($1 in owners) owners[$1] = owners[$1] "," $2; else owners[$1] = $2
        if ($2 in ok) good[$1] = 1
        next
    }
    !($1 in owners) {
        print "check-packages: " $1 " (" $2 ") belongs to no Debian package: a fresh machine will not have it"
        bad = 1; next
    }
    !($1 in good) {
        if (!(owners[$1] in count)) { order[++missing] = owners[$1]; first[owners[$1]] = $1 " (" $2 ")" }
        count[owners[$1]]++
        bad = 1
    }
    END {
        for (i = 1; i <= missing; i++) {
            o = order[i]; more = count[o] - 1
            print "check-packages: add " o " to packages.txt: the build or the tests use " first[o] \
                (more ? " and " more " more of its files" : "") ", and no package of the list brings it"
        }
        if (!bad) print "check-packages: the " files " files that the build and the tests use come from packages.txt"
        exit bad
    }' "$work/reachable" "$work/owners" "$work/wanted" >&2
