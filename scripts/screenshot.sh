#!/usr/bin/env bash
# Takes docs/screenshot.png: the viewer on a private Xvfb display, with the
# example lista_nuova.PRG chosen through "Sfoglia" exactly as a user does it
# (xdotool types into the file dialog rather than naming the file on the
# command line).
#
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/screenshot.png}
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

if [ "${TRESK_SCREENSHOT_INNER:-}" != 1 ]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
    done
    export TRESK_SCREENSHOT_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out"
fi

viewer="$build/shell/treskviewer"
example="$root/examples/lista_nuova.PRG"
[ -x "$viewer" ] || { echo "no viewer at $viewer: build it first" >&2; exit 1; }
[ -f "$example" ] || { echo "no example at $example" >&2; exit 1; }

. "$root/tests/support/checks.sh"
. "$root/tests/support/xdotool.sh"
cd "$root/examples"
"$viewer" >/dev/null 2>&1 &
viewer_pid=$!
trap 'kill "$viewer_pid" 2>/dev/null || true' EXIT
window=$(find_window 20 '^TreskViewer$')
[ -n "$window" ] || { echo "the viewer's window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$window"
# The focus starts in the path field: Tab to "Sfoglia" and press it.
xdotool key Tab space
answer_file_dialog '^Apri$' "$example" ctrl+l ctrl+a
# Select a few rows, as a user looking at them would.
xdotool windowfocus --sync "$window"
xdotool key Tab Down Down shift+Down
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
xdotool key Escape
wait "$viewer_pid" || true
trap - EXIT
echo "wrote $out"
