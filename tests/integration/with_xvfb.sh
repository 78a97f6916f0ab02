#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb picks a display no one else uses (-displayfd), so tests that
# run side by side never share or race for one, as xvfb-run -a can when two start at the same moment. -noreset:
# an X server whose last client leaves resets itself and refuses the next one meanwhile, which a test that kills
# its only window and starts another would meet now and then.
#     with_xvfb.sh COMMAND [ARGUMENT...]
set -euo pipefail
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
read -r -t 20 -u "$fd" display || { echo "Xvfb did not start"; exit 1; }
DISPLAY=":$display" "$@"
