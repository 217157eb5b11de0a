# The one way the tests start a virtual X server. Sourced; defines start_xvfb.
#
# start_xvfb DIR [WxHxDEPTH]: starts a private Xvfb (96 dpi, no TCP, 800x600x24 unless given),
# waits until it takes connections, exports DISPLAY and sets xvfb_pid, which the caller's
# cleanup stops. Xvfb picks a free display itself (-displayfd), so parallel runs never meet.
# Its log goes to DIR/xvfb.log. Returns 1, the log on standard error, if it does not come up
# within 20 s.
start_xvfb() {
    local dir=$1 screen=${2:-800x600x24} deadline=$((SECONDS + 20))
    rm -f "$dir/xvfb.display"
    Xvfb -displayfd 3 -noreset -nolisten tcp -dpi 96 -screen 0 "$screen" \
        3>"$dir/xvfb.display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    # The number is written once the server listens.
    until [ -s "$dir/xvfb.display" ]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null || ((SECONDS >= deadline)); then
            kill "$xvfb_pid" 2>/dev/null || true
            cat "$dir/xvfb.log" >&2
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$dir/xvfb.display")"
}
