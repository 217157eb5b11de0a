#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Huewright need; with the
# argument "windows", also those that cross-build and test the Windows release (Debian 13);
# with "web", only those that build the web page (Debian 13); with "browsers", also the
# browsers its tests run in.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    libicu-dev qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libcli11-dev
    # tests, benchmarks, fuzzing and static checks
    libgtest-dev libbenchmark-dev clang libclang-rt-dev clang-tidy clang-format cppcheck
    # the static checks take their file list from git
    git
    # the command-line program's table of invocations
    python3
    # the window's icon, rendered from its SVG
    librsvg2-bin
    # the real window under a virtual X server, driven from outside, and managed by openbox
    xvfb xauth xdotool xclip x11-utils imagemagick fonts-dejavu-core openbox
    # the desktop fonts the layout is checked against
    fonts-noto-core fonts-cantarell
    # the window as a Wayland client of weston inside Xvfb, its clipboard read with wl-paste
    weston qt6-wayland wl-clipboard
    # the window through the accessibility bus: the bus and registry, a private D-Bus
    # session (dbus-run-session, dbus-send) and the Atspi client in Debian's python
    at-spi2-core dbus-daemon dbus-bin python3-gi gir1.2-atspi-2.0
    # packaging and its validators
    dpkg-dev file desktop-file-utils appstream lintian
)
if [ "${1:-}" = web ]; then
    # The page alone (Debian 13): the engine for WebAssembly and its tests under Node, ICU's
    # and GoogleTest's sources (the machine's ICU's version names the source package), the
    # page's icons rendered from the SVG.
    packages=(
        cmake ninja-build emscripten nodejs dpkg-dev xz-utils g++ make python3
        libicu-dev googletest librsvg2-bin
    )
fi
if [ "${1:-}" = browsers ]; then
    # The page's tests in real browsers, driven by puppeteer-core under Node.
    packages+=(chromium firefox-esr nodejs)
fi
if [ "${1:-}" = windows ]; then
    packages+=(
        # the cross compilers, and Debian's source packages of Qt and ICU (dpkg-source)
        g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev xz-utils
        # the zip and the installer
        zip unzip nsis
        # the Windows programs, run for their tests, also in a Japanese locale; Wine's own
        # fonts stand in for Windows' (Tahoma as the dialog font, Marlett's title-bar glyphs)
        wine wine64 fonts-wine locales
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
