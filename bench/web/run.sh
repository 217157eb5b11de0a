#!/usr/bin/env bash
# Times the web page in Chromium against the native engine and prints a table: navigation to
# ready, and Generate until Text2 holds the markup for 20, 1,000, 2,600 and 99,999 characters.
#
#   HUEWRIGHT_WEB_DIR        the built page folder (default build-web/ at the root)
#   HUEWRIGHT_BENCH_DIR      where the native timing program is built (default /var/tmp/huewright-web-bench)
#   HUEWRIGHT_BENCH_REPEATS  generations per size (default 21); HUEWRIGHT_BENCH_LOADS page loads (9)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export HUEWRIGHT_WEB_DIR="$(cd "${HUEWRIGHT_WEB_DIR:-$root/build-web}" && pwd)"
build="${HUEWRIGHT_BENCH_DIR:-/var/tmp/huewright-web-bench}"

[ -f "$HUEWRIGHT_WEB_DIR/index.html" ] || {
    echo "bench/web: no page in $HUEWRIGHT_WEB_DIR: run scripts/build-web.sh" >&2
    exit 2
}

# The native engine in a Release build of its own, as the desktop program ships it.
cmake -S "$root/bench/web" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 >/dev/null

# puppeteer-core from the tests' pinned packages.
if [ ! -d "$root/tests/web/node_modules/puppeteer-core" ]; then
    (cd "$root/tests/web" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --prefer-offline)
fi

BROWSER=chromium node "$root/bench/web/bench.js" "$build/native_generate"
