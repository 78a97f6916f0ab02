#!/usr/bin/env bash
# One window per archive folder: with the real program running on an X server (Xvfb), a second start from the
# same folder ends at once with status 0 and shows no second window; a second start given a vCard file hands it
# to the first, which asks and imports it once. A copy killed with kill -9 does not keep the next start out,
# and a copy in another folder runs a window of its own.
set -euo pipefail
program=$1
work=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/a" "$work/b" "$work/elsewhere"
cp "$program" "$work/a/Carnetto"
cp "$program" "$work/b/Carnetto"
export QT_QPA_PLATFORM=xcb

fail() { echo "FAIL: $*"; exit 1; }
count() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | wc -l; }
wait_count() {
    for _ in $(seq 1 100); do
        [ "$(count "$1")" -eq "$2" ] && return 0
        sleep 0.1
    done
    fail "expected $2 windows named '$1', saw $(count "$1")"
}
start() {
    "$1" &
    pids+=($!)
}
# A second start must end by itself, quickly and with status 0.
second_start() {
    local status=0
    timeout 20 "$@" || status=$?
    [ "$status" -eq 0 ] || fail "the second start ended with status $status"
}

start "$work/a/Carnetto"
wait_count '^ Carnetto 4.0$' 1
first=${pids[0]}

cd "$work/elsewhere"
second_start "$work/a/Carnetto"
sleep 0.5
[ "$(count '^ Carnetto 4.0$')" -eq 1 ] || fail "a second main menu appeared"

printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;Mario;;;\r\nFN:Mario Rossi\r\nEND:VCARD\r\n' >"$work/elsewhere/uno.vcf"
second_start "$work/a/Carnetto" uno.vcf
wait_count '^Importazione contatti$' 1
xdotool key Return
for _ in $(seq 1 100); do
    [ -s "$work/a/Contatti.pro" ] && break
    sleep 0.1
done
[ "$(stat -c %s "$work/a/Contatti.pro")" -eq 1148 ] || fail "the card was not imported exactly once"
head -c 6 "$work/a/Contatti.pro" | tail -c 5 | grep -q '^Rossi$' || fail "the card imported is not Mario Rossi"
# The report after the import is answered too, and the first copy lives on: the start that handed over has
# ended meanwhile, and its socket with it.
wait_count '^Carnetto 4.0 - La rubrica da portare a spasso!$' 1
xdotool key Return
wait_count '^Carnetto 4.0 - La rubrica da portare a spasso!$' 0
sleep 1
kill -0 "$first" || fail "the first copy is gone"

kill -9 "$first"
wait "$first" 2>/dev/null || true
start "$work/a/Carnetto"
wait_count '^ Carnetto 4.0$' 1

start "$work/b/Carnetto"
wait_count '^ Carnetto 4.0$' 2

echo "1 passed, 0 failed"
