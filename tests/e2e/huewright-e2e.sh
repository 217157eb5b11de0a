#!/usr/bin/env bash
# Drives the real program the way a user does: under a private X server, with
# real key presses and mouse clicks, reading the real clipboard and the pixels
# on screen. Works on a freshly built binary and on an installed one.
#
# usage: huewright-e2e.sh PROGRAM [CLOSE-HELPER]
#   CLOSE-HELPER  the close_window tool built beside this test; without it the
#                 check that closing the window ends the program is skipped.
# With HUEWRIGHT_E2E_WINE=1, PROGRAM is huewright.exe, run under Wine (in WINEPREFIX),
# whose windows are X windows too; the window is closed as Windows closes it (WM_CLOSE).
# HUEWRIGHT_FACTS names the build's facts file (cmake/facts.cmake), for the window's caption.
# Set HUEWRIGHT_E2E_KEEP=DIR to keep screenshots and logs of a failed run.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 PROGRAM [CLOSE-HELPER]" >&2
    exit 2
fi
program=$1
closer=${2:-}
wine_mode=${HUEWRIGHT_E2E_WINE:-}

[ -r "${HUEWRIGHT_FACTS:-}" ] || { echo "e2e: HUEWRIGHT_FACTS names no facts file of a build" >&2; exit 2; }
# shellcheck source=/dev/null
source "$HUEWRIGHT_FACTS"
title=$HUEWRIGHT_NAME
# Every wait ends: a step that needs longer than this has failed.
step_timeout=20

# The controls the test clicks, by their accessible names. Once the window is open,
# place_controls asks the running program where they are (the window has no frame without a
# window manager, so window coordinates are client coordinates).
declare -A control_names=(
    [shape1]="Start colour" [shape2]="End colour" [text1]="Text to colour"
    [text2]="Generated markup" [bold_box]="Bold" [copy_button]="To ClipBoard"
    [generate_button]="Generate"
)

# The program reports its controls' places on the accessibility bus, so the test runs in a
# D-Bus session of its own, with an AT-SPI bus in it (started below).
if [ -z "$wine_mode" ] && [ -z "${HUEWRIGHT_E2E_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null ||
        { echo "e2e: dbus-run-session is missing (run scripts/install-deps.sh)" >&2; exit 1; }
    HUEWRIGHT_E2E_SESSION=1 exec env -u AT_SPI_BUS_ADDRESS dbus-run-session -- bash "$0" "$@"
fi

# xdotool reads the text it types in the locale's encoding.
export LC_ALL=C.UTF-8

log() { printf 'e2e: %s\n' "$*"; }

workdir=$(mktemp -d "${TMPDIR:-/tmp}/huewright-e2e.XXXXXX")
xvfb_pid=""
app_pid=""
owner_pid=""
wm_pid=""
bus_pid=""
failed=0

cleanup() {
    local status=$?
    for pid in "$app_pid" "$owner_pid" "$wm_pid" "$bus_pid" "$xvfb_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            # A process that ignores TERM gets KILL after two seconds.
            for _ in 1 2 3 4 5 6 7 8 9 10; do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.2
            done
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then
        if [ -s "$workdir/app.log" ]; then
            echo "---- program output ----" >&2
            cat "$workdir/app.log" >&2
        fi
        if [ -n "${HUEWRIGHT_E2E_KEEP:-}" ]; then
            mkdir -p "$HUEWRIGHT_E2E_KEEP"
            cp -r "$workdir"/. "$HUEWRIGHT_E2E_KEEP"/
            echo "e2e: screenshots and logs kept in $HUEWRIGHT_E2E_KEEP" >&2
        fi
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
    failed=1
    printf 'e2e: FAIL: %s\n' "$*" >&2
    exit 1
}

# Bounded wrappers around the X tools: none of them may hang the test.
xdo() { timeout "$step_timeout" xdotool "$@"; }
clip_out() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }

for tool in Xvfb openbox xdotool xclip xdpyinfo xprop xwininfo import convert timeout; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done
[ -n "$wine_mode" ] || for tool in dbus-send /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done
[ -x "$program" ] || fail "not an executable program: $program"

# shellcheck source=xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

start_program() {
    mkdir -p "$workdir/run" && chmod 700 "$workdir/run"
    if [ -n "$wine_mode" ]; then
        wine "$program" >>"$workdir/app.log" 2>&1 &
    else
        # Pixels on screen are compared with colours read in window coordinates: the
        # test runs the program at 96 dpi and device scale 1, whatever the user has set.
        env -u WAYLAND_DISPLAY -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS \
            -u QT_ENABLE_HIGHDPI_SCALING -u QT_FONT_DPI -u QT_STYLE_OVERRIDE \
            QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$workdir/run" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
            "$program" >>"$workdir/app.log" 2>&1 &
    fi
    app_pid=$!
    wid=$(xdo search --sync --limit 1 --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1) ||
        fail "no window named \"$title\" appeared within ${step_timeout}s"
    [ -n "$wid" ] || fail "no window named \"$title\" appeared"
    xdo windowfocus --sync "$wid" || fail "the window did not take the keyboard focus"
    log "window $wid, program pid $app_pid"
    place_controls
}

# Reads the window's size, and sets shape1, text1, … to the centres of those controls in
# window pixels, as the program reports them on the accessibility bus. Under Wine there is no
# such bus: the places are then the centres in twips of the window's layout, scaled.
place_controls() {
    local geometry keys centres i
    geometry=$(xdo getwindowgeometry "$wid") || fail "could not read the window geometry"
    read -r window_width window_height < <(sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' <<<"$geometry")
    [ -n "$window_width" ] || fail "no size in: $geometry"
    keys=("${!control_names[@]}")
    if [ -n "$wine_mode" ]; then
        declare -A twips=([shape1]="487 727" [shape2]="1567 727" [text1]="3307 502"
            [text2]="3307 862" [bold_box]="2160 1207" [copy_button]="4027 1207"
            [generate_button]="4027 2167")
        centres=()
        for i in "${keys[@]}"; do
            centres+=("$(awk -v w="$window_width" -v xy="${twips[$i]}" \
                'BEGIN { split(xy, t, " "); s = w / 4680; printf "%d %d\n", t[1] * s, t[2] * s }')")
        done
    else
        local names=()
        for i in "${keys[@]}"; do names+=("${control_names[$i]}"); done
        mapfile -t centres < <(timeout 60 /usr/bin/python3 "$(dirname "$0")/places.py" "$title" "${names[@]}")
        [ ${#centres[@]} -eq ${#keys[@]} ] || fail "the program did not report where its controls are"
    fi
    for i in "${!keys[@]}"; do
        read -r -a "${keys[i]}" <<<"${centres[i]}"
    done
}

program_alive() {
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended unexpectedly ($1)"
}

# Ends the program as the user does, by closing the window, and checks that this
# ends the process cleanly. Without the close helper it is simply terminated.
stop_program() {
    program_alive "before closing"
    if [ -z "$closer" ] && [ -z "$wine_mode" ]; then
        kill "$app_pid"
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
        return 0
    fi
    if [ -n "$wine_mode" ]; then
        timeout 60 wine taskkill /im huewright.exe >/dev/null 2>&1 ||
            fail "could not send the close request"
    else
        timeout 10 "$closer" "$wid" || fail "could not send the close request"
    fi
    local deadline=$((SECONDS + step_timeout))
    while kill -0 "$app_pid" 2>/dev/null && ((SECONDS < deadline)); do
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        fail "closing the window did not end the program within ${step_timeout}s"
    fi
    local status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "the program exited with status $status after its window was closed"
    log "closing the window ended the program"
}

click() { # x y
    xdo mousemove --window "$wid" "$1" "$2" click 1 || fail "click at $1,$2 failed"
}

keys() {
    xdo key --delay 40 "$@" || fail "key presses failed: $*"
}

# Puts text of our own on the clipboard, so a copy that does nothing cannot
# pass for one that worked.
own_clipboard() {
    sentinel="huewright-e2e-sentinel-$RANDOM$RANDOM"
    offer_clipboard "$sentinel"
}

# Holds $1 on the clipboard, as another program would, until someone takes it.
offer_clipboard() {
    if [ -n "$owner_pid" ]; then
        kill "$owner_pid" 2>/dev/null || true
        wait "$owner_pid" 2>/dev/null || true
    fi
    printf '%s' "$1" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
    owner_pid=$!
    local deadline=$((SECONDS + step_timeout))
    until [ "$(clip_out || true)" = "$1" ]; do
        ((SECONDS < deadline)) || fail "could not take the clipboard for the test"
        sleep 0.1
    done
}

# Waits until the program has taken the clipboard from the test's owner, then writes what
# it holds to $1. xclip serves the clipboard until another program takes it and then ends;
# To ClipBoard clears the clipboard before it sets the text, so a read succeeds only once
# the program owns it with its text.
await_clipboard_into() {
    local deadline=$((SECONDS + step_timeout)) got
    while ((SECONDS < deadline)); do
        if ! kill -0 "$owner_pid" 2>/dev/null && clip_out >"$1"; then
            wait "$owner_pid" 2>/dev/null || true
            owner_pid=""
            return 0
        fi
        sleep 0.1
    done
    if xdo search --onlyvisible --name '^Error$' >/dev/null 2>&1; then
        fail "an error message box is open instead of the markup being copied"
    fi
    got=$(clip_out || true)
    fail "the clipboard still holds '$got' ${step_timeout}s after To ClipBoard"
}

# Replaces the text of Text1 by $1 as a user pastes it (Ctrl+V), then reads it back by
# copying it (Ctrl+A, Ctrl+C). Typing characters the keymap lacks makes xdotool rebind a key
# for a moment, which a program that reads its events late can miss; a paste cannot.
paste_text() {
    offer_clipboard "$1"
    click "${text1[@]}"
    keys ctrl+a ctrl+v ctrl+a ctrl+c
    await_clipboard_into "$workdir/typed"
    [ "$(cat "$workdir/typed")" = "$1" ] ||
        fail "Text1 holds '$(cat "$workdir/typed")' after pasting '$1'"
}

# Generate, then To ClipBoard; the clipboard must then hold exactly $1.
generate_and_copy_expect() {
    local expected=$1 what=$2
    own_clipboard
    click "${generate_button[@]}"
    click "${copy_button[@]}"
    await_clipboard_into "$workdir/markup"
    printf '%s' "$expected" >"$workdir/expected"
    if ! cmp -s "$workdir/expected" "$workdir/markup"; then
        echo "expected: $expected" >&2
        echo "got:      $(cat "$workdir/markup")" >&2
        fail "the copied markup differs ($what)"
    fi
    log "markup ok: $what"
}

# Waits until window $1 is no longer on screen.
await_unmapped() {
    local deadline=$((SECONDS + step_timeout))
    while timeout 5 xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; do
        ((SECONDS < deadline)) || fail "$2 is still open after ${step_timeout}s"
        sleep 0.1
    done
}

# Waits for a menu of the program to map and sets $menu to its window.
await_menu() {
    local deadline=$((SECONDS + step_timeout)) w height
    menu=""
    while [ -z "$menu" ]; do
        ((SECONDS < deadline)) || fail "no menu appeared ($1)"
        sleep 0.1
        # Without a window manager Qt marks no window as a menu; the menu is the
        # program's one window taller than a line besides the main window (a
        # tooltip may be showing too, one line high).
        for w in $(timeout 5 xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
            [ "$w" = "$wid" ] && continue
            height=$(timeout 5 xwininfo -id "$w" 2>/dev/null | sed -n 's/^ *Height: //p')
            if [ "${height:-0}" -ge 60 ]; then
                menu=$w
            fi
        done
    done
}

# Picks the open menu's enabled item number $1 with the arrow keys (a swatch's:
# 1 Copy colour, 2 Paste colour, 3 Choose colour…) and waits for it to close.
pick_menu_item() {
    local downs=() i
    for ((i = 0; i < $1; i++)); do downs+=(Down); done
    keys "${downs[@]}" Return
    await_unmapped "$menu" "$2"
}

# Right-clicks the control at window pixel ($1, $2) and picks item $3 of its menu.
context_menu() {
    xdo mousemove --window "$wid" "$1" "$2" click 3 || fail "right click at $1,$2 failed"
    await_menu "right click at $1,$2"
    pick_menu_item "$3" "the menu at $1,$2"
}

shot_count=0
# Prints the colour at window pixel ($1, $2) as RRGGBB, from a fresh screenshot.
pixel() {
    shot_count=$((shot_count + 1))
    local shot="$workdir/shot-$shot_count.png"
    timeout "$step_timeout" import -silent -window "$wid" "png:$shot" ||
        fail "could not take a screenshot"
    timeout 10 convert "$shot" -crop "1x1+$1+$2" -depth 8 txt:- |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1 | tr -d '#' | tr a-f A-F
}

swatches() { printf '%s %s' "$(pixel "${shape1[@]}")" "$(pixel "${shape2[@]}")"; }

# Waits until the two swatches show $1 and $2 (RRGGBB each).
expect_swatches() {
    local deadline=$((SECONDS + step_timeout)) got=""
    while ((SECONDS < deadline)); do
        got=$(swatches)
        [ "$got" = "$1 $2" ] && { log "swatches ok: $got ($3)"; return 0; }
        sleep 0.2
    done
    fail "swatches show '$got', expected '$1 $2' ($3)"
}

hex_min() { # two RRGGBB values -> the smaller value of each channel
    local out="" i a b
    for i in 0 2 4; do
        a=$((16#${1:i:2}))
        b=$((16#${2:i:2}))
        out+=$(printf '%02X' $((a < b ? a : b)))
    done
    printf '%s' "$out"
}

start_xvfb "$workdir" || fail "could not start Xvfb"
log "X server on $DISPLAY"
if [ -z "$wine_mode" ]; then
    # The accessibility bus, in the session this test runs in; its socket goes to the private
    # runtime directory the program gets too.
    mkdir -p "$workdir/run" && chmod 700 "$workdir/run"
    XDG_RUNTIME_DIR="$workdir/run" /usr/libexec/at-spi-bus-launcher --launch-immediately \
        >"$workdir/atspi.log" 2>&1 &
    bus_pid=$!
    deadline=$((SECONDS + step_timeout))
    until timeout 5 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "the accessibility bus did not start"
        sleep 0.1
    done
fi

# --- Typing, Generate and To ClipBoard ----------------------------------------
# Fresh window: every bar at 0, so each character is black. The emoji, the
# thumb with its skin tone and the space are one character each.
start_program

# 4,680 by 2,430 twips at one scale, never below 15 twips to a pixel.
((window_width >= 312)) || fail "window narrower than 312 pixels: ${window_width}x$window_height"
((window_height * 4680 >= (window_width - 1) * 2430 && window_height * 4680 <= (window_width + 1) * 2430)) ||
    fail "window out of proportion: ${window_width}x$window_height"

expect_swatches 000000 000000 "at start"
paste_text "Hi 😀👍🏽!"
click "${bold_box[@]}"
generate_and_copy_expect \
    '[b][color=#000000]H[/color][color=#000000]i[/color][color=#000000] [/color][color=#000000]😀[/color][color=#000000]👍🏽[/color][color=#000000]![/color][/b]' \
    "bold, black, emoji as one character each"

# "Copy compact markup" from the output box's menu, with everything selected:
# the whole compact form goes to the real clipboard, not the selection.
click "${text2[@]}"
keys ctrl+a
own_clipboard
context_menu "${text2[@]}" 2 # Copy, Copy compact markup, separator, Select All
await_clipboard_into "$workdir/compact"
printf '%s' '[b][color=#000000]Hi 😀👍🏽![/color][/b]' >"$workdir/expected"
cmp -s "$workdir/expected" "$workdir/compact" ||
    fail "the compact markup differs: $(cat "$workdir/compact")"
log "compact markup ok"

# The same again with the switch off: Generate replaces, it never appends.
click "${bold_box[@]}"
generate_and_copy_expect \
    '[color=#000000]H[/color][color=#000000]i[/color][color=#000000] [/color][color=#000000]😀[/color][color=#000000]👍🏽[/color][color=#000000]![/color]' \
    "second Generate, bold off"
program_alive "after copying"
stop_program

# --- The keyboard alone: bars, Return on each button, swap, Random -------------
start_program
# The focus starts on r1; Tab walks r1, g1, b1, r2, g2, b2. Down and Page Down
# raise a bar's value by 1 and 4, Up and Page Up lower it, End takes it to 256.
keys End                                    # r1 = 256
keys Tab Next Next Down                     # g1 = 9
keys Tab End                                # b1 = 256
keys Tab                                    # r2 stays 0
keys Tab Next Next Next Next Next Next Next Next Up Up   # g2 = 30
keys Tab End                                # b2 = 256
# 256 shows as 255.
expect_swatches FF09FF 001EFF "after moving the bars"

# Return, and the keypad's Enter, press the focused button and nothing else. In Text1 and on
# Bold Return does nothing, so To ClipBoard, pressed with it, copies an empty Text2. Tab
# walks Text1, Text2, Generate, Random, Bold, Italic, To ClipBoard, <>, and round to r1.
paste_text "a😀b🇫🇷c"
own_clipboard
keys Return Tab Tab Tab Tab Return          # Text1, then Bold
keys Tab Tab Return                         # To ClipBoard
await_clipboard_into "$workdir/empty"
[ ! -s "$workdir/empty" ] ||
    fail "Return in Text1 or on Bold did something: To ClipBoard copied '$(cat "$workdir/empty")'"
log "Return in Text1 and on Bold pressed nothing; on To ClipBoard it copied the empty Text2"
keys Tab KP_Enter                           # <>, by the keypad's Enter
expect_swatches 001EFF FF09FF "after Return on <>"

# Start (0, 30, 256), end (256, 9, 256) over five characters, two of them
# several units long: red rises 0..256 in steps of 51 from its start value,
# green falls 30..9 in steps of 4 skipping its start value, blue stays at 256,
# written FF. Bold is still clear: Return left it alone.
own_clipboard
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Return   # r1 … b2, Text1, Text2, Generate
keys Tab Tab Tab Tab Return                       # Random, Bold, Italic, To ClipBoard
await_clipboard_into "$workdir/markup"
expected='[color=#001AFF]a[/color][color=#3316FF]😀[/color][color=#6612FF]b[/color][color=#990EFF]🇫🇷[/color][color=#CC0AFF]c[/color]'
[ "$(cat "$workdir/markup")" = "$expected" ] ||
    fail "Return on Generate and To ClipBoard copied '$(cat "$workdir/markup")', expected '$expected'"
log "markup ok: gradient after the swap, Generate and To ClipBoard pressed with Return"

# Random sets all six bars in one press before the window repaints, so once both
# swatches have changed they show the new colours.
keys shift+Tab shift+Tab shift+Tab Return         # Italic, Bold, Random
deadline=$((SECONDS + step_timeout))
until read -r start_colour end_colour <<<"$(swatches)" &&
    [ "$start_colour" != 001EFF ] && [ "$end_colour" != FF09FF ]; do
    ((SECONDS < deadline)) || fail "the swatches did not change after Random: $start_colour $end_colour"
    sleep 0.1
done
log "Random gave start $start_colour, end $end_colour"

# One character: a falling channel gives its end value, a rising one its start
# value, a constant one its value; in each case the smaller of the two, which
# the swatches show exactly since Random stays within 0..255.
paste_text "😀"
generate_and_copy_expect \
    "[color=#$(hex_min "$start_colour" "$end_colour")]😀[/color]" \
    "one character after Random"
stop_program

# --- The worked example, and the "Error" box -------------------------------------
start_program
# Red 255 to blue 255 over "Hi", bold: End takes a bar to 256 and Up back to 255.
keys End Up Tab Tab Tab Tab Tab End Up      # r1 = 255, b2 = 255
expect_swatches FF0000 0000FF "red to blue"
paste_text "Hi"
click "${bold_box[@]}"
generate_and_copy_expect '[b][color=#800000]H[/color][color=#01007F]i[/color][/b]' \
    "the worked example"
# No text between two different colours: the "Error" box says why, and OK closes it.
click "${text1[@]}"
keys ctrl+a BackSpace
click "${generate_button[@]}"
error_box=$(xdo search --sync --limit 1 --onlyvisible --name '^Error$' 2>/dev/null | head -n 1) ||
    fail "no \"Error\" box after Generate with no text"
xdo windowfocus --sync "$error_box" || fail "the \"Error\" box did not take the focus"
keys Return
await_unmapped "$error_box" "the \"Error\" box"
program_alive "after the Error box"
log "no text: the \"Error\" box, closed with Return"
stop_program

if [ -n "$wine_mode" ]; then
    # What follows is X11's own: the colour dialog and drag and drop run Windows' modal
    # loops, which xdotool cannot drive through Wine, and openbox manages X11 clients. The
    # window's Qt tests cover the swatches under Wine.
    log "every check passed under Wine"
    exit 0
fi

# --- Colours by hex: the swatch's menu, the colour dialog, drag and drop ------
# Clicks the swatch at ($1, $2), expects the colour dialog titled $3, then
# either types $4 into its HTML box and presses Enter, or presses Esc.
swatch_dialog() {
    click "$1" "$2"
    local dialog
    dialog=$(xdo search --sync --limit 1 --onlyvisible --name "^$3\$" 2>/dev/null | head -n 1) ||
        fail "no dialog titled \"$3\" appeared"
    xdo windowfocus --sync "$dialog" || fail "the dialog did not take the keyboard focus"
    if [ "$4" = Escape ]; then
        keys Escape
    else
        keys alt+h ctrl+a
        xdo type --delay 60 -- "$4" || fail "typing into the dialog failed"
        keys Return
    fi
    await_unmapped "$dialog" "the dialog \"$3\""
}

start_program
# From the keyboard: on a focused bar the menu key and Shift+F10 open its side's
# swatch menu; Escape closes it and the bar keeps the focus (End sets it to 256).
offer_clipboard '#123456'
keys Menu
await_menu "the menu key on r1"
pick_menu_item 2 "the start swatch's menu opened with the menu key"
expect_swatches 123456 000000 "start colour pasted from the keyboard"
keys Menu
await_menu "the menu key on r1, again"
keys Escape
await_unmapped "$menu" "the menu closed with Escape"
keys End
expect_swatches FF3456 000000 "Escape gave the focus back to r1"
offer_clipboard 'lime'
keys Tab Tab Tab shift+F10
await_menu "Shift+F10 on r2"
pick_menu_item 2 "the end swatch's menu opened with Shift+F10"
expect_swatches FF3456 00FF00 "end colour pasted from the keyboard"

offer_clipboard $' #336699\t'
context_menu "${shape1[@]}" 2
expect_swatches 336699 00FF00 "start colour pasted with white space around it"
offer_clipboard 'ff8000' # six digits without "#"
context_menu "${shape2[@]}" 2
expect_swatches 336699 FF8000 "end colour pasted without #"

# Start (0x33, 0x66, 0x99), end (255, 128, 0) over three characters: red rises
# by 68 from its start value, green by 8, blue falls by 51 skipping its start value.
paste_text "abc"
generate_and_copy_expect \
    '[color=#336666]a[/color][color=#776E33]b[/color][color=#BB7600]c[/color]' \
    "gradient between two pasted colours"

swatch_dialog "${shape1[@]}" "Start colour" Escape
expect_swatches 336699 FF8000 "colour dialog cancelled"
swatch_dialog "${shape1[@]}" "Start colour" "#00C0A0"
expect_swatches 00C0A0 FF8000 "colour chosen in the dialog"

# Dragging the end swatch onto the start swatch. The colour square that follows the
# pointer shows over the start swatch once the program has moved the drag there, and only
# then is the button released: a release before the drag arrives would drop it elsewhere.
screen_pixel() { # window pixel ($1, $2) on the whole screen, where the drag square shows
    local shot="$workdir/screen.png" origin
    origin=$(xdo getwindowgeometry "$wid" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
    read -r -a origin <<<"$origin"
    timeout "$step_timeout" import -silent -window root "png:$shot" || fail "could not take a screenshot"
    timeout 10 convert "$shot" -crop "1x1+$((origin[0] + $1))+$((origin[1] + $2))" -depth 8 txt:- |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1 | tr -d '#' | tr a-f A-F
}
xdo mousemove --window "$wid" "${shape2[@]}" mousedown 1 || fail "could not press on the end swatch"
for step in 1 2 3 4 5 6 7 8; do
    x=$((shape2[0] - (shape2[0] - shape1[0]) * step / 8))
    xdo mousemove --window "$wid" "$x" "${shape1[1]}" || fail "could not move the pointer"
done
deadline=$((SECONDS + step_timeout))
until [ "$(screen_pixel "${shape1[@]}")" = FF8000 ]; do
    ((SECONDS < deadline)) || fail "the dragged colour never showed over the start swatch"
    sleep 0.1
done
xdo mouseup 1 || fail "could not release the mouse button"
expect_swatches FF8000 FF8000 "end colour dragged onto the start swatch"
if xdo search --onlyvisible --name '^(Start|End) colour$' >/dev/null 2>&1; then
    fail "a drag opened the colour dialog"
fi
stop_program

# --- Under a window manager: a window the task bar lists ----------------------
# openbox manages the window as a desktop would; what task bars and switchers go by is
# what the window asks for in its properties.
XDG_CONFIG_HOME="$workdir/wm-config" XDG_CACHE_HOME="$workdir/wm-cache" \
    openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
wm_pid=$!
deadline=$((SECONDS + step_timeout))
until timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    ((SECONDS < deadline)) || fail "openbox did not start: $(cat "$workdir/openbox.log")"
    sleep 0.1
done
start_program
# Framed, so the window manager has read the window and set its own state.
deadline=$((SECONDS + step_timeout))
until timeout 5 xprop -id "$wid" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; do
    ((SECONDS < deadline)) || fail "openbox did not frame the window"
    sleep 0.1
done
prop() { timeout 10 xprop -len 4000000 -id "$wid" "$1" || fail "could not read $1"; }
type=$(prop _NET_WM_WINDOW_TYPE)
transient=$(prop WM_TRANSIENT_FOR)
state=$(prop _NET_WM_STATE)
motif=$(prop _MOTIF_WM_HINTS)
hints=$(prop WM_NORMAL_HINTS)
icons=$(prop _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)') || true
log "$type; $transient; $state; $motif; $(grep -o 'm[a-z]* size: .*' <<<"$hints" | tr '\n' ';') $(tr "\n" " " <<<"$icons")"
grep -Eq '^_NET_WM_WINDOW_TYPE(\(ATOM\) = _NET_WM_WINDOW_TYPE_NORMAL|:  not found\.)$' <<<"$type" ||
    fail "not a normal window: $type"
grep -q 'not found' <<<"$transient" || fail "transient for another window: $transient"
if grep -Eq 'SKIP_TASKBAR|SKIP_PAGER' <<<"$state"; then
    fail "kept out of task bars or pagers: $state"
fi
# Motif hints: flags, functions, decorations. A title bar and close; no minimise or
# maximise button or function, and not "all but". Qt adds move and resize to the
# functions of any window that lists some; the size hints keep it at one size.
read -r -a mwm < <(sed -n 's/.* = //p' <<<"$motif" | tr -d ,)
((${#mwm[@]} >= 3 && (mwm[0] & 3) == 3)) || fail "no Motif hints: $motif"
((mwm[1] & 0x20 && !(mwm[1] & 0x19) && mwm[2] & 0x8 && !(mwm[2] & 0x61))) ||
    fail "the Motif hints offer more than close: $motif"
size="$window_width by $window_height"
grep -q "minimum size: $size" <<<"$hints" && grep -q "maximum size: $size" <<<"$hints" ||
    fail "the window can be resized: $hints"
# Its own icon, small for the title bar and large for switchers; openbox's stand-in for a
# window without one is a single 48 by 48 picture.
for icon_size in 16 32 256; do
    grep -qx "Icon ($icon_size x $icon_size)" <<<"$icons" ||
        fail "no ${icon_size}x$icon_size icon of its own: $(tr "\n" " " <<<"$icons")"
done
timeout "$step_timeout" import -silent -window root "png:$workdir/window-manager.png" || true
log "window hints ok: normal, not transient, in the task bar, close only, fixed size, own icon"
stop_program

log "all checks passed"
