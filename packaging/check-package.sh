#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks what it holds and what it
# declares, unpacks it into a scratch root (never over the machine's own files),
# runs the unpacked command-line program on a worked example and the unpacked
# window program through the window test.
#
# usage: check-package.sh BUILD-DIR E2E-SCRIPT
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD-DIR E2E-SCRIPT" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
e2e=$2

# What the build says the product is called, its version and its id (cmake/facts.cmake).
export HUEWRIGHT_FACTS="$build/huewright-facts.env"
# shellcheck source=/dev/null
source "$HUEWRIGHT_FACTS"
app_id=$HUEWRIGHT_APP_ID
version=$HUEWRIGHT_VERSION
scratch=$(mktemp -d "${TMPDIR:-/tmp}/huewright-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fail() {
    printf 'package: FAIL: %s\n' "$*" >&2
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps readelf file desktop-file-validate appstreamcli gzip lintian; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done

timeout 300 cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    fail "cpack could not build the package"
}
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package: built $(basename "$deb")"

# The control fields a user's package manager relies on.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = huewright ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "the package's version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "architecture is '$(field Architecture)'"
[ "$(field Section)" = utils ] || fail "section is '$(field Section)'"
grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$' <<<"$(field Maintainer)" ||
    fail "maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] || fail "the description has no long part"
# Wayland sessions get the native window when Qt's Wayland plugin comes along.
grep -Eq "(^|, )qt6-wayland( |,|$)" <<<"$(field Recommends)" ||
    fail "Recommends lacks qt6-wayland: '$(field Recommends)'"

# Exactly these files, nothing else.
expected_files="./usr/bin/huewright
./usr/bin/huewright-cli
./usr/share/applications/$app_id.desktop
./usr/share/doc/huewright/changelog.gz
./usr/share/doc/huewright/copyright
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/lintian/overrides/huewright
./usr/share/man/man1/huewright-cli.1.gz
./usr/share/man/man1/huewright.1.gz
./usr/share/metainfo/$app_id.metainfo.xml"
actual_files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
# The one override is for a fortified program without checked calls (see
# packaging/CMakeLists.txt), and for nothing else.
overrides=./usr/share/lintian/overrides/huewright
fortify_override='huewright: hardening-no-fortify-functions [usr/bin/huewright-cli]'
if grep -qxF "$overrides" <<<"$actual_files" &&
    dpkg-deb --fsys-tarfile "$deb" | tar -xO "$overrides" | grep -v '^#' | grep -vxF "$fortify_override" >&2; then
    fail "the lintian overrides above hide more than a fortified program without checked calls"
fi
if [ "$actual_files" != "$expected_files" ]; then
    diff <(echo "$expected_files") <(echo "$actual_files") >&2 || true
    fail "the package holds other files than expected"
fi
# Everything readable by all, the program executable, nothing owned by the builder.
listing=$(dpkg-deb -c "$deb")
if grep -Ev '^(d|-)r[w-]xr-xr-x root/root|^-rw-r--r-- root/root' <<<"$listing" >&2; then
    fail "unexpected modes or owners above"
fi
grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/huewright$' <<<"$listing" ||
    fail "the program is not executable"
grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/huewright-cli$' <<<"$listing" ||
    fail "the command-line program is not executable"

# lintian as Debian would run it: no error, no warning, no unneeded section. The hardening
# flags go into release builds only (FORTIFY needs the optimiser), so only there is their
# absence a fault.
lintian_out=$(timeout 300 lintian --display-info --pedantic --fail-on none "$deb" 2>&1) || {
    printf '%s\n' "$lintian_out" >&2
    fail "lintian could not check the package"
}
[ -z "$lintian_out" ] || printf '%s\n' "$lintian_out"
faults='^[EW]: |binary-has-unneeded-section'
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ "$build_type" = Release ]; then
    faults+='|hardening-'
else
    echo "package: a $build_type build: lintian's hardening tags are checked on Release builds only"
fi
# Where GCC leaves a checked call (GCC 12), the override goes unused, and lintian says so.
unused='^I: huewright: unused-override hardening-no-fortify-functions \[usr/bin/huewright-cli\]( \[[^]]*\])?$'
if grep -Ev "$unused" <<<"$lintian_out" | grep -E "$faults" >&2; then
    fail "lintian reports the faults above"
fi
echo "package: lintian ok"

root="$scratch/root"
dpkg -x "$deb" "$root"
program="$root/usr/bin/huewright"

cli="$root/usr/bin/huewright-cli"
for binary in "$program" "$cli"; do
    file -b "$binary" | grep -q '^ELF' || fail "${binary#"$root"} is not an ELF program"
    # A run path into the build tree would make the program work here and nowhere else.
    if readelf -d "$binary" | grep -E 'RPATH|RUNPATH' >&2; then
        fail "${binary#"$root"} carries a library search path"
    fi
done
# Depends names what dpkg-shlibdeps finds the installed programs need (the library package
# names differ between Debian releases), and the window program's need of Qt's widgets.
mkdir -p "$scratch/shlibs/debian"
printf 'Source: huewright\n\nPackage: huewright\nArchitecture: any\n' >"$scratch/shlibs/debian/control"
computed=$(cd "$scratch/shlibs" && dpkg-shlibdeps -O -e"$program" -e"$cli" 2>"$scratch/shlibdeps.log") || {
    cat "$scratch/shlibdeps.log" >&2
    fail "dpkg-shlibdeps failed on the installed programs"
}
names() { sed 's/^shlibs:Depends=//; s/[,|]/\n/g; s/([^)]*)//g; s/ //g' | grep . | LC_ALL=C sort -u; }
computed_names=$(grep '^shlibs:Depends=' <<<"$computed" | names)
declared_names=$(field Depends | names)
[ -n "$computed_names" ] || fail "dpkg-shlibdeps computed no dependencies: $computed"
if [ "$computed_names" != "$declared_names" ]; then
    diff <(echo "$computed_names") <(echo "$declared_names") >&2 || true
    fail "Depends is not what dpkg-shlibdeps computes (above: computed, declared)"
fi
grep -Eq '^libc6$' <<<"$computed_names" || fail "Depends lacks the C library: $computed_names"
grep -Eq '^libqt6widgets6' <<<"$computed_names" || fail "Depends lacks Qt's widgets: $computed_names"

# The command line links no Qt: it must run where no desktop is installed.
if readelf -d "$cli" | grep -E 'NEEDED.*libQt' >&2; then
    fail "huewright-cli links Qt"
fi

# The man pages: gzip-compressed as Debian expects, a page of section 1 for each program.
for page in huewright huewright-cli; do
    man="$root/usr/share/man/man1/$page.1.gz"
    gzip -t "$man" || fail "the man page of $page is not valid gzip"
    zcat "$man" | grep -qx "\.TH ${page^^} 1 $HUEWRIGHT_RELEASE_DATE \"Huewright $version\" \"User Commands\"" ||
        fail "the man page of $page lacks its .TH line of version $version, $HUEWRIGHT_RELEASE_DATE"
    zcat "$man" | grep -q "^$page \\\\- " || fail "the man page of $page lacks its NAME line"
done

# The unpacked command-line program on the worked example, with its text from a pipe.
cli_expected='[b][color=#800000]H[/color][color=#01007F]i[/color][/b]'
cli_actual=$(echo Hi | env -i "$cli" -s 255,0,0 -e '#0000FF' -b) ||
    fail "the installed huewright-cli failed"
[ "$cli_actual" = "$cli_expected" ] || fail "the installed huewright-cli wrote '$cli_actual'"
[ "$(env -i "$cli" --version)" = "huewright-cli $version" ] ||
    fail "the installed huewright-cli says it is '$(env -i "$cli" --version)', not $version"
echo "package: the installed huewright-cli works"

# The desktop entry starts the installed program and names the installed icon;
# the metainfo launches that entry. Validated again as installed.
desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
grep -qx 'Exec=huewright' "$desktop" || fail "the desktop entry does not start huewright"
grep -qxF "Name=$HUEWRIGHT_NAME" "$desktop" || fail "the desktop entry names another program"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo launches another desktop entry"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo has another id"
# The newest release listed is this one; the changelog's newest entry says so too.
grep -m1 '<release ' "$metainfo" | grep -qF "<release version=\"$version\" date=\"$HUEWRIGHT_RELEASE_DATE\"/>" ||
    fail "the metainfo's newest release is not $version of $HUEWRIGHT_RELEASE_DATE: $(grep -m1 '<release ' "$metainfo")"
zcat "$root/usr/share/doc/huewright/changelog.gz" | head -n 1 | grep -q "^huewright ($version) " ||
    fail "the changelog's newest entry is not $version"
desktop-file-validate "$desktop" || fail "the installed desktop entry is invalid"
bash "$(dirname "${BASH_SOURCE[0]}")/validate-metainfo.sh" "$metainfo" >/dev/null ||
    fail "the installed metainfo is invalid"
echo "package: contents and fields ok"

# The window test on the unpacked program; the close helper sits in the build tree.
closer="$build/tests/e2e/close_window"
[ -x "$closer" ] || fail "the close helper is not built: $closer"
bash "$e2e" "$program" "$closer"
echo "package: the installed program passed the window test"
