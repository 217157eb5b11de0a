#!/usr/bin/env bash
# Without a usable display the program must say so in one line and point to Xvfb, rather
# than let Qt abort with a core dump.
set -uo pipefail
program="$1"
failed=0

check() {
    local what="$1"
    shift
    local err rc
    err="$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "$program" 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] ||
        [[ "$err" != *"xvfb-run -a huewright"* ]]; then
        echo "FAIL $what: exit $rc, stderr:"
        printf '%s\n' "$err"
        failed=1
    else
        echo "ok   $what: $err"
    fi
}

check "no DISPLAY" env -u DISPLAY
# A display number nobody serves.
check "unreachable DISPLAY" env DISPLAY=:4711
exit "$failed"
