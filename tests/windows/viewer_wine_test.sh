#!/usr/bin/env bash
# Drives the real TreskViewer.exe under Wine with xdotool, as a user with a
# mouse and a keyboard would, in Italian (LANG=it_IT.UTF-8): for an example
# of each layout it checks the layout's radio button, opens the file through
# "Sfoglia" and Wine's "Apri" dialog, saves the report through "Salva su
# file" and "Salva con nome", and compares it byte for byte with the reviewed
# report; a report that cannot be written (another program holds the file)
# brings up the stop box and leaves the file as it was; Ctrl+P without a
# printer brings up a stop box; Alt+Space opens the system menu, whose last
# entry opens the About box; Escape ends the program with status 0. Starts
# its own Xvfb display when there is none. With SHOTS set to a folder,
# screenshots of the file dialogs, the stop boxes and the About box go there.
#
# Usage: viewer_wine_test.sh VIEWER_EXE EXAMPLES_DIR
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
viewer=$(realpath "$1")
examples=$(realpath "$2")

# Wine's own dialogs in Italian, and Windows-1252 as the ANSI code page.
if ! locale -a 2>/dev/null | grep -qiE '^it_IT\.utf-?8$'; then
    echo "the it_IT.UTF-8 locale is missing (scripts/install-deps.sh windows-test makes it)" >&2
    exit 1
fi
export LANG=it_IT.UTF-8 LC_ALL=it_IT.UTF-8
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export WINEDEBUG=-all
# Wine's helper processes keep the display they started with: a server still
# running from a headless run is waited for, and a new one starts on ours.
"$root/scripts/wine-prefix.sh"

work=$(mktemp -d)
viewer_pid=""
viewer_log=$work/viewer.log
. "$root/tests/support/checks.sh"
. "$root/tests/support/xdotool.sh"
cleanup() {
    exec 9>&- 2>/dev/null || true  # lets the program that holds a file go
    [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
    # End the prefix's Wine session: it belongs to this display, which ends
    # with the test, and after a failure a dialog may still be waiting.
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# Wine shows the Linux file system as drive Z:.
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
# Gives window the keyboard. Without a window manager Wine makes a window
# active only when it is clicked: the click lands on a spot without a
# control (the dialog's frame).
activate() {
    xdotool windowfocus --sync "$1"
    xdotool mousemove --window "$1" 2 2 click 1
    sleep 0.2
}
# Clicks the main dialog at a point given in dialog units. Its client area
# is 433 x 280 units, 650 x 455 pixels in "MS Sans Serif" 8 (4 units are 6
# pixels across, 8 units 13 pixels down); the window around it has a frame
# of equal width on three sides and the caption on top.
client_left=0
client_top=0
click_dialog() {
    xdotool mousemove --window "$main" $((client_left + ($1 * 6 + 2) / 4)) \
        $((client_top + ($2 * 13 + 4) / 8)) click 1
    sleep 0.3
}
# Answers Wine's file dialog titled title with path, typed over the whole
# of its file name field.
answer_wine_dialog() {
    answer_file_dialog "^$1\$" "$2" End shift+Home
}
# Visible top-level windows titled "TreskViewer": the dialog, and a message
# box while one is up.
program_windows() {
    xdotool search --onlyvisible --name '^TreskViewer$' 2>/dev/null || true
}
# A message box is up beside the dialog; the dialog is alone again.
box_shown() { [ "$(program_windows | wc -l)" -ge 2 ]; }
dialog_alone() { [ "$(program_windows | wc -l)" -eq 1 ]; }
# Waits for a message box beside the dialog and answers it with keys: "ok:
# what" (and a screenshot named shot), or a failure when none comes up.
answer_box() {
    local what=$1 name=$2
    shift 2
    poll 100 box_shown || true
    local box
    box=$(program_windows | grep -vx "$main" | head -n 1 || true)
    if [ -z "$box" ]; then
        fail "no box: $what"
        return 1
    fi
    echo "ok: $what"
    shot "$name"
    activate "$box"
    xdotool key "$@"
    poll 100 dialog_alone || fail "$* did not close the box: $what"
}

(cd "$work" && exec wine "$viewer") >"$viewer_log" 2>&1 &
viewer_pid=$!
main=$(find_window 60 '^TreskViewer$')
if [ -z "$main" ]; then
    fail "the dialog did not appear; visible windows: $(xdotool search --onlyvisible --name . \
        getwindowname %@ 2>/dev/null | tr '\n' ',')"
    tail -n 20 "$viewer_log" >&2
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$main")"
client_left=$(((WIDTH - 650) / 2))
client_top=$((HEIGHT - 455 - client_left))
if [ "$client_left" -lt 0 ] || [ "$client_top" -lt "$client_left" ]; then
    fail "the dialog is ${WIDTH} x ${HEIGHT} pixels: no client area of 650 x 455 in it"
    exit 1
fi

# An example of each layout: its radio button (a point on it in dialog
# units), "Sfoglia", the file; "Salva su file", the report.
for case in "lista_nuova.PRG:24" "lista_vecchia.PRG:140" "lista_mem.PRG:253"; do
    IFS=: read -r name radio_x <<<"$case"
    # A copy: a key that lands in the wrong dialog never writes over the
    # checked-in examples.
    cp "$examples/$name" "$work/$name"
    click_dialog "$radio_x" 58
    click_dialog 316 25  # Sfoglia
    answer_wine_dialog Apri "$(windows_path "$work/$name")" || continue
    click_dialog 389 59  # Salva su file
    answer_wine_dialog "Salva con nome" "$(windows_path "$work/$name.txt")" || continue
    poll 50 cmp -s "$work/$name.txt" "$examples/$name.txt" || true
    if cmp -s "$work/$name.txt" "$examples/$name.txt"; then
        echo "ok: $name, $(wc -c <"$work/$name.txt") bytes, the reviewed report"
    elif [ -f "$work/$name.txt" ]; then
        fail "$name: the report differs from $examples/$name.txt"
    else
        fail "$name: no report was written"
    fi
done

# A "Mem" cut list chosen with "Lib / Ori ( >=1.7 )" checked: the question.
# No (N) keeps the list as that layout reads it, the report treskdump writes
# with --layout new; Si (Enter, the default) loads it as "Mem", whose report
# is the reviewed one.
cp "$examples/lista_mem.PRG" "$work/domanda.PRG"
env WINEDEBUG=-all wine "$(dirname "$viewer")/treskdump.exe" --layout new \
    -o "$(windows_path "$work/domanda.new.txt")" "$(windows_path "$work/domanda.PRG")" \
    >/dev/null 2>&1 || fail "treskdump.exe --layout new did not convert the Mem example"
for answer in n Return; do
    click_dialog 24 58   # Lib / Ori ( >=1.7 )
    click_dialog 316 25  # Sfoglia
    answer_wine_dialog Apri "$(windows_path "$work/domanda.PRG")" || continue
    answer_box "the layout question, answered $answer" "layout-question-$answer" "$answer" ||
        continue
    click_dialog 389 59  # Salva su file
    answer_wine_dialog "Salva con nome" "$(windows_path "$work/domanda.$answer.txt")" || continue
    expected=$work/domanda.new.txt
    [ "$answer" = Return ] && expected=$examples/lista_mem.PRG.txt
    poll 50 cmp -s "$work/domanda.$answer.txt" "$expected" || true
    if cmp -s "$work/domanda.$answer.txt" "$expected"; then
        echo "ok: after $answer the report is $(basename "$expected")'s"
    else
        fail "after the answer $answer the report is not $(basename "$expected")'s"
    fi
done

# A report that cannot be written: another program (cmd, waiting in "pause"
# until its input closes) holds the file open, so the exclusive open fails
# with a sharing violation. The stop box comes up over the dialog, with the
# program's name as its title, and the file keeps what it had.
held="$work/held.txt"
mkfifo "$work/hold"
(exec wine cmd /c "pause>$(windows_path "$held")" <"$work/hold" >/dev/null 2>&1) &
exec 9>"$work/hold"
poll 100 test -s "$held" || true
cp "$held" "$work/held.before"
ls "$work" >"$work/files.before"
click_dialog 389 59  # Salva su file
if answer_wine_dialog "Salva con nome" "$(windows_path "$held")"; then
    answer_box "a stop box for a report another program holds" stop-box Return || true
    cmp -s "$held" "$work/held.before" || fail "the held report was changed"
    ls "$work" | cmp -s - "$work/files.before" || fail "the failed report left a file behind"
fi
exec 9>&-

# Ctrl+P where the system has no printer (no CUPS printer for Wine): a stop
# box says so, where Wine would show its print dialog with an empty list.
if command -v lpstat >/dev/null && [ -n "$(lpstat -e 2>/dev/null)" ]; then
    echo "skipped: Ctrl+P without a printer, as this system has printers"
else
    activate "$main"
    click_dialog 200 200  # the list
    xdotool key ctrl+p
    poll 100 box_shown || true
    box=$(program_windows | grep -vx "$main" | head -n 1 || true)
    print_dialog=$(find_window 1 '^(Stampa|Print)$')
    if [ -n "$print_dialog" ]; then
        fail "Ctrl+P without a printer opened the print dialog"
        activate "$print_dialog"
        xdotool key Escape
    elif [ -z "$box" ]; then
        fail "Ctrl+P without a printer showed nothing"
    else
        echo "ok: Ctrl+P without a printer shows a stop box"
        shot no-printer-box
        activate "$box"
        xdotool key Return
        poll 100 dialog_alone || fail "Enter did not close the no-printer box"
    fi
fi

# Ctrl+F, a bar code and Enter, as a scanner types them: "Trova" finds the
# row without a word and stays open; a code no row holds brings up the
# information box; Escape closes "Trova"; the viewer goes on all along.
code=$(sed -n 4p "$examples/lista_mem.PRG.txt" | cut -c81-90 | tr -d ' ')
activate "$main"
xdotool key ctrl+f
find=$(find_window 10 '^Trova$')
if [ -z "$find" ]; then
    fail "Ctrl+F did not open Trova"
else
    activate "$find"
    xdotool type --delay 20 "$code"
    xdotool key Return
    sleep 0.5
    if box_shown || window_gone '^Trova$' || window_gone '^TreskViewer$'; then
        fail "the bar code $code of the list was not found quietly with Trova still open"
    else
        echo "ok: Ctrl+F, a bar code and Enter find the row; Trova stays open"
    fi
    xdotool key End shift+Home
    xdotool type --delay 20 "NESSUNO"
    xdotool key Return
    answer_box "a code no row holds is said in a box" not-found-box Return || true
    # The keyboard is back in Trova: Escape closes it, not the viewer.
    xdotool key Escape
    poll 100 window_gone '^Trova$' || fail "Escape did not close Trova"
    if window_gone '^TreskViewer$'; then
        fail "the keys after the not-found box reached the viewer, which ended"
    fi
fi
# Wine may have made the dialog's window anew on the screen meanwhile.
main=$(find_window 10 '^TreskViewer$')

# Alt+Space opens the system menu; Up from its first entry goes round to the
# last one, ours (Wine adds entries of its own above it).
activate "$main"
xdotool key alt+space
sleep 0.5
xdotool key Up Return
about=$(find_window 10 '^Informazioni su TreskViewer$')
if [ -z "$about" ]; then
    fail "the system menu's last entry did not open the About box"
else
    echo "ok: the system menu opens the About box"
    shot about-box
    activate "$about"
    xdotool key Return
    poll 100 window_gone '^Informazioni su TreskViewer$' || fail "Enter did not close the About box"
fi

# Escape ends the program with status 0.
activate "$main"
xdotool key Escape
if expect_exit_0 Escape; then
    echo "ok: Escape ends the program, status 0"
fi
# A cut list named on the command line, its path with spaces and accented
# letters of the ANSI code page, is loaded at start: its report is the
# reviewed one.
named="$work/liste di taglio/città è.PRG"
mkdir -p "$work/liste di taglio"
cp "$examples/lista_nuova.PRG" "$named"
(cd "$work" && exec wine "$viewer" "$(windows_path "$named")") >>"$viewer_log" 2>&1 &
viewer_pid=$!
main=$(find_window 60 '^TreskViewer$')
if [ -z "$main" ]; then
    fail "the dialog did not appear for a file named on the command line"
else
    click_dialog 389 59  # Salva su file
    if answer_wine_dialog "Salva con nome" "$(windows_path "$work/named.txt")"; then
        poll 50 cmp -s "$work/named.txt" "$examples/lista_nuova.PRG.txt" || true
        if cmp -s "$work/named.txt" "$examples/lista_nuova.PRG.txt"; then
            echo "ok: a file named on the command line, with spaces and accents, is loaded"
        else
            fail "the file named on the command line did not give the reviewed report"
        fi
    fi
    activate "$main"
    xdotool key Escape
    expect_exit_0 "Escape after a file named on the command line" || true
fi

# --version and a wrong argument: a program with windows has no console on
# Windows, so a box titled with the program's name says it (smaller than the
# dialog); Enter closes it, and the exit status is the one on Linux.
for case in "--version:0" "--sconosciuta:2"; do
    IFS=: read -r arg expected <<<"$case"
    (cd "$work" && exec wine "$viewer" "$arg") >>"$viewer_log" 2>&1 &
    viewer_pid=$!
    box=$(find_window 60 '^TreskViewer$')
    WIDTH=9999
    [ -z "$box" ] || eval "$(xdotool getwindowgeometry --shell "$box")"
    if [ "$WIDTH" -ge 600 ]; then
        fail "$arg: no box titled TreskViewer"
        kill "$viewer_pid" 2>/dev/null || true
        wait "$viewer_pid" 2>/dev/null || true
        viewer_pid=""
        continue
    fi
    shot "box$arg"
    activate "$box"
    xdotool key Return
    status=0
    if ! poll 100 process_ended "$viewer_pid"; then
        fail "$arg: Enter did not end the program"
        kill "$viewer_pid" 2>/dev/null || true
    fi
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    if [ "$status" -eq "$expected" ]; then
        echo "ok: $arg shows a box and ends with status $expected"
    else
        fail "$arg: exit status $status, expected $expected"
    fi
done

if grep -i 'unhandled' "$viewer_log" >&2; then
    fail "Wine reported an unhandled exception"
fi

finish "all Windows viewer checks passed"
