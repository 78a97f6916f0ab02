#!/usr/bin/env bash
# Starts the real program on an X server (Xvfb) from a working directory other than its own folder, opens the
# card window, browses, and checks that Contatti.pro was created beside the executable and nowhere else.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/elsewhere"
cp "$program" "$work/bin/Carnetto"

cd "$work/elsewhere"
QT_QPA_PLATFORM=xcb "$work/bin/Carnetto" &
pid=$!

window=""
for _ in $(seq 1 50); do
    window=$(xdotool search --onlyvisible --name '^ Carnetto 4.0$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the main menu did not appear"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"

# The contacts picture of the main menu, then the card window's "next" arrow (it sits where the menu was).
xdotool mousemove $((X + 12 + 34 + 60)) $((Y + 232 + 42 + 48)) click 1
for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^ Rubrica contatti$' >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool search --onlyvisible --name '^ Rubrica contatti$' >/dev/null || { echo "the card window did not open"; exit 1; }
xdotool mousemove $((X + 695 + 16)) $((Y + 420 + 16)) click 1

for _ in $(seq 1 50); do
    [ -f "$work/bin/Contatti.pro" ] && break
    sleep 0.1
done
[ -f "$work/bin/Contatti.pro" ] || { echo "Contatti.pro was not created beside the executable"; exit 1; }
[ ! -e "$work/elsewhere/Contatti.pro" ] || { echo "Contatti.pro was created in the working directory"; exit 1; }
[ ! -s "$work/bin/Contatti.pro" ] || { echo "browsing wrote into the archive"; exit 1; }
echo "1 passed, 0 failed"
