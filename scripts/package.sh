#!/usr/bin/env bash
# Builds the Debian package on a fresh Debian 12 or 13: installs what is missing, configures
# and builds a release build with Debian's hardening flags, runs cpack and prints the .deb's
# path. The build tree goes to build-release/ (override with HUEWRIGHT_PACKAGE_DIR); extra
# arguments go to CMake's configure step.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${HUEWRIGHT_PACKAGE_DIR:-$root/build-release}"
jobs="$(nproc)"

"$root/scripts/install-deps.sh" >&2

# The flags Debian builds its own packages with, every hardening feature on (FORTIFY, the stack
# protector, RELRO, BINDNOW, and PIE, GCC's default): exported as Debian's tools export them.
# Without their -g and -O2, which would override the build type's, and without the
# file-prefix maps, which name the folder they were asked in.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath"
export DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
eval "$(dpkg-buildflags --export=sh)"
# CMake reads CXXFLAGS and LDFLAGS, not CPPFLAGS (FORTIFY's -D): those go with the compiler's,
# as debhelper passes them.
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
# CMake takes them from the environment only into a new cache.
rm -f "$out/CMakeCache.txt"

cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DHUEWRIGHT_BUILD_TESTS=OFF -DHUEWRIGHT_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$out" -j "$jobs" --target package-contents >&2
# Only this run's package in the output folder, so the path printed is the new one.
rm -f "$out"/package/*.deb
cpack --config "$out/CPackConfig.cmake" -B "$out/package" >/dev/null

debs=("$out"/package/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package: cpack did not produce exactly one .deb in $out/package" >&2
    exit 1
fi
echo "${debs[0]}"
