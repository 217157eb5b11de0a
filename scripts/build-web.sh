#!/usr/bin/env bash
# Makes the web page from this checkout in build-web/, a folder for any static host with
# index.html at its top: the page's files from web/ and the engine compiled to WebAssembly
# with Debian 13's Emscripten. On a Debian 13 machine it builds right there; elsewhere (as
# root) it runs itself in the Debian 13 folder of scripts/test-debian13.sh and copies the
# folder out.
#
# ICU and GoogleTest for WebAssembly are built once into $HUEWRIGHT_WEB_DIR/sdk (default
# /var/tmp/huewright-web, inside the Debian 13 folder when run from elsewhere) from Debian's
# source packages, ICU's tools shared with the Windows build; the build tree is kept beside it.
#
# usage: build-web.sh [--test]
#   --test also runs the engine's test suite, compiled to WebAssembly, under Node.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-web"
test=false
[ "${1:-}" = --test ] && test=true

say() { printf '\n==== web: %s\n' "$*"; }
die() {
    printf 'build-web: %s\n' "$*" >&2
    exit 1
}

if ! grep -qs '^13\.' /etc/debian_version; then
    [ "$(id -u)" -eq 0 ] || die "run as root: it builds in a Debian 13 folder, which needs root"
    inside=/var/tmp/huewright-web/out
    "$root/scripts/test-debian13.sh" env HUEWRIGHT_WEB_OUT="$inside" scripts/build-web.sh "$@"
    rm -rf "$out"
    cp -r "${HUEWRIGHT_DEBIAN13_DIR:-/var/tmp/huewright-debian13}$inside" "$out"
    say "build-web/: $(du -sk --apparent-size "$out" | cut -f 1) KiB"
    exit 0
fi

work="${HUEWRIGHT_WEB_DIR:-/var/tmp/huewright-web}"
out="${HUEWRIGHT_WEB_OUT:-$out}"
build="$work/build"

say "installing missing packages"
"$root/scripts/install-deps.sh" web
"$root/scripts/web/build-sdk.sh" "$work/sdk" "${HUEWRIGHT_ICU_DIR:-/var/tmp/huewright-icu}"

say "building the engine and the page"
# A tree configured from another checkout starts afresh: CMake refuses it.
if [ -f "$build/CMakeCache.txt" ] &&
    ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$root" "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_FIND_ROOT_PATH="$work/sdk" -DICU_ROOT="$work/sdk" -DGTest_ROOT="$work/sdk" \
    -DHUEWRIGHT_BUILD_TESTS="$([ "$test" = true ] && echo ON || echo OFF)"
cmake --build "$build" -j "$(nproc)"

if [ "$test" = true ]; then
    say "the engine's tests under Node"
    ctest --test-dir "$build" --output-on-failure
fi

rm -rf "$out"
mkdir -p "$out"
cp -r "$build/web/site/." "$out/"
say "done: $(find "$out" -type f | wc -l) files, $(du -sk --apparent-size "$out" | cut -f 1) KiB"
