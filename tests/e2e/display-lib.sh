# Shared by the Wayland and the accessibility tests: a private Xvfb (xvfb.sh), bounded waits,
# cleanup.
# Sourced; the caller sets `program` and `workdir`, defines `fail`, and adds to `pids` what
# cleanup stops.

step_timeout=20
pids=()

log() { printf '%s: %s\n' "$test_name" "$*"; }

stop_all() {
    local pid i
    # Newest first: the program before its compositor, everything before the X server.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill -0 "$pid" 2>/dev/null || continue
        kill "$pid" 2>/dev/null || true
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

trap 'stop_all; rm -rf "$workdir"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# Fails unless every tool named is on the PATH and the program under test can run.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
    done
    [ -x "$program" ] || fail "not an executable program: $program"
}

# Runs "$@" until it succeeds or $step_timeout seconds pass; $1 says what is awaited.
wait_for() {
    local what=$1 deadline=$((SECONDS + step_timeout))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || fail "$what did not happen within ${step_timeout}s"
        sleep 0.1
    done
}

# shellcheck source=xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

# A private X server, stopped last with everything else.
start_display() {
    start_xvfb "$workdir" || fail "could not start Xvfb"
    pids+=("$xvfb_pid")
    log "X server on $DISPLAY"
}
