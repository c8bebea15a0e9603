#!/usr/bin/env bash
# Drives the real treskviewer executable on the test display with xdotool,
# as a user with a keyboard would: it starts into its dialog, Enter and
# Escape end the process with status 0, and a file chosen with "Sfoglia" in
# each layout (checked with the mouse and the arrow keys), or named on the
# command line, gives through "Salva su file" the very report treskdump
# writes for that file and layout. --help, --version and a wrong argument
# need no display. The viewer runs on a session bus with the accessibility
# bus up, as on a GNOME desktop, and must not print GLib or ATK criticals.
#
# Usage: viewer_process_test.sh VIEWER TRESKDUMP EXAMPLES_DIR
set -euo pipefail
if [ -z "${TRESK_SESSION_BUS:-}" ] && command -v dbus-run-session >/dev/null &&
   [ -f /usr/share/dbus-1/services/org.a11y.Bus.service ]; then
    TRESK_SESSION_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
viewer=$(realpath "$1")
dump=$(realpath "$2")
examples=$(realpath "$3")

if [ -z "${DISPLAY:-}" ]; then
    echo "no X display: run under xvfb-run" >&2
    exit 1
fi
work=$(mktemp -d)
viewer_pid=""
viewer_log=$work/viewer.log
cleanup() {
    if [ -n "$viewer_pid" ] && kill -0 "$viewer_pid" 2>/dev/null; then
        kill "$viewer_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../support/checks.sh"
. "$(dirname "$0")/../support/xdotool.sh"

# The answers that need no display: --help and --version on standard output
# with status 0, a wrong argument as one line on standard error, status 2.
# nodisplay ARGS... prints "<status> <stdout lines> <stderr lines>".
nodisplay() {
    local status=0
    (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$viewer" "$@" >"$work/out" 2>"$work/err") ||
        status=$?
    echo "$status $(wc -l <"$work/out") $(wc -l <"$work/err")"
}
[ "$(nodisplay --version)" = "0 1 0" ] && grep -qx 'treskviewer (TreskViewer) [0-9.]*' "$work/out" ||
    fail "--version: $(cat "$work/out" "$work/err")"
[[ "$(nodisplay --help)" == "0 "*" 0" ]] && grep -q '^Uso: treskviewer ' "$work/out" ||
    fail "--help: $(cat "$work/out" "$work/err")"
for args in "--layout 7 x.PRG" "--bogus" "a.PRG b.PRG"; do
    # shellcheck disable=SC2086
    [ "$(nodisplay $args)" = "2 0 1" ] && grep -q '^treskviewer: ' "$work/err" ||
        fail "$args: $(cat "$work/out" "$work/err")"
done

# Starts the viewer (with the given arguments) and sets window once its
# window is on screen.
window=""
start_viewer() {
    (cd "$work" && exec "$viewer" "$@" >>"$viewer_log" 2>&1) &
    viewer_pid=$!
    window=$(find_window 20 '^TreskViewer$')
    if [ -z "$window" ]; then
        fail "the viewer's window did not appear"
        return 1
    fi
    xdotool windowfocus --sync "$window"
}

# Answers the GTK file dialog that the last key opened with path: Ctrl+L
# shows its location field, Ctrl+A selects what is in it.
answer_chooser() {
    answer_file_dialog '^(Apri|Salva con nome)$' "$1" ctrl+l ctrl+a
}

# Enter in the path field (where the focus starts) ends the program.
start_viewer
xdotool type --delay 10 "abc"
xdotool key Return
expect_exit_0 "Enter in the path field" || true

# Escape ends it as well.
start_viewer
xdotool key Escape
expect_exit_0 "Escape" || true

# So does "Chiudi", the first entry of the window menu (Alt+Space).
start_viewer
xdotool key alt+space
sleep 0.5
xdotool key Down Return
expect_exit_0 "Chiudi from the window menu" || true

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
    # Check the layout's radio button: a click on the first, then an arrow
    # key (Right to the second, Left round to the third). Then click into
    # the path field so that Tab leads to "Sfoglia". Positions are the dialog
    # units of the controls scaled to the window (433 x 280 units).
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --window "$window" $((WIDTH * 19 / 433)) $((HEIGHT * 58 / 280)) click 1
    sleep 0.2
    case $radios in
        1) xdotool key Right ;;
        2) xdotool key Left ;;
    esac
    sleep 0.2
    xdotool mousemove --window "$window" $((WIDTH * 100 / 433)) $((HEIGHT * 25 / 280)) click 1
    sleep 0.2
    xdotool key Tab space
    answer_chooser "$prg" || continue
    # Focus is back on "Sfoglia"; two Tabs reach "Salva su file" (the radio
    # buttons have no tab stop).
    xdotool windowfocus --sync "$window"
    xdotool key Tab Tab space
    answer_chooser "$report" || continue
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    expect_exit_0 "$name" || true
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

# Named on the command line: loaded at start in the layout given, so "Salva
# su file" (three Tabs from the path field: "Sfoglia", the list, "Salva su
# file") writes its report straight away.
cp "$examples/lista_vecchia.PRG" "$work/start.PRG"
if start_viewer --layout old start.PRG; then
    xdotool key Tab Tab Tab space
    if answer_chooser "$work/start.txt"; then
        xdotool windowfocus --sync "$window"
        xdotool key Escape
        expect_exit_0 "treskviewer --layout old FILE" || true
        "$dump" --layout old -o "$work/start.expected" "$work/start.PRG"
        if cmp -s "$work/start.txt" "$work/start.expected"; then
            echo "ok: a file named on the command line loads in its layout"
        else
            fail "treskviewer --layout old FILE: the report differs from treskdump"
        fi
    fi
fi

# Every exit above was clean: no GLib or ATK critical warning on stderr.
if grep -E 'CRITICAL' "$viewer_log" >&2; then
    fail "the viewer printed critical warnings"
fi

finish "all viewer process checks passed"
