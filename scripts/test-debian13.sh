#!/usr/bin/env bash
# Runs the project's test command (scripts/test.sh) on Debian 13 (trixie), as root, in a
# minimal Debian 13 folder made with debootstrap: the folder gets the project's packages
# through scripts/install-deps.sh, then builds and runs every test there.
#
# The folder lives outside the source tree, in /var/tmp/huewright-debian13 unless
# HUEWRIGHT_DEBIAN13_DIR says otherwise, and is reused once a bootstrap has finished in it;
# its build trees stay inside it (/var/tmp/huewright-build within the folder). The source
# tree is mounted into it read-only at its own path, so the folder never changes it.
# HUEWRIGHT_FUZZ_SECONDS and HUEWRIGHT_REPEAT are passed on to the test command.
#
# usage: test-debian13.sh [COMMAND ARGUMENT...]
#   With a command, runs that inside instead (from the source tree), e.g. one ctest test.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${HUEWRIGHT_DEBIAN13_DIR:-/var/tmp/huewright-debian13}"
done_marker="$dir/.huewright-bootstrapped"
started_marker="$dir/.huewright-bootstrapping"
build_inside=/var/tmp/huewright-build

say() { printf '\n==== debian13: %s\n' "$*"; }
die() {
    printf 'debian13: %s\n' "$*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || die "run as root: debootstrap, chroot and mount need it"
case "$dir" in
/*) ;;
*) die "HUEWRIGHT_DEBIAN13_DIR must be an absolute path: $dir" ;;
esac
dir="${dir%/}"
case "$dir/" in
"$root"/*) die "the Debian 13 folder must lie outside the source tree: $dir" ;;
esac

# The same Debian mirror the machine itself uses, since that is the one known to be reachable.
host_mirror() {
    local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    local f
    for f in "${files[@]}"; do
        [ -f "$f" ] || continue
        grep -v '^[[:space:]]*#' "$f" | grep -oE '(https?://[^ ]+/debian)/?( |$)' | tr -d ' ' || true
    done | head -n 1 | sed 's:/$::'
}
mirror="${HUEWRIGHT_DEBIAN_MIRROR:-$(host_mirror)}"
mirror="${mirror:-http://deb.debian.org/debian}"

# Each run gets its own mount namespace: its mounts are invisible to the machine and to any
# other run in the same folder (the Windows build and a test run may share it), and they
# vanish with the run, even a killed one.
if [ -z "${HUEWRIGHT_DEBIAN13_PRIVATE:-}" ]; then
    HUEWRIGHT_DEBIAN13_PRIVATE=1 exec unshare --mount --propagation private "$0" "$@"
fi

if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap ||
        { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            --no-install-recommends debootstrap; }
fi

if [ -f "$done_marker" ]; then
    say "reusing $dir"
else
    if [ -f "$started_marker" ]; then
        say "removing the unfinished bootstrap in $dir"
        rm -rf --one-file-system "$dir"
    elif [ -e "$dir" ] && [ -n "$(ls -A "$dir")" ]; then
        die "$dir exists, is not empty and is not a folder this script made; remove it or choose another"
    fi
    say "bootstrapping Debian 13 into $dir from $mirror"
    mkdir -p "$dir"
    touch "$started_marker"
    debootstrap --variant=minbase trixie "$dir" "$mirror"
    rm -f "$started_marker"
    touch "$done_marker"
fi

# Packages installed into the folder must not start their services on the machine.
if [ ! -e "$dir/usr/sbin/policy-rc.d" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$dir/usr/sbin/policy-rc.d"
    chmod 755 "$dir/usr/sbin/policy-rc.d"
fi

mounted=()
cleanup() {
    local status=$?
    # Whatever this run left running inside (a virtual X server, a bus) would hold the mounts;
    # another run's processes live in another mount namespace and are left alone.
    local p ns
    ns=$(readlink /proc/self/ns/mnt)
    for p in /proc/[0-9]*; do
        if [ "$(readlink "$p/root" 2>/dev/null)" = "$dir" ] &&
            [ "$(readlink "$p/ns/mnt" 2>/dev/null)" = "$ns" ]; then
            kill -KILL "${p#/proc/}" 2>/dev/null || true
        fi
    done
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
            echo "debian13: could not unmount ${mounted[i]}" >&2
    done
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_in() { # mount_in TARGET MOUNT-ARGUMENTS...
    local target="$dir$1"
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs -o mode=1777 tmpfs
mount_in /tmp -t tmpfs -o mode=1777 tmpfs
# The source tree at its own path, read-only; a git worktree also needs its repository.
mount_in "$root" --bind "$root"
mount -o remount,bind,ro "$dir$root"
git_dir=$(git -C "$root" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
if [ -n "$git_dir" ] && [ "${git_dir#"$root"/}" = "$git_dir" ]; then
    mount_in "$git_dir" --bind "$git_dir"
    mount -o remount,bind,ro "$dir$git_dir"
fi
cp -L /etc/resolv.conf "$dir/etc/resolv.conf"

command=("$@")
[ ${#command[@]} -gt 0 ] || command=(scripts/test.sh)
say "running ${command[*]} inside (build trees in $dir$build_inside)"
start=$SECONDS
# A clean environment: nothing of the machine's display, bus or locale leaks in. The tree
# belongs to whoever checked it out, which git would otherwise refuse to read as root.
chroot "$dir" /usr/bin/env -i -C "$root" \
    HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" HUEWRIGHT_TEST_DIR="$build_inside" \
    ${HUEWRIGHT_FUZZ_SECONDS:+HUEWRIGHT_FUZZ_SECONDS="$HUEWRIGHT_FUZZ_SECONDS"} \
    ${HUEWRIGHT_REPEAT:+HUEWRIGHT_REPEAT="$HUEWRIGHT_REPEAT"} \
    GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=safe.directory GIT_CONFIG_VALUE_0='*' \
    "${command[@]}"
[ $# -gt 0 ] || say "every check passed on Debian 13 in $((SECONDS - start)) s"
