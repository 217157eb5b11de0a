#!/usr/bin/env bash
# Builds Huewright and opens its window, from a clean clone on a fresh Debian 12:
# installs what is missing, configures and builds the program only (in build-run/),
# then starts it. Without a display the program says so and how to use Xvfb.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${HUEWRIGHT_RUN_DIR:-$root/build-run}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DHUEWRIGHT_BUILD_UI=ON -DHUEWRIGHT_BUILD_TESTS=OFF -DHUEWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target huewright -j "$(nproc)"
exec "$out/app/huewright"
