#!/usr/bin/env bash
# Makes the Windows release from this checkout, in build-windows/:
#   Huewright-<version>-win64.zip        a portable folder: both programs and what they need
#   Huewright-<version>-win64-setup.exe  an installer for the current user
# It cross-builds on Debian 13 with Debian's MinGW-w64. On a Debian 13 machine it builds right
# there; elsewhere (as root) it runs itself in the Debian 13 folder of scripts/test-debian13.sh
# and copies the two files out.
#
# The Windows Qt, ICU and GoogleTest are built once from Debian's source packages into
# $HUEWRIGHT_WINDOWS_DIR/sdk (default /var/tmp/huewright-windows, inside the Debian 13 folder
# when run from elsewhere) and reused; the programs' build tree is kept beside it, so after a
# change only the programs are built again.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-windows"

say() { printf '\n==== windows: %s\n' "$*"; }
die() {
    printf 'build-windows: %s\n' "$*" >&2
    exit 1
}

if ! grep -qs '^13\.' /etc/debian_version; then
    [ "$(id -u)" -eq 0 ] || die "run as root: it builds in a Debian 13 folder, which needs root"
    inside=/var/tmp/huewright-windows/out
    "$root/scripts/test-debian13.sh" env HUEWRIGHT_WINDOWS_OUT="$inside" scripts/build-windows.sh
    rm -rf "$out"
    mkdir -p "$out"
    cp "${HUEWRIGHT_DEBIAN13_DIR:-/var/tmp/huewright-debian13}$inside"/Huewright-* "$out/"
    say "$(cd "$out" && ls -l Huewright-*)"
    exit 0
fi

work="${HUEWRIGHT_WINDOWS_DIR:-/var/tmp/huewright-windows}"
out="${HUEWRIGHT_WINDOWS_OUT:-$out}"
jobs="$(nproc)"
triplet=x86_64-w64-mingw32

say "installing missing packages"
"$root/scripts/install-deps.sh" windows
# Qt and ICU come as Debian source packages: apt needs their source entries.
if ! grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    say "adding source entries for the Debian mirror in use"
    if [ -s /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/huewright-src.list
    fi
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed 's/^Types:.*/Types: deb-src/' "$f" >"/etc/apt/sources.list.d/huewright-src-$(basename "$f")"
    done
    apt-get update -q
fi

"$root/scripts/windows/build-sdk.sh" "$work/sdk" "${HUEWRIGHT_ICU_DIR:-/var/tmp/huewright-icu}"

say "building the programs"
build="$work/build"
# A tree configured from another checkout starts afresh: CMake refuses it.
if [ -f "$build/CMakeCache.txt" ] &&
    ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$root" "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$work/sdk" -DCMAKE_PREFIX_PATH=/ \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DHUEWRIGHT_BUILD_BENCH=OFF -DHUEWRIGHT_WINDOWS_LICENCES="$work/sdk/licences"
cmake --build "$build" -j "$jobs"

# The product's name, version, id and publisher, as the build states them.
# shellcheck source=/dev/null
source "$build/huewright-facts.env"
version=$HUEWRIGHT_VERSION
name="Huewright-$version-win64"
stage="$work/stage/$name"
say "the portable folder $name"
rm -rf "$work/stage"
cmake --install "$build" --prefix "$stage"
find "$stage" -iname '*.dll' -o -iname '*.exe' | xargs $triplet-strip --strip-unneeded
cp "$build/app/huewright-resources/icon.ico" "$work/stage/huewright.ico"

mkdir -p "$out"
rm -f "$out/$name.zip" "$out/$name-setup.exe"
(cd "$work/stage" && zip -q -r -9 -X "$out/$name.zip" "$name")

say "the installer"
# It packs the folder whole; its uninstaller removes the files the install recorded, then the
# folders that held them, deepest first.
unfiles="$work/stage/unfiles.nsh"
sed "s|^$stage/||" "$build/install_manifest.txt" | LC_ALL=C sort >"$work/stage/installed"
{
    sed 's|/|\\|g; s|.*|Delete "$INSTDIR\\&"|' "$work/stage/installed"
    awk -F/ '{ d = $1; for (i = 2; i < NF; i++) { print d; d = d "/" $i } if (NF > 1) print d }' \
        "$work/stage/installed" | LC_ALL=C sort -ru | sed 's|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
} >"$unfiles"
size_kb=$(du -sk "$stage" | cut -f 1)
makensis -V2 -DNAME="$HUEWRIGHT_NAME" -DVERSION="$version" -DPUBLISHER="$HUEWRIGHT_PUBLISHER" \
    -DAPP_ID="$HUEWRIGHT_APP_ID" -DYEAR="$HUEWRIGHT_COPYRIGHT_YEAR" -DSTAGE="$stage" -DUNFILES="$unfiles" \
    -DSIZE_KB="$size_kb" -DOUTFILE="$out/$name-setup.exe" "$root/packaging/windows/huewright.nsi"

say "done: $(cd "$out" && ls -l "$name.zip" "$name-setup.exe")"
