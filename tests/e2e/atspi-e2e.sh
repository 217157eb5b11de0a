#!/usr/bin/env bash
# The program through the real accessibility bus: a private X server, a private D-Bus session,
# the AT-SPI bus and registry of at-spi2-core, and a client on the other side (atspi-e2e.py,
# through gi's Atspi) that does what a screen reader does.
#
# usage: atspi-e2e.sh PROGRAM
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 PROGRAM" >&2
    exit 2
fi
program=$1
test_name=atspi-e2e
export LC_ALL=C.UTF-8

workdir=$(mktemp -d "${TMPDIR:-/tmp}/huewright-atspi.XXXXXX")
fail() {
    printf '%s: FAIL: %s\n' "$test_name" "$*" >&2
    exit 1
}
# shellcheck source=display-lib.sh
source "$(dirname "$0")/display-lib.sh"

# Debian's python, which the gi bindings belong to, whatever python3 is first on the PATH.
python=/usr/bin/python3
require_tools Xvfb xdpyinfo xclip dbus-run-session dbus-send "$python" \
    /usr/libexec/at-spi-bus-launcher
"$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    fail "gi's Atspi is missing (run scripts/install-deps.sh)"

start_display
# The accessibility bus puts its socket in the runtime directory; ours is private.
export XDG_RUNTIME_DIR="$workdir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

timeout -k 10 180 dbus-run-session -- "$python" -u "$(dirname "$0")/atspi-e2e.py" "$program" \
    </dev/null || fail "the checks above failed"
