#!/usr/bin/env bash
# The Windows folder's own Carnetto.exe under Wine, carried to a path with a blank and accented letters and
# started with nothing but the folder (no WINEPATH): the command line imports a card and exports the "Tutti"
# CSV, the archive it wrote is byte for byte the one the Linux build writes from the same card, the Linux build
# reads it back to the same CSV, the vCard export is the Linux build's, the cards sync with a loopback
# radicale, and on an X server (Xvfb) the main menu appears and a second start hands a vCard over to it.
#     carnetto_exe.sh WINDOWS_FOLDER LINUX_CARNETTO
set -euo pipefail
folder=$(cd "$1" && pwd)
linux=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
source "$(dirname "$0")/../../scripts/windows/common.sh"
export WINEPREFIX=${WINEPREFIX:-$CARNETTO_CACHE/wine}
export WINEDEBUG=-all
unset WINEPATH
# Wine turns the command line into UTF-16 from the locale's encoding.
export LC_ALL=C.UTF-8
passed=0
failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
ok() { echo "ok: $*"; passed=$((passed + 1)); }
windows_path() { local p=$1; echo "Z:${p//\//\\}"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stick="$work/Chiavetta USB/Città"
mkdir -p "$stick" "$work/linux" "$work/linux-legge"
cp -r "$folder" "$stick/Carnetto-windows"
exe="$stick/Carnetto-windows/Carnetto.exe"
cp "$linux" "$work/linux/Carnetto"
cp "$linux" "$work/linux-legge/Carnetto"

printf '%s\r\n' 'BEGIN:VCARD' 'VERSION:3.0' 'N:Rossi;Mario;;;' 'FN:Mario Rossi' 'ORG:Caffè Città' \
    'ADR;TYPE=HOME:;;Via Dante 3;Forlì;FC;47121;Italia' 'TEL;TYPE=CELL:+39 333 1234567' \
    'EMAIL:mario@esempio.it' 'NOTE:Prima riga\nseconda' 'END:VCARD' \
    'BEGIN:VCARD' 'VERSION:3.0' 'N:Müller;Jörg;;;' 'FN:Jörg Müller' 'END:VCARD' >"$work/schede è Łódź.vcf"

# The command line on Windows: a path with a drive letter and backslashes, and a blank and accents in it.
if out=$(cd "$work" && "$WINE64" "$exe" --importa-vcard "$(windows_path "$work/schede è Łódź.vcf")" 2>&1); then
    [ -f "$stick/Carnetto-windows/Contatti.pro" ] && ok "Carnetto.exe --importa-vcard wrote Contatti.pro beside itself" \
        || fail "no Contatti.pro beside Carnetto.exe after the import: $out"
else
    fail "Carnetto.exe --importa-vcard exited $?: $out"
fi
if out=$(cd "$work" && "$WINE64" "$exe" --esporta-csv "$(windows_path "$work/da windows.csv")" 2>&1) &&
    grep -q 'Rossi' "$work/da windows.csv" 2>/dev/null; then
    ok "Carnetto.exe --esporta-csv exported the imported card"
else
    fail "Carnetto.exe --esporta-csv: $out"
fi

if out=$(cd "$work" && "$WINE64" "$exe" --esporta-vcard "$(windows_path "$work/da windows.vcf")" 2>&1) &&
    grep -q 'N:Müller;Jörg' "$work/da windows.vcf" 2>/dev/null; then
    ok "Carnetto.exe --esporta-vcard exported the imported cards"
else
    fail "Carnetto.exe --esporta-vcard: $out"
fi

# The same card through the Linux build: the same bytes in the archive, and the Windows archive read on Linux.
export QT_QPA_PLATFORM=offscreen
"$work/linux/Carnetto" --importa-vcard "$work/schede è Łódź.vcf" >/dev/null
if cmp "$work/linux/Contatti.pro" "$stick/Carnetto-windows/Contatti.pro"; then
    ok "the archive written under Wine is byte for byte the Linux build's ($(stat -c %s "$work/linux/Contatti.pro") bytes)"
else
    fail "the archives written on Windows and on Linux differ"
fi
cp "$stick/Carnetto-windows/Contatti.pro" "$work/linux-legge/Contatti.pro"
"$work/linux-legge/Carnetto" --esporta-csv "$work/da linux.csv" >/dev/null
if cmp "$work/da windows.csv" "$work/da linux.csv"; then
    ok "the Linux build reads the Windows archive back to the same CSV"
else
    fail "the CSV of the Windows archive read on Linux differs from the one written under Wine"
fi
"$work/linux-legge/Carnetto" --esporta-vcard "$work/da linux.vcf" >/dev/null
cmp -s "$work/da windows.vcf" "$work/da linux.vcf" && ok "the vCard export is the Linux build's, byte for byte" \
    || fail "the vCard exports of Windows and Linux differ"
unset QT_QPA_PLATFORM

# Synchronisation from Windows with a Radicale of this computer on 127.0.0.1, in a throw-away folder: the two
# cards go up, a card another client puts on the server comes down into the Windows archive.
if command -v radicale >/dev/null; then
    dav=$work/radicale
    mkdir -p "$dav"
    porta=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    printf 'utente:segreta\n' >"$dav/utenti"
    printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\nhtpasswd_encryption = plain\ndelay = 0\n[storage]\nfilesystem_folder = %s\n[logging]\nlevel = warning\n' \
        "$porta" "$dav/utenti" "$dav/dati" >"$dav/config"
    HOME=$dav radicale -C "$dav/config" >"$dav/log" 2>&1 &
    radicale_pid=$!
    trap 'kill $radicale_pid 2>/dev/null || true; rm -rf "$work"' EXIT
    rubrica="http://127.0.0.1:$porta/utente/carnetto/"
    dav_http() { # METHOD URL [BODY]: the status, as another client of the server
        python3 - "$@" <<'PY'
import base64, sys, time, urllib.request
metodo, url = sys.argv[1], sys.argv[2]
corpo = sys.argv[3].encode() if len(sys.argv) > 3 else None
for _ in range(100):
    try:
        req = urllib.request.Request(url, data=corpo, method=metodo)
        req.add_header("Authorization", "Basic " + base64.b64encode(b"utente:segreta").decode())
        req.add_header("Content-Type", "text/vcard" if metodo == "PUT" else "application/xml")
        print(urllib.request.urlopen(req, timeout=10).status)
        break
    except urllib.error.HTTPError as e:
        print(e.code)
        break
    except OSError:
        time.sleep(0.1)
PY
    }
    mkcol='<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><d:set><d:prop><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype></d:prop></d:set></d:mkcol>'
    [ "$(dav_http MKCOL "$rubrica" "$mkcol")" = 201 ] || fail "radicale did not make the address book: $(cat "$dav/log")"
    # Read whole before grep: under pipefail, a grep -q that ends at the first file's match kills cat with
    # SIGPIPE and fails the check.
    sul_server() { cat "$dav"/dati/collection-root/utente/carnetto/*.vcf 2>/dev/null || true; }
    if out=$(CARNETTO_PASSWORD=segreta "$WINE64" "$exe" --sincronizza "$rubrica" utente 2>&1) &&
        carte=$(sul_server) && grep -q 'Rossi' <<<"$carte" && grep -q 'Müller' <<<"$carte"; then
        ok "Carnetto.exe --sincronizza sent both cards to radicale on 127.0.0.1 ($(echo "$out" | tr -d '\r'))"
    else
        fail "Carnetto.exe --sincronizza: $out"
    fi
    verdi=$'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:verdi-altrove\r\nN:Verdi;Anna;;;\r\nFN:Anna Verdi\r\nEND:VCARD\r\n'
    [ "$(dav_http PUT "${rubrica}verdi.vcf" "$verdi")" = 201 ] || fail "another client could not add a card"
    if out=$(CARNETTO_PASSWORD=segreta "$WINE64" "$exe" --sincronizza 2>&1) &&
        "$WINE64" "$exe" --esporta-csv "$(windows_path "$work/dopo.csv")" >/dev/null 2>&1 &&
        grep -q 'Verdi' "$work/dopo.csv"; then
        ok "the card added on the server came down into the Windows archive ($(echo "$out" | tr -d '\r'))"
    else
        fail "the second synchronisation: $out"
    fi
    kill $radicale_pid 2>/dev/null || true
else
    fail "radicale is missing"
fi

# The main menu, on an X server of its own, through Wine's display driver and Qt's Windows platform plugin. Wine's
# desktop belongs to the first program of a session: one left by programs run without a display (the offscreen
# tests) would show no window, so that session is let end first.
wine_session_ends() { timeout 60 /usr/lib/wine/wineserver64 -w || /usr/lib/wine/wineserver64 -k || true; }
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    wine_session_ends
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bianchi;Luca;;;\r\nFN:Luca Bianchi\r\nEND:VCARD\r\n' >"$work/un altro.vcf"
    prima=$(stat -c %s "$stick/Carnetto-windows/Contatti.pro")
    cat >"$work/menu.sh" <<'MENU'
#!/usr/bin/env bash
# The main menu appears; a second start given a vCard hands it to the running copy and ends at once; the first
# asks, imports it, reports, and lives on.
set -u
exe=$1 vcf=$2 archivio=$3 prima=$4
finestra() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }
attendi() { # NAME: the window's id once it is shown, within a minute
    local w=""
    for _ in $(seq 1 600); do
        w=$(finestra "$1")
        [ -n "$w" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$w"
}
"$WINE64" "$exe" >/dev/null 2>&1 &
pid=$!
menu=$(attendi '^ Carnetto 4.0$')
[ -n "$menu" ] || { echo "FAIL: the main menu did not appear under Wine within a minute"; kill "$pid"; exit 1; }
echo "ok: the main menu appeared under Wine"
esito=0
if timeout 60 "$WINE64" "$exe" "$vcf" >/dev/null 2>&1; then
    domanda=$(attendi '^Importazione contatti$')
    [ -n "$domanda" ] && { xdotool windowfocus --sync "$domanda" 2>/dev/null; xdotool key Return; }
    for _ in $(seq 1 100); do
        [ "$(stat -c %s "$archivio")" -ne "$prima" ] && break
        sleep 0.1
    done
    resoconto=$(attendi '^Carnetto 4.0 - La rubrica da portare a spasso!$')
    [ -n "$resoconto" ] && { xdotool windowfocus --sync "$resoconto" 2>/dev/null; xdotool key Return; }
    sleep 1
    if [ "$(stat -c %s "$archivio")" -eq $((prima + 1148)) ] && kill -0 "$pid" 2>/dev/null; then
        echo "ok: a second start handed its vCard to the running copy, which imported it once and lives on"
    else
        echo "FAIL: the hand-over (question ${domanda:-not shown}, report ${resoconto:-not shown}," \
            "archive $(stat -c %s "$archivio") bytes, was $prima)"
        esito=1
    fi
else
    echo "FAIL: the second start did not end by itself with status 0"
    esito=1
fi
xdotool windowclose "$menu" 2>/dev/null || true
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit $esito
MENU
    risultato=$(WINE64=$WINE64 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/menu.sh" "$exe" \
        "$(windows_path "$work/un altro.vcf")" "$stick/Carnetto-windows/Contatti.pro" "$prima" || true)
    echo "$risultato"
    passed=$((passed + $(grep -c '^ok:' <<<"$risultato" || true)))
    failed=$((failed + $(grep -c '^FAIL:' <<<"$risultato" || true)))
    grep -q '^ok: a second start' <<<"$risultato" || grep -q '^FAIL:' <<<"$risultato" ||
        fail "the hand-over check did not run"
    wine_session_ends
else
    fail "xvfb-run or xdotool is missing"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
