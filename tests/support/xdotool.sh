# shellcheck shell=bash
# What the scripts that drive the viewer's windows with xdotool share: finding
# a window, answering a file dialog, waiting for the program to end, and
# screenshots. Sourced after checks.sh (it uses fail and poll). The program
# under test runs as process $viewer_pid; its output goes to $viewer_log.

# Prints the id of the first visible window whose name matches the regular
# expression PATTERN, waiting up to SECONDS for one; prints nothing when none
# came.
find_window() {
    local seconds=$1 pattern=$2
    timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null |
        head -n 1 || true
}

# True once no visible window's name matches the regular expression PATTERN.
window_gone() {
    ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}

# With SHOTS set to a folder, saves the whole screen there as NAME.png.
shot() {
    if [ -n "${SHOTS:-}" ]; then
        import -window root "$SHOTS/$1.png"
    fi
}

# Answers the file dialog whose name matches PATTERN: waits for it, presses
# KEYS... (each one, a moment apart) to select the whole of its file name
# field, types PATH over it, presses Enter and waits until the dialog has
# closed. A failed check and status 1 when it did not appear or close.
answer_file_dialog() {
    local pattern=$1 path=$2 dialog key
    shift 2
    dialog=$(find_window 20 "$pattern")
    if [ -z "$dialog" ]; then
        fail "no file dialog $pattern appeared"
        return 1
    fi
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.2
    done
    xdotool type --delay 10 "$path"
    sleep 0.3
    shot "file-dialog-${path##*[/\\]}"
    xdotool key Return
    poll 100 window_gone "$pattern" && return 0
    fail "the file dialog $pattern did not close"
    return 1
}

# Waits up to ten seconds for process $viewer_pid to end (ending it when it
# does not) and checks its exit status is 0; WHAT names the step for the
# failure message, which shows the end of $viewer_log. Clears viewer_pid.
# Status 1 after a failed check (counted already: a test that goes on writes
# `|| true`).
expect_exit_0() {
    local what=$1 status=0
    if ! poll 100 process_ended "$viewer_pid"; then
        fail "$what: the program is still running"
        kill "$viewer_pid" 2>/dev/null || true
        wait "$viewer_pid" || true
        viewer_pid=""
        return 1
    fi
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    if [ "$status" -ne 0 ]; then
        fail "$what: exit status $status, expected 0"
        tail -n 40 "${viewer_log:-/dev/null}" >&2 || true
        return 1
    fi
}
