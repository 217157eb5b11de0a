#!/usr/bin/env bash
# Builds the Debian package on a fresh Debian 12: installs what is missing,
# configures and builds a release build, runs cpack and prints the .deb's path.
# The build tree goes to build-release/ (override with HUEWRIGHT_PACKAGE_DIR).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${HUEWRIGHT_PACKAGE_DIR:-$root/build-release}"
jobs="$(nproc)"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DHUEWRIGHT_BUILD_TESTS=OFF -DHUEWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" -j "$jobs"
# Only this run's package in the output folder, so the path printed is the new one.
rm -f "$out"/package/*.deb
cpack --config "$out/CPackConfig.cmake" -B "$out/package" >/dev/null

debs=("$out"/package/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package: cpack did not produce exactly one .deb in $out/package" >&2
    exit 1
fi
echo "${debs[0]}"
