#!/usr/bin/env bash
# Whatever keeps the program from opening a display, it must say which cause it is, and what
# to do, in one line and exit 1, rather than let Qt abort with a core dump.
#
# usage: no-display.sh PROGRAM
set -uo pipefail
program="$1"
failed=0

scratch=$(mktemp -d "${TMPDIR:-/tmp}/huewright-no-display.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run" "$scratch/empty"
# Qt's plugin path cannot be emptied from the environment (QT_QPA_PLATFORM_PLUGIN_PATH only adds
# a directory), but a qt.conf beside a copy of the program replaces it: a machine without
# Qt's platform plugins.
mkdir "$scratch/bare"
cp "$program" "$scratch/bare/huewright"
printf '[Paths]\nPlugins = %s\n' "$scratch/empty" >"$scratch/bare/qt.conf"
bare="$scratch/bare/huewright"

# check WHAT EXPECTED-PART-OF-THE-LINE PROGRAM [VAR=VALUE...]
check() {
    local what=$1 expected=$2 exe=$3
    shift 3
    local err rc
    err="$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u DISPLAY XDG_RUNTIME_DIR="$scratch/run" \
        "$@" timeout 60 "$exe" 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] ||
        [[ "$err" != "huewright: "*"$expected"* ]]; then
        echo "FAIL $what: exit $rc, expected '$expected', stderr:"
        printf '%s\n' "$err"
        failed=1
    else
        echo "ok   $what: $err"
    fi
}

headless="without a screen use: xvfb-run -a huewright"
check "nothing set" "no display (neither WAYLAND_DISPLAY nor DISPLAY is set); start it from a desktop session, or $headless" "$program"
# A display number nobody serves.
check "unreachable DISPLAY" "cannot open the X display \":4711\" (is the X server running?); start it from a desktop session, or $headless" \
    "$program" DISPLAY=:4711
check "xcb chosen, DISPLAY unset" "no X display (DISPLAY is not set)" "$program" QT_QPA_PLATFORM=xcb
check "WAYLAND_DISPLAY to a missing socket" "no Wayland display: no compositor answers at $scratch/run/wl-nobody (is the compositor running?); start it" \
    "$program" WAYLAND_DISPLAY=wl-nobody
check "wayland chosen, absolute socket missing" "no compositor answers at $scratch/nowhere" \
    "$program" QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$scratch/nowhere"
check "wayland chosen, no XDG_RUNTIME_DIR" "no Wayland display (XDG_RUNTIME_DIR is not set)" \
    "$program" QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=
check "both sockets dead" "no compositor answers at $scratch/run/wl-nobody (is the compositor running?), and cannot open the X display \":4711\"" \
    "$program" WAYLAND_DISPLAY=wl-nobody DISPLAY=:4711
check "unknown platform" "Qt has no platform plugin \"nosuch\" (QT_QPA_PLATFORM; it has: " \
    "$program" QT_QPA_PLATFORM=nosuch
check "Wayland plugin missing" "Qt's Wayland platform plugin is not installed; install the package qt6-wayland" \
    "$bare" WAYLAND_DISPLAY=wl-nobody
check "Wayland plugin missing, chosen" "install the package qt6-wayland" \
    "$bare" QT_QPA_PLATFORM=wayland
check "X11 plugin missing" "Qt's X11 platform plugin (xcb) is not installed; reinstall the package libqt6gui6" \
    "$bare" DISPLAY=:4711
exit "$failed"
