#!/usr/bin/env bash
# ICU for the cross builds (Windows and WebAssembly), made once and shared by both: Debian's
# source package of the machine's ICU, ICU's tools built for this machine (the cross builds
# run them), and ICU's data cut down to what the engine reads. Runs on Debian 13.
#
# usage: icu.sh DIR
#   Leaves DIR/source (ICU's source tree), DIR/native (its tools, built here) and
#   DIR/trimmed/icudt*l.dat (the trimmed data package, under the name ICU's build expects). Each part is made again only when ICU's version, the options
#   below or the data list differ from what its marker recorded, or when it did not finish.
set -euo pipefail

dir="${1:?usage: icu.sh DIR}"
jobs="$(nproc)"

say() { printf '\n==== icu: %s\n' "$*"; }

# Options every ICU build here shares; the cross builds add their own.
icu_options=(--disable-tests --disable-samples --disable-extras --disable-icuio --disable-layoutex)
# ICU's prebuilt data is 31 MB. The engine asks ICU for character breaks, and for white space,
# whose properties are built into the common library, so the character rules and the
# resource bundles that lead to them are all it keeps: a few kilobytes.
icu_data_items=(brkitr/res_index.res brkitr/root.res brkitr/char.brk)
version=$(dpkg-query -W -f='${Version}' libicu-dev)

# shellcheck source=scripts/stage.sh
source "$(dirname "${BASH_SOURCE[0]}")/stage.sh"

# Debian's source packages need apt's source entries, for the mirror already in use.
source_entries() {
    grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ &&
        return
    if [ -s /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/huewright-src.list
    fi
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed 's/^Types:.*/Types: deb-src/' "$f" >"/etc/apt/sources.list.d/huewright-src-$(basename "$f")"
    done
    apt-get update -q
}

sources() {
    source_entries
    rm -rf "$dir/src" "$dir/source"
    mkdir -p "$dir/src"
    (cd "$dir/src" && apt-get source -q --only-source "icu=$version")
    ln -s "$(ls -d "$dir"/src/icu-*/source)" "$dir/source"
}

native() {
    rm -rf "$dir/native"
    mkdir -p "$dir/native"
    cd "$dir/native"
    "$dir/source/configure" -q "${icu_options[@]}"
    make -s -j "$jobs"
}

# The root break rules name every other rule and dictionary; only "char" is ever opened.
data() {
    local items="$dir/data-items" full
    full=$(ls "$dir"/source/data/in/icudt*l.dat)
    rm -rf "$items" "$dir/trimmed"
    mkdir -p "$items/files" "$dir/trimmed"
    printf '%s\n' "${icu_data_items[@]}" >"$items/list.txt"
    LD_LIBRARY_PATH="$dir/native/lib" "$dir/native/bin/icupkg" -d "$items/files" \
        -x "$items/list.txt" "$full"
    LD_LIBRARY_PATH="$dir/native/lib" "$dir/native/bin/icupkg" --ignore-deps -s "$items/files" \
        -a "$items/list.txt" new "$dir/trimmed/$(basename "$full")"
}

mkdir -p "$dir"
stage "$dir" sources "$version" sources
stage "$dir" native "$version ${icu_options[*]}" native
stage "$dir" data "$version ${icu_data_items[*]}" data
