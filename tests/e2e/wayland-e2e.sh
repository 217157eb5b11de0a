#!/usr/bin/env bash
# The program as a native Wayland client: weston runs inside a private Xvfb (its X11 backend,
# the only one that has a seat without hardware), the program connects to weston alone, keys
# reach it through weston's X window, and the clipboard is read on the Wayland side.
#
# usage: wayland-e2e.sh PROGRAM
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 PROGRAM" >&2
    exit 2
fi
program=$1
test_name=wayland-e2e
# The program reports where its controls are on the accessibility bus: the test runs in a D-Bus
# session of its own, with an AT-SPI bus in it (started below).
if [ -z "${HUEWRIGHT_E2E_SESSION:-}" ]; then
    HUEWRIGHT_E2E_SESSION=1 exec env -u AT_SPI_BUS_ADDRESS dbus-run-session -- bash "$0" "$@"
fi
export LC_ALL=C.UTF-8

workdir=$(mktemp -d "${TMPDIR:-/tmp}/huewright-wayland.XXXXXX")
fail() {
    printf '%s: FAIL: %s\n' "$test_name" "$*" >&2
    for f in weston.log app.log; do
        [ -s "$workdir/$f" ] && { echo "---- $f ----" >&2; tail -n 30 "$workdir/$f" >&2; }
    done
    exit 1
}
# shellcheck source=display-lib.sh
source "$(dirname "$0")/display-lib.sh"
require_tools Xvfb xdpyinfo xdotool weston wl-copy wl-paste import convert timeout dbus-send \
    /usr/libexec/at-spi-bus-launcher /usr/bin/python3
[ -r "${HUEWRIGHT_FACTS:-}" ] || fail "HUEWRIGHT_FACTS names no facts file of a build"
# shellcheck source=/dev/null
source "$HUEWRIGHT_FACTS"

start_display

# weston wants a private runtime directory; the socket name is ours so runs never meet.
export XDG_RUNTIME_DIR="$workdir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$workdir/atspi.log" 2>&1 &
pids+=($!)
bus_up() {
    timeout 5 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1
}
wait_for "the accessibility bus" bus_up
socket=huewright-e2e
# --no-config: the machine's weston.ini must not change the keyboard or the shell; the
# keymap then is weston's default (us), which is what xdotool types with.
weston --backend=x11-backend.so --use-pixman --no-config --socket="$socket" \
    --width=640 --height=480 >"$workdir/weston.log" 2>&1 &
pids+=($!)
wait_for "weston's socket" test -S "$XDG_RUNTIME_DIR/$socket"
weston_window() { timeout 5 xdotool search --onlyvisible --class Weston 2>/dev/null | head -n 1; }
has_weston_window() { [ -n "$(weston_window)" ]; }
wait_for "weston's window" has_weston_window
# Keys go to weston's window whatever the pointer does: there is no window manager.
timeout "$step_timeout" xdotool windowfocus --sync "$(weston_window)" ||
    fail "weston's window did not take the X keyboard focus"
export WAYLAND_DISPLAY=$socket
log "weston on $WAYLAND_DISPLAY, its X window $(weston_window)"

# Our own text on the clipboard first, so a copy that does nothing cannot pass. wl-copy and
# wl-paste take the keyboard focus for a moment, so they are used only while the program has
# no window yet, or after its last key.
sentinel="huewright-e2e-sentinel-$RANDOM$RANDOM"
timeout 300 wl-copy --foreground -- "$sentinel" 2>>"$workdir/wl.log" &
pids+=($!)
paste() { timeout 5 wl-paste --no-newline 2>/dev/null; }
sentinel_set() { [ "$(paste || true)" = "$sentinel" ]; }
wait_for "the sentinel on the clipboard" sentinel_set

# No DISPLAY for the program: it can only be a Wayland client. Qt's Wayland log says which
# states the compositor configured the window in.
env -u DISPLAY -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_STYLE_OVERRIDE \
    QT_QPA_PLATFORM=wayland QT_LOGGING_RULES=qt.qpa.wayland=true QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$program" >"$workdir/app.log" 2>&1 &
app=$!
pids+=("$app")

keys() { timeout "$step_timeout" xdotool key --delay 40 "$@" || fail "key presses failed: $*"; }
shows() { # true while a pixel of colour $1 (RRGGBB) is on weston's screen
    timeout 10 import -silent -window root "$workdir/shot.png" &&
        timeout 10 convert "$workdir/shot.png" -format %c histogram:info:- |
        grep -qi "#$1"
}
# The focus starts on r1 and End takes it to 256: the start swatch turns red once the
# window is up and has the keyboard. End again changes nothing, so it can be repeated.
window_up() {
    kill -0 "$app" 2>/dev/null || fail "the program ended: $(cat "$workdir/app.log")"
    # Focus weston's window again each time: the keys reach the program only through it.
    timeout 5 xdotool windowfocus "$(weston_window)" 2>/dev/null || true
    keys End
    shows FF0000
}
wait_for "the program's window taking keys" window_up
log "the window is up and has the keyboard"

# Start (255, 0, 0), end (0, 0, 255), "Hi", Bold; then Generate and To ClipBoard.
keys Up                           # r1 = 255
keys Tab Tab Tab Tab Tab End Up   # g1, b1, r2, g2 stay 0; b2 = 255
keys Tab                          # Text1
timeout "$step_timeout" xdotool type --delay 60 Hi || fail "typing failed"
keys Tab Tab Tab Tab space        # Text2, Generate, Random, Bold: ticked

# A maximise or full-screen request leaves the program running at its one size, in its place,
# its text and bars as they were (the markup below shows them): first the maximise button of
# Qt's own title bar, then weston's full-screen shortcut, which the compositor alone acts on.
red_box() { # the start swatch, the one large pure red patch on screen: WxH+X+Y
    timeout 10 import -silent -window root "$workdir/shot.png" &&
        timeout 10 convert "$workdir/shot.png" -fill black +opaque '#FF0000' \
            -define connected-components:verbose=true -connected-components 4 null: |
        awk '$NF == "srgb(255,0,0)" && $(NF-1) > 100 { print $2 }' | head -n 1
}
swatch=$(red_box) || true
[ -n "$swatch" ] || fail "the red start swatch is not on the screen"
back_in_place() { kill -0 "$app" 2>/dev/null && [ "$(red_box || true)" = "$swatch" ]; }
# True once Qt has applied a configure in state $1, and after it one in the normal state.
configured_and_back() {
    kill -0 "$app" 2>/dev/null || fail "the program ended: $(grep -v '^qt\.' "$workdir/app.log")"
    awk -v state="$1" '/Applied pending xdg_toplevel configure/ {
        if ($0 ~ state) seen = 1; else if (seen && $0 !~ /Maximized|FullScreen/) back = 1
    } END { exit !back }' "$workdir/app.log"
}
# The window's place on screen from the swatch: the red patch sits inside the swatch's
# one-pixel outline, where the program reports the swatch in its window. Qt's default title bar
# is 30 pixels high with a 3-pixel border, and its maximise button, second from the right, is
# centred 40 pixels in from the frame's right.
IFS='x+' read -r _ _ left top <<<"$swatch"
mapfile -t boxes < <(timeout 60 /usr/bin/python3 "$(dirname "$0")/places.py" --boxes \
    "$HUEWRIGHT_NAME" "$HUEWRIGHT_NAME" "Start colour")
[ ${#boxes[@]} -eq 2 ] || fail "the program did not report where its window and swatch are"
read -r _ _ window_width _ <<<"${boxes[0]}"
read -r swatch_x swatch_y _ <<<"${boxes[1]}"
maximise_x=$((left - 1 - swatch_x + window_width - 37))
maximise_y=$((top - 1 - swatch_y - 15))
# weston's X11 backend follows the pointer from where it entered weston's window, so the
# pointer comes in from outside it (the X screen is larger than weston's window).
timeout "$step_timeout" xdotool mousemove 790 590 mousemove "$maximise_x" "$maximise_y" click 1 ||
    fail "could not click the maximise button at $maximise_x,$maximise_y"
wait_for "a maximised configure, then the normal state" configured_and_back WindowMaximized
wait_for "the window back at its size and place after maximise" back_in_place
log "maximise: the window was configured maximised and is back at its size: $swatch"
keys super+shift+f
wait_for "a full-screen configure, then the normal state" configured_and_back WindowFullScreen
wait_for "the window back at its size and place after full screen" back_in_place
log "full screen: the window was configured full screen and is back at its size: $swatch"
keys shift+Tab shift+Tab space    # Generate
keys Tab Tab Tab Tab space        # Random, Bold, Italic, To ClipBoard
# The last key is visible: Tab to "<>", Tab round to r1, Home takes it to 0 and the red
# swatch goes. Keys arrive in order, so the copy has happened by then.
keys Tab Tab Home
no_red() { ! shows FF0000; }
wait_for "the start swatch turning black" no_red

expected='[b][color=#800000]H[/color][color=#01007F]i[/color][/b]'
copied() { got=$(paste || true); [ "$got" != "$sentinel" ]; }
wait_for "the clipboard changing after To ClipBoard" copied
printf '%s' "$expected" >"$workdir/expected"
paste >"$workdir/got" || true
if ! cmp -s "$workdir/expected" "$workdir/got"; then
    echo "expected: $expected" >&2
    echo "got:      $(cat "$workdir/got")" >&2
    fail "the markup on the Wayland clipboard differs"
fi
log "markup ok through the Wayland clipboard: $expected"
kill -0 "$app" 2>/dev/null || fail "the program ended before it was closed"
log "all checks passed"
