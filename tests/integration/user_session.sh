#!/usr/bin/env bash
# A whole session of a user with the real program on an X server (Xvfb), from a folder of its own: the card
# window from the main menu, a card typed and saved, browsing, the search window, the CSV export, the
# spreadsheet export, a backup, the deletion, closing and quitting. The bytes of Contatti.pro, of the CSV file and
# of the backup are checked after each step. Controls are reached at their places in the windows' layouts;
# message boxes are closed with Return.
# The program runs with a home folder and a temporary folder of their own, as on a desktop (with its runtime
# folder): after the session both must be as empty as they were, for the program leaves no trace on the computer.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/out" "$work/host/home" "$work/host/tmp" "$work/host/run" "$work/desktop"
chmod 700 "$work/host/run"
cp "$program" "$work/bin/Carnetto"
# The desktop's spreadsheet program: takes a copy of the workbook it is given and says where it was.
cat > "$work/desktop/xdg-open" <<EOF
#!/bin/sh
cp "\$1" "$work/out/cartella.xlsx" && printf '%s\n' "\$1" > "$work/out/aperta.txt"
EOF
chmod +x "$work/desktop/xdg-open"
archive="$work/bin/Contatti.pro"
csv="$work/out/rubrica.csv"
backup="$work/out/copia.bkc"

fail() { echo "FAIL: $*"; exit 1; }

# Polls up to ~20 s for a visible window whose caption matches; prints its id.
wait_window() {
    local id=""
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
wait_gone() {
    for _ in $(seq 1 200); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
# Clicks at a point of a window's client area.
click() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click "${4:-1}"
}
double_click() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click --repeat 2 --delay 80 1
}
# How many windows are visible. xdotool fails when a window goes away while it looks at it; that counts as
# none seen, not as the end of the script.
visible() { { xdotool search --onlyvisible --name '.' 2>/dev/null || true; } | wc -l; }
# A message box of the program (caption " Carnetto 4.0", like the main menu's, so it is the newest one) is
# answered with Return, which presses its default button (OK, or Sì).
answer_box() {
    local before=$1
    for _ in $(seq 1 200); do
        count=$(visible)
        [ "$count" -gt "$before" ] && break
        sleep 0.1
    done
    [ "$count" -gt "$before" ] || fail "no message box appeared ($2)"
    sleep 0.3
    xdotool key Return
    for _ in $(seq 1 200); do
        count=$(visible)
        [ "$count" -le "$before" ] && return 0
        sleep 0.1
    done
    fail "the message box did not close ($2)"
}
wait_size() {
    for _ in $(seq 1 200); do
        [ -f "$1" ] && [ "$(stat -c %s "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    fail "$1 is not $2 bytes long (${3:-})"
}
# The record holds the surname and the first name typed, as Pascal short strings at their offsets.
check_record() {
    python3 - "$1" "$2" "$3" <<'PY' || fail "the record in $1 is not the card typed"
import sys
data = open(sys.argv[1], 'rb').read()
rec = data[:1148]
def short(off):
    return rec[off + 1:off + 1 + rec[off]].decode('cp1252')
assert short(0) == sys.argv[2], short(0)
assert short(51) == sys.argv[3], short(51)
PY
}

cd "$work/out"
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
    HOME="$work/host/home" TMPDIR="$work/host/tmp" XDG_RUNTIME_DIR="$work/host/run" PATH="$work/desktop:$PATH" \
    QT_QPA_PLATFORM=xcb "$work/bin/Carnetto" &
pid=$!

menu=$(wait_window '^ Carnetto 4.0$') || fail "the main menu did not appear"
click "$menu" $((12 + 34 + 60)) $((232 + 42 + 48))
card=$(wait_window '^ Rubrica contatti$') || fail "the card window did not open"
sleep 0.5

# Type a card: the surname box has the keyboard when the window opens.
click "$card" $((200 + 100)) $((4 + 34 + 8))
xdotool type --delay 30 'Rossi'
xdotool key Tab
xdotool type --delay 30 'Mario'
n=$(visible)
click "$card" $((28 + 16)) $((8 + 70 + 16)) # Salva
answer_box "$n" "saved"
wait_size "$archive" 1148 "after saving"
check_record "$archive" Rossi Mario
saved=$(sha256sum < "$archive")

# Browse: Nuovo, then the first card; nothing is written.
click "$card" $((28 + 16)) $((8 + 14 + 16))
click "$card" $((208 + 16)) $((420 + 16))
sleep 0.5
[ "$(sha256sum < "$archive")" = "$saved" ] || fail "browsing changed the archive"

# Search: Cerca, the key, Trova, a double click on the line found.
click "$card" $((28 + 16)) $((8 + 126 + 16))
find=$(wait_window '^ Ricerca scheda in archivio$') || fail "the search window did not open"
sleep 0.3
click "$find" $((80 + 100)) $((68 + 10))
xdotool type --delay 30 'Rossi'
click "$find" $((566 + 46)) $((66 + 12))
sleep 0.5
double_click "$find" $((26 + 100)) $((114 + 8))
wait_gone '^ Ricerca scheda in archivio$' || fail "the double click on the line found did not bring the card back"
[ "$(sha256sum < "$archive")" = "$saved" ] || fail "searching changed the archive"

# Export to CSV: the save dialog is Qt's own; the path is typed into its file name box.
click "$card" $((28 + 16)) $((8 + 182 + 16))
export=$(wait_window '^ Esportazione rubrica contatti$') || fail "the export window did not open"
sleep 0.5
click "$export" $((5 + 5 * 96 + 48)) $((6 + 12 + 16))
dialog=$(wait_window 'Esporta rubrica contatti in formato .CSV') || fail "the CSV save dialog did not open"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$csv"
n=$(($(visible) - 1))
xdotool key Return
answer_box "$n" "CSV written"
[ -f "$csv" ] || fail "no CSV file"
# The header (Windows-1252: "Città" ends in byte E0), then the card, each line ended by CR LF.
printf '%b\r\n' '," Cognome"," Nome"," Azienda"," Codice fiscale"," Partita IVA"," Indirizzo"," Citt\0340"," CAP"," Provincia"," Stato"," Telefono"," Fax"," Cellulare"," E-mail"," Sito Internet"," Note"' \
    '1,Rossi,Mario,,,,,,,,,,,,,http://,' > "$work/atteso.csv"
cmp "$csv" "$work/atteso.csv" || { cat -A "$csv"; fail "the CSV is not the card as expected"; }
[ "$(sha256sum < "$archive")" = "$saved" ] || fail "exporting changed the archive"
# The spreadsheet export: a workbook in the temporary folder, handed to the desktop; no message.
click "$export" $((5 + 4 * 96 + 48)) $((6 + 12 + 16))
for _ in $(seq 1 200); do [ -f "$work/out/aperta.txt" ] && break; sleep 0.1; done
[ -f "$work/out/aperta.txt" ] || fail "no workbook reached the spreadsheet program"
workbook=$(cat "$work/out/aperta.txt")
case "$workbook" in "$work/host/tmp/"*.xlsx) ;; *) fail "the workbook is not in the temporary folder: $workbook" ;; esac
[ "$(head -c 2 "$work/out/cartella.xlsx")" = PK ] || fail "the workbook is not an .xlsx file"
click "$export" $((5 + 7 * 96 + 48)) $((6 + 12 + 16)) # Esci
wait_gone '^ Esportazione rubrica contatti$' || fail "the export window did not close"

# Back up: the backup window, its button, the dialog, the path.
click "$card" $((28 + 16)) $((8 + 238 + 16))
bak=$(wait_window '^ Backup / Ripristino rubrica contatti$') || fail "the backup window did not open"
sleep 0.5
click "$bak" $((8 + 144 + 105)) $((4 + 118 + 15))
dialog=$(wait_window 'Crea backup rubrica contatti') || fail "the backup save dialog did not open"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$backup"
n=$(($(visible) - 1))
xdotool key Return
answer_box "$n" "backup made"
wait_size "$backup" 1148 "the backup"
cmp -s "$backup" "$archive" || fail "the backup is not the archive byte for byte"

# Delete the card: Elimina, Sì. The card window was cleared by the backup, so browse to the card first.
card=$(wait_window '^ Rubrica contatti$') || fail "the card window is gone"
click "$card" $((208 + 16)) $((420 + 16))
sleep 0.5
n=$(visible)
click "$card" $((28 + 16)) $((8 + 294 + 16))
answer_box "$n" "confirm deletion"
wait_size "$archive" 0 "after deleting"
[ "$(stat -c %s "$backup")" = 1148 ] || fail "the deletion touched the backup"

# Close the card window (Esci), then quit with the main menu's Esci.
click "$card" $((28 + 16)) $((8 + 406 + 16))
wait_gone '^ Rubrica contatti$' || fail "the card window did not close"
menu=$(wait_window '^ Carnetto 4.0$') || fail "the main menu did not come back"
click "$menu" $((744 + 16)) $((460 + 16))
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not quit"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
[ -f "$archive" ] && [ "$(stat -c %s "$archive")" = 0 ] || fail "quitting changed the archive"
# Nothing of the session in the home or the temporary folder: no dialog history, no workbook, no cache.
left=$(find "$work/host/home" "$work/host/tmp" -mindepth 1)
[ -z "$left" ] || fail "the session left files on the computer: $left"
echo "1 passed, 0 failed"
