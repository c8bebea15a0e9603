# shellcheck shell=bash
# What the shell tests share: the count of failed checks, waiting for a
# condition, and the verdict at the end. Sourced by each test after `set -e`.

failures=0

# Records a failed check; the test goes on with the next one.
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs COMMAND... every tenth of a second until it succeeds: status 0 then, 1
# when it still fails after TRIES tries.
poll() {
    local tries=$1 try
    shift
    for ((try = 0; try < tries; try++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# True once process PID has ended.
process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# Ends the test: status 1 after any failed check, otherwise MESSAGE and 0.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failed" >&2
        exit 1
    fi
    echo "$1"
}
