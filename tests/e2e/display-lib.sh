# Shared by the Wayland and the accessibility tests: a private Xvfb, bounded waits, cleanup.
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

start_xvfb() {
    # Spread-out display numbers so parallel runs rarely meet; the lock file decides.
    local first=$((100 + RANDOM % 400)) n
    for ((n = first; n < first + 50; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -noreset -nolisten tcp -dpi 96 -screen 0 800x600x24 >"$workdir/xvfb.log" 2>&1 &
        local xvfb=$!
        local deadline=$((SECONDS + step_timeout))
        while ((SECONDS < deadline)) && kill -0 "$xvfb" 2>/dev/null; do
            if timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then
                pids+=("$xvfb")
                export DISPLAY=":$n"
                log "X server on $DISPLAY"
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    done
    fail "could not start Xvfb on any display from :$first"
}
