#!/usr/bin/env bash
# Without a display the program lets Qt say what it says (its logging rules and message
# pattern apply), then adds one line of its own naming the display, or how to run without
# one, and exits with status 1: never Qt's abort and its core dump.
#
# usage: no-display.sh PROGRAM
set -uo pipefail
program=$1
failed=0
run=$(mktemp -d "${TMPDIR:-/tmp}/huewright-no-display.XXXXXX")
trap 'rm -rf "$run"' EXIT
hint="without a screen, run: xvfb-run -a huewright"

# check WHAT QT-SAYS OURS [VAR=VALUE...]: standard error holds QT-SAYS, and its last line, the
# only one of ours, holds OURS.
check() {
    local what=$1 qt=$2 ours=$3 err rc last
    shift 3
    err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u DISPLAY -u QT_LOGGING_RULES \
        -u QT_MESSAGE_PATTERN XDG_RUNTIME_DIR="$run" "$@" timeout 60 "$program" 2>&1 >/dev/null)
    rc=$?
    last=$(tail -n 1 <<<"$err")
    if [ "$rc" -eq 1 ] && [[ "$err" == *"$qt"* ]] && [[ "$last" == "huewright: "*"$ours"* ]] &&
        [ "$(grep -c '^huewright: ' <<<"$err")" -eq 1 ]; then
        echo "ok   $what: $last"
    else
        printf 'FAIL %s: exit %s, wanted 1, Qt saying "%s" and last "%s"; stderr:\n%s\n' \
            "$what" "$rc" "$qt" "$ours" "$err"
        failed=1
    fi
}

#     what                  Qt says                        our line                          settings
check "nothing set"         'platform plugin "xcb"'        "neither WAYLAND_DISPLAY nor DISPLAY is set; $hint"
check "unreachable DISPLAY" 'platform plugin "xcb"'        'cannot open the display DISPLAY=":4711"; is its server running?' \
    DISPLAY=:4711
check "unreachable Wayland" 'platform plugin "wayland"'    'cannot open the display WAYLAND_DISPLAY="wl-nobody" (QT_QPA_PLATFORM="wayland")' \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wl-nobody DISPLAY=:4711
check "logging rules"       'Attempting to load Qt platform plugin "xcb"' 'DISPLAY=":4711"' \
    DISPLAY=:4711 'QT_LOGGING_RULES=qt.qpa.*=true'
check "message pattern"     'pattern qt.qpa.plugin: '    'DISPLAY=":4711"' \
    DISPLAY=:4711 'QT_MESSAGE_PATTERN=pattern %{category}: %{message}'
exit "$failed"
