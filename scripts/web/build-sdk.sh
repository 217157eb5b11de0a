#!/usr/bin/env bash
# Builds what the web page's engine and its tests link against, for WebAssembly with Debian's
# Emscripten: ICU's common library with the trimmed data of scripts/icu.sh (whose source tree
# and native tools the Windows build shares), and GoogleTest. Runs on Debian 13.
#
# usage: build-sdk.sh SDK-DIR ICU-DIR
#   SDK-DIR is kept: each part is built again only when the versions, the compiler or the
#   options below differ from what its marker recorded, or when it did not finish.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
sdk="${1:?usage: build-sdk.sh SDK-DIR ICU-DIR}"
icu="${2:?usage: build-sdk.sh SDK-DIR ICU-DIR}"
jobs="$(nproc)"

say() { printf '\n==== web sdk: %s\n' "$*"; }

"$root/scripts/icu.sh" "$icu"

icu_options=(--disable-tests --disable-samples --disable-extras --disable-icuio --disable-layoutex)
compiler=$(emcc --version | head -n 1)
mkdir -p "$sdk/build"

# shellcheck source=scripts/stage.sh
source "$root/scripts/stage.sh"

# Static libraries: the common library, and the trimmed data as a library of its own, in C
# from ICU's genccode (ICU's data build writes objects for the machine's own processor).
icu_wasm() {
    local src="$sdk/build/icu-src" data="$sdk/build/icu-data" dat name
    rm -rf "$src" "$data" "$sdk/build/icu-wasm"
    cp -a "$icu/source/.." "$src"
    # ICU's configure knows no WebAssembly host: it builds there as on Linux.
    cp "$src/source/config/mh-linux" "$src/source/config/mh-unknown"
    mkdir -p "$sdk/build/icu-wasm" "$data" "$sdk/lib"
    cd "$sdk/build/icu-wasm"
    emconfigure "$src/source/configure" -q --host=wasm32-unknown-emscripten \
        --with-cross-build="$icu/native" --prefix="$sdk" --enable-static --disable-shared \
        --disable-tools --with-data-packaging=static "${icu_options[@]}" \
        CFLAGS="-O2 -fexceptions" CXXFLAGS="-O2 -fexceptions"
    mkdir -p lib bin # made by ICU's top-level build, which would build all of ICU
    emmake make -s -j "$jobs" -C common
    emmake make -s -C common install
    dat=$(ls "$icu"/trimmed/icudt*l.dat)
    name=$(basename "$dat" .dat)
    LD_LIBRARY_PATH="$icu/native/lib" "$icu/native/bin/genccode" -e "${name%l}" -d "$data" "$dat"
    emcc -O2 -I"$sdk/include" -c "$data/${name}_dat.c" -o "$data/data.o"
    emar rcs "$sdk/lib/libicudata.a" "$data/data.o"
}

googletest() {
    rm -rf "$sdk/build/googletest"
    emcmake cmake -S /usr/src/googletest -B "$sdk/build/googletest" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_GMOCK=OFF \
        -DCMAKE_CXX_FLAGS=-fexceptions -Dgtest_disable_pthreads=ON
    cmake --build "$sdk/build/googletest" -j "$jobs"
    cmake --install "$sdk/build/googletest"
}

icu_version=$(dpkg-query -W -f='${Version}' libicu-dev)
stage "$sdk" icu-wasm "$icu_version $compiler ${icu_options[*]} $(cat "$icu/.stage-data")" icu_wasm
stage "$sdk" googletest "$(dpkg-query -W -f='${Version}' googletest) $compiler" googletest
say "ready in $sdk"
