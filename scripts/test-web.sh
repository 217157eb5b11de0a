#!/usr/bin/env bash
# Runs the web page's end-to-end tests (tests/web/) in Debian's Chromium and Firefox ESR, over
# the built page folder served by the tests' own small server.
#
#   HUEWRIGHT_WEB_DIR   the built folder (default build-web/ at the root, from build-web.sh)
#   HUEWRIGHT_CLI       huewright-cli, whose output the generations are compared with
#                       (default the one scripts/test.sh built, build-test/debug/cli/)
#   HUEWRIGHT_WEB_BROWSERS  which browsers (default "chromium firefox")
#
# Exits non-zero when a test fails in any browser; both browsers run either way.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tests="$root/tests/web"
export HUEWRIGHT_WEB_DIR="${HUEWRIGHT_WEB_DIR:-$root/build-web}"
HUEWRIGHT_WEB_DIR="$(cd "$HUEWRIGHT_WEB_DIR" && pwd)"
export HUEWRIGHT_CLI="${HUEWRIGHT_CLI:-${HUEWRIGHT_TEST_DIR:-$root/build-test}/debug/cli/huewright-cli}"

die() {
    printf 'test-web: %s\n' "$*" >&2
    exit 2
}

"$root/scripts/install-deps.sh" browsers
[ -f "$HUEWRIGHT_WEB_DIR/index.html" ] || die "no page in $HUEWRIGHT_WEB_DIR: run scripts/build-web.sh"
[ -x "$HUEWRIGHT_CLI" ] || die "HUEWRIGHT_CLI must name a built huewright-cli"
command -v npm >/dev/null || die "npm is missing (apt-get install npm)"

# The pinned packages; an install that matches the lock file is kept, so that a machine
# without network runs the tests once they were installed.
cd "$tests"
if [ node_modules/.package-lock.json -nt package-lock.json ] && npm ls --silent >/dev/null 2>&1; then
    echo "test-web: npm packages already installed"
else
    PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --prefer-offline
fi

status=0
for browser in ${HUEWRIGHT_WEB_BROWSERS:-chromium firefox}; do
    printf '\n==== web tests in %s\n' "$browser"
    # One file at a time, whatever Node's version: each starts its own browser, and CI has
    # two cores.
    for file in ./*.test.js; do
        if ! BROWSER="$browser" node --test "$file"; then
            printf 'test-web: %s FAILED in %s\n' "$file" "$browser" >&2
            status=1
        fi
    done
done
exit "$status"
