#!/usr/bin/env bash
# Tests the Windows release under Wine, on Debian 13 (on any other machine, as root, it runs
# itself in the Debian 13 folder of scripts/test-debian13.sh):
#   1. scripts/build-windows.sh builds the programs, their tests, the zip and the installer;
#   2. the engine's and the window's tests and the command-line table run under Wine;
#   3. the real huewright.exe is driven on a virtual X server (tests/e2e/huewright-e2e.sh);
#   4. the portable zip, unpacked into a clean Wine prefix, starts with nothing else on the
#      DLL path;
#   5. the installer installs silently into a clean prefix over an older version, the
#      installed program starts, a second install replaces the first, and the uninstaller
#      removes it all.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if ! grep -qs '^13\.' /etc/debian_version; then
    [ "$(id -u)" -eq 0 ] || {
        echo "test-windows: run as root: it runs in a Debian 13 folder, which needs root" >&2
        exit 1
    }
    exec "$root/scripts/test-debian13.sh" scripts/test-windows.sh
fi

work="${HUEWRIGHT_WINDOWS_DIR:-/var/tmp/huewright-windows}"
# The source tree may be read-only here: the release goes beside the build.
export HUEWRIGHT_WINDOWS_OUT="${HUEWRIGHT_WINDOWS_OUT:-$work/out}"
build="$work/build"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/huewright-windows-test.XXXXXX")
xvfb_pid=""

step() { printf '\n==== windows: %s\n' "$*"; }
fail() {
    printf 'test-windows: FAIL: %s\n' "$*" >&2
    exit 1
}

cleanup() {
    local status=$?
    # Every Wine server this script started, and the programs it ran.
    for prefix in "$scratch"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$root/scripts/build-windows.sh"

# The product's facts as the build states them (cmake/facts.cmake); the end-to-end test reads
# them too.
export HUEWRIGHT_FACTS="$build/huewright-facts.env"
# shellcheck source=/dev/null
source "$HUEWRIGHT_FACTS"
version=$HUEWRIGHT_VERSION
name="Huewright-$version-win64"
title=$HUEWRIGHT_NAME
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko to offer

# A virtual X server for everything with a window.
# shellcheck source=../tests/e2e/xvfb.sh
source "$root/tests/e2e/xvfb.sh"
start_xvfb "$scratch" 1024x768x24 || fail "no virtual X server"

# new_prefix NAME: a fresh Wine prefix of our own, made ready before anything is timed in it.
new_prefix() {
    export WINEPREFIX="$scratch/prefix-$1"
    timeout 300 wineboot --init >/dev/null 2>&1 || fail "could not make the Wine prefix $1"
    timeout 120 wineserver -w
}

# Waits for the window and returns its X id in $wid.
await_window() {
    wid=$(timeout 60 xdotool search --sync --limit 1 --onlyvisible --name "^${title}\$" | head -n 1) ||
        true
    [ -n "$wid" ] || fail "no window named \"$title\" appeared ($1)"
}

# Closes every window of the program, as the user's close button does, and waits for its end.
close_program() {
    timeout 60 wine taskkill /im huewright.exe >/dev/null 2>&1 || true
    timeout 60 wineserver -w || fail "the program did not end after its window was closed ($1)"
}

# The command-line table runs in a Japanese locale too, Windows code page 932.
if ! locale -a | grep -qix 'ja_JP.utf8'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

step "engine, window and command-line tests under Wine"
new_prefix tests
# The Windows Qt, ICU and the compiler's DLLs, as in the release folder.
export WINEPATH="$work/sdk/bin;$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)");/usr/x86_64-w64-mingw32/lib"
QT_PLUGIN_PATH=$(winepath -w "$work/sdk/plugins")
export QT_PLUGIN_PATH
# One at a time: the Qt tests share the one Windows clipboard of the Wine session.
ctest --test-dir "$build" --output-on-failure
unset WINEPATH QT_PLUGIN_PATH

step "the end-to-end test drives huewright.exe"
# A prefix of its own: Wine shares the clipboard with the X server its session started on,
# and the test starts an X server of its own.
new_prefix e2e
HUEWRIGHT_E2E_WINE=1 bash "$root/tests/e2e/huewright-e2e.sh" "$work/stage/$name/huewright.exe"

step "display scaling: 100 %, 125 %, 150 % and 200 %"
new_prefix scaling
program="$work/stage/$name/huewright.exe"
base_width=0
for dpi in 96 120 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    timeout 120 wineserver -w
    wine "$program" >"$scratch/scaling.log" 2>&1 &
    await_window "at $dpi dpi"
    geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
    width=${geometry%x*}
    timeout 20 import -silent -window "$wid" "$scratch/scale-$dpi.png" || true
    close_program "at $dpi dpi"
    ((base_width > 0)) || base_width=$width
    # The whole layout grows with the scale (its captions fit at every font size).
    ((width * 96 * 100 >= base_width * dpi * 95)) ||
        fail "at $dpi dpi the window is $geometry, not $((dpi * 100 / 96)) % of $base_width pixels wide"
    echo "$((dpi * 100 / 96)) %: $geometry"
done
[ -z "${HUEWRIGHT_WINDOWS_SHOTS:-}" ] || cp "$scratch"/scale-*.png "$HUEWRIGHT_WINDOWS_SHOTS/"

step "the portable zip in a clean prefix"
new_prefix zip
unzip -q "$HUEWRIGHT_WINDOWS_OUT/$name.zip" -d "$scratch/zip"
got=$(timeout 60 wine "$scratch/zip/$name/huewright-cli.exe" --version | tr -d '\r') || true
[ "$got" = "huewright-cli $version" ] || fail "huewright-cli.exe from the zip said: $got"
wine "$scratch/zip/$name/huewright.exe" >"$scratch/zip.log" 2>&1 &
await_window "started from the zip"
close_program "zip"
echo "the zip's programs start with nothing else on the DLL path"

step "the installer in a clean prefix"
new_prefix setup
setup="$HUEWRIGHT_WINDOWS_OUT/$name-setup.exe"
user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
installed="$user_dir/AppData/Local/Programs/Huewright"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$title.lnk"
key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$HUEWRIGHT_APP_ID"
listing() { (cd "$1" && find . -type f | sort); }
# What the installer must put down: exactly the portable folder, and its uninstaller.
(listing "$scratch/zip/$name" && echo ./uninstall.exe) | sort >"$scratch/expected-files"

# An older version first, with a file this one no longer has: the new one must replace it.
mkdir -p "$scratch/older"
cp -r "$work/stage/$name" "$work/stage/huewright.ico" "$scratch/older/"
echo "only in 0.9.0" >"$scratch/older/$name/old-only.txt"
{ cat "$work/stage/unfiles.nsh" && echo 'Delete "$INSTDIR\old-only.txt"'; } >"$scratch/older/unfiles.nsh"
makensis -V1 -DNAME="$title" -DVERSION=0.9.0 -DPUBLISHER="$HUEWRIGHT_PUBLISHER" \
    -DAPP_ID="$HUEWRIGHT_APP_ID" -DYEAR="$HUEWRIGHT_COPYRIGHT_YEAR" -DSTAGE="$scratch/older/$name" \
    -DUNFILES="$scratch/older/unfiles.nsh" -DSIZE_KB=1 -DOUTFILE="$scratch/older/setup.exe" \
    "$root/packaging/windows/huewright.nsi"
timeout 300 wine "$scratch/older/setup.exe" /S || fail "the older version's silent install failed"
timeout 120 wineserver -w
[ -f "$installed/old-only.txt" ] || fail "the older version did not install its own file"

for round in first second; do
    timeout 300 wine "$setup" /S || fail "the $round silent install failed"
    timeout 120 wineserver -w
    listing "$installed" >"$scratch/installed-files" || true
    diff "$scratch/expected-files" "$scratch/installed-files" ||
        fail "after the $round install the folder differs from the portable one"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut: $shortcut"
registration=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in "DisplayName.*$title" "DisplayVersion.*$version" "Publisher.*$HUEWRIGHT_PUBLISHER" \
    "DisplayIcon.*huewright.exe" "UninstallString.*uninstall.exe" "QuietUninstallString.*/S"; do
    grep -q "$value" <<<"$registration" || fail "the registration lacks $value: $registration"
done
wine "$installed/huewright.exe" >"$scratch/installed.log" 2>&1 &
await_window "installed"
close_program "installed"
# Neither the installer nor the program keeps settings: the registration is the only key.
keys=$(grep -il 'huewright' "$WINEPREFIX"/*.reg | xargs grep -ih '^\[.*huewright' || true)
[ "$(wc -l <<<"$keys")" -eq 1 ] || fail "registry keys besides the registration: $keys"

# The uninstaller copies itself away and returns at once; what it removes is waited for.
timeout 120 wine "$installed/uninstall.exe" /S || fail "the silent uninstall failed"
timeout 120 wineserver -w
for _ in $(seq 100); do
    [ -e "$installed" ] || break
    sleep 0.2
done
[ ! -e "$installed" ] || fail "the uninstaller left: $(listing "$installed" | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the uninstaller left the shortcut"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left the registration"
leftovers=$(find "$WINEPREFIX/drive_c" -iname '*huewright*' | grep -v '/Temp/' || true)
[ -z "$leftovers" ] || fail "files left after uninstalling: $leftovers"
echo "installed over 0.9.0, started, installed again, and removed without a trace"

step "every Windows check passed"
