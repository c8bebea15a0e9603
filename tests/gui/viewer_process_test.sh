#!/usr/bin/env bash
# Drives the real treskviewer executable on the test display with xdotool,
# as a user with a keyboard would: it starts into its dialog, Enter and
# Escape end the process with status 0, and a file chosen with "Sfoglia" in
# each layout gives, through "Salva su file", the very report treskdump
# writes for that file and layout.
#
# Usage: viewer_process_test.sh VIEWER TRESKDUMP EXAMPLES_DIR
set -euo pipefail
viewer=$(realpath "$1")
dump=$(realpath "$2")
examples=$(realpath "$3")

if [ -z "${DISPLAY:-}" ]; then
    echo "no X display: run under xvfb-run" >&2
    exit 1
fi
work=$(mktemp -d)
viewer_pid=""
cleanup() {
    if [ -n "$viewer_pid" ] && kill -0 "$viewer_pid" 2>/dev/null; then
        kill "$viewer_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Starts the viewer and sets window once its window is on screen.
window=""
start_viewer() {
    (cd "$work" && exec "$viewer" >>"$work/viewer.log" 2>&1) &
    viewer_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^TreskViewer$' | head -n 1 || true)
    if [ -z "$window" ]; then
        fail "the viewer's window did not appear"
        return 1
    fi
    xdotool windowfocus --sync "$window"
}

# Answers the file dialog that the last key opened with path: waits for it,
# types the path into its location field, and waits until it has closed.
answer_file_dialog() {
    local path=$1 chooser
    chooser=$(timeout 20 xdotool search --sync --onlyvisible --name '^(Apri|Salva con nome)$' | head -n 1 || true)
    if [ -z "$chooser" ]; then
        fail "no file dialog appeared"
        return 1
    fi
    xdotool windowfocus --sync "$chooser"
    sleep 0.5
    xdotool key ctrl+l
    sleep 0.2
    xdotool key ctrl+a
    xdotool type --delay 10 "$path"
    sleep 0.3
    [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/chooser-$(basename "$path").png"
    xdotool key Return
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '^(Apri|Salva con nome)$' >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the file dialog did not close"
    return 1
}

# Waits for the viewer to end and checks its exit status.
expect_exit_0() {
    local what=$1 status=0
    for _ in $(seq 1 100); do
        kill -0 "$viewer_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$viewer_pid" 2>/dev/null; then
        fail "$what: the viewer is still running"
        kill "$viewer_pid"
    fi
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    if [ "$status" -ne 0 ]; then
        fail "$what: exit status $status, expected 0"
        tail -n 40 "$work/viewer.log" >&2 || true
    fi
}

# Enter in the path field (where the focus starts) ends the program.
start_viewer
xdotool type --delay 10 "abc"
xdotool key Return
expect_exit_0 "Enter in the path field"

# Escape ends it as well.
start_viewer
xdotool key Escape
expect_exit_0 "Escape"

# So does "Chiudi", the first entry of the window menu (Alt+Space).
start_viewer
xdotool key alt+space
sleep 0.5
xdotool key Down Return
expect_exit_0 "Chiudi from the window menu"

# Load each example through the open-file dialog and save the report.
for case in "lista_nuova.PRG:new:0" "lista_vecchia.PRG:old:1" "lista_mem.PRG:mem:2"; do
    IFS=: read -r name layout radios <<<"$case"
    # Work on a copy: a key that lands in the wrong dialog must never write
    # over the checked-in examples.
    [ -f "$examples/$name" ] || { fail "missing example $examples/$name"; continue; }
    cp "$examples/$name" "$work/$name"
    prg="$work/$name"
    report="$work/$name.txt"
    start_viewer || continue
    # Check the layout's radio button with the mouse, then click into the
    # path field so that Tab leads to "Sfoglia". Positions are the dialog
    # units of the controls scaled to the window (433 x 280 units).
    eval "$(xdotool getwindowgeometry --shell "$window")"
    if [ "$radios" != 0 ]; then
        x=$((radios == 1 ? WIDTH * 135 / 433 : WIDTH * 248 / 433))
        xdotool mousemove --window "$window" "$x" $((HEIGHT * 58 / 280)) click 1
        sleep 0.2
    fi
    xdotool mousemove --window "$window" $((WIDTH * 100 / 433)) $((HEIGHT * 25 / 280)) click 1
    sleep 0.2
    xdotool key Tab space
    answer_file_dialog "$prg" || continue
    # Focus is back on "Sfoglia"; two Tabs reach "Salva su file" (the radio
    # buttons have no tab stop).
    xdotool windowfocus --sync "$window"
    xdotool key Tab Tab space
    answer_file_dialog "$report" || continue
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    expect_exit_0 "$name"
    if [ ! -f "$report" ]; then
        fail "$name: no report was written"
        continue
    fi
    "$dump" --layout "$layout" -o "$work/$name.expected" "$prg"
    if ! cmp -s "$report" "$work/$name.expected"; then
        fail "$name: the report differs from treskdump --layout $layout"
    else
        echo "ok: $name ($layout), $(wc -c <"$report") bytes, same as treskdump"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "all viewer process checks passed"
