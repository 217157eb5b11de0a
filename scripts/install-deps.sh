#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Huewright need.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    libicu-dev qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libcli11-dev
    # tests, benchmarks, fuzzing and static checks
    libgtest-dev libbenchmark-dev clang libclang-rt-dev clang-tidy clang-format cppcheck
    # the command-line program's table of invocations
    python3
    # the real window under a virtual X server, driven from outside
    xvfb xauth xdotool xclip x11-utils imagemagick fonts-dejavu-core
    # the desktop fonts the layout is checked against
    fonts-noto-core fonts-cantarell
    # packaging and its validators
    dpkg-dev file desktop-file-utils appstream
)

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
