#!/usr/bin/env bash
# Builds what the Windows programs link against, for x86_64-w64-mingw32, from Debian's own
# source packages: Qt (Core, Gui, Widgets and Test, with the Windows platform and style
# plugins), ICU's common library with its data cut down to what the engine reads,
# GoogleTest, and CLI11's headers. Runs on Debian 13, whose Qt tools (moc, rcc, uic) the
# Windows Qt is built with, so the two must be the same version.
#
# usage: build-sdk.sh SDK-DIR ICU-DIR
#   SDK-DIR is kept: each part is built again only when the source versions, the compiler or
#   its options below differ from what its marker recorded, or when it did not finish.
#   ICU-DIR holds ICU's source tree, native tools and trimmed data (scripts/icu.sh), which
#   the web page's build shares.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
sdk="${1:?usage: build-sdk.sh SDK-DIR ICU-DIR}"
icu="${2:?usage: build-sdk.sh SDK-DIR ICU-DIR}"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="$(nproc)"
triplet=x86_64-w64-mingw32

say() { printf '\n==== windows sdk: %s\n' "$*"; }

# No network, SQL, OpenGL, D-Bus, printing, XML or ICU (Qt on Windows asks the system), and
# only the image formats built into Qt Gui: what the window uses and the tests need.
qt_options=(
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_GENERATE_SBOM=OFF -DFEATURE_optimize_size=ON
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_icu=OFF -DFEATURE_freetype=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF -DFEATURE_zstd=OFF
    -DFEATURE_tabletevent=OFF # Debian's source leaves out the Wintab header
)
icu_options=(--disable-tests --disable-samples --disable-extras --disable-icuio --disable-layoutex)

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
icu_version=$(dpkg-query -W -f='${Version}' libicu-dev)
compiler=$($triplet-g++-posix --version | head -n 1)
mkdir -p "$sdk/src" "$sdk/build"

# shellcheck source=scripts/stage.sh
source "$root/scripts/stage.sh"

sources() {
    cd "$sdk/src"
    rm -rf ./*
    apt-get source -q --only-source "qt6-base=$qt_version"
}

# The cross build runs ICU's own tools, built for this machine, and packs the trimmed data.
icu_cross() {
    local native="$icu/native" src="$sdk/build/icu-src"
    rm -rf "$src" "$sdk/build/icu-cross"
    cp -a "$icu/source/.." "$src"
    cp "$icu"/trimmed/icudt*l.dat "$src/source/data/in/"
    # ICU's own build unpacks the package again, and would check it again.
    sed -i 's:/icupkg -d :/icupkg --ignore-deps -d :' "$src/source/data/Makefile.in"
    grep -q 'icupkg --ignore-deps -d ' "$src/source/data/Makefile.in"
    mkdir -p "$sdk/build/icu-cross"
    cd "$sdk/build/icu-cross"
    "$src/source/configure" -q --host=$triplet --with-cross-build="$native" --prefix="$sdk" \
        --disable-tools --with-data-packaging=library "${icu_options[@]}" \
        CC=$triplet-gcc-posix CXX=$triplet-g++-posix CFLAGS=-O2 CXXFLAGS=-O2 LDFLAGS=-s
    make -s -j "$jobs"
    make -s install
}

googletest() {
    rm -rf "$sdk/build/googletest"
    cmake -S /usr/src/googletest -B "$sdk/build/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_GMOCK=OFF
    cmake --build "$sdk/build/googletest" -j "$jobs"
    cmake --install "$sdk/build/googletest"
}

# Header-only: the same headers as the Linux build, with their CMake package.
cli11() {
    mkdir -p "$sdk/include" "$sdk/share/cmake"
    cp -r /usr/include/CLI "$sdk/include/"
    cp -r /usr/share/cmake/CLI11 "$sdk/share/cmake/"
}

# The licence texts of what ships beside our programs: Qt and the libraries built into it,
# ICU, and the compiler's and MinGW's runtime DLLs.
licences() {
    local to="$sdk/licences" qt_src icu_src_dir
    qt_src=$(ls -d "$sdk"/src/qt6-base-*)
    icu_src_dir="$icu/source/.."
    rm -rf "$to"
    mkdir -p "$to/qt-bundled"
    cp "$qt_src/LICENSES/LGPL-3.0-only.txt" "$to/Qt-LGPL-3.0.txt"
    cp "$qt_src/LICENSES/GPL-3.0-only.txt" "$to/GPL-3.0.txt"
    local lib file
    for lib in double-conversion harfbuzz-ng libpng md4c pcre2 zlib; do
        for file in "$qt_src/src/3rdparty/$lib"/{LICENSE,COPYING,LICENCE}*; do
            [ -f "$file" ] && cp "$file" "$to/qt-bundled/$lib-$(basename "$file").txt"
        done
    done
    cp "$icu_src_dir/LICENSE" "$to/ICU-LICENSE.txt"
    # Debian's copyright file of the compiler holds the exception's text among much else.
    sed -n '/^GCC RUNTIME LIBRARY EXCEPTION/,/^requirements of the license of GCC/p' \
        /usr/share/doc/gcc-mingw-w64-base/copyright >"$to/GCC-runtime-library-exception.txt"
    grep -q 'requirements of the license of GCC' "$to/GCC-runtime-library-exception.txt"
    cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$to/MinGW-w64-runtime.txt"
}

qt() {
    rm -rf "$sdk/build/qt"
    cmake -S "$(ls -d "$sdk"/src/qt6-base-*)" -B "$sdk/build/qt" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sdk" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${qt_options[@]}"
    cmake --build "$sdk/build/qt" -j "$jobs"
    cmake --install "$sdk/build/qt"
}

"$root/scripts/icu.sh" "$icu"
versions="qt6-base $qt_version, icu $icu_version"
stage "$sdk" sources "$versions" sources
stage "$sdk" icu-cross "$versions $compiler ${icu_options[*]} $(cat "$icu/.stage-data")" icu_cross
stage "$sdk" googletest "$(dpkg-query -W -f='${Version}' googletest) $compiler" googletest
stage "$sdk" cli11 "$(dpkg-query -W -f='${Version}' libcli11-dev)" cli11
stage "$sdk" licences "$versions $compiler" licences
stage "$sdk" qt "$versions $compiler ${qt_options[*]}" qt
say "ready in $sdk"
