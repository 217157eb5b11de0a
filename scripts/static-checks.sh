#!/usr/bin/env bash
# clang-tidy and cppcheck over our own sources (engine/, ui/, app/, cli/), using the compile
# commands of a configured build tree, and clang-format over every C++ file we track.
# Fails on any finding.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-test/debug}"

if [ ! -f "$build/compile_commands.json" ]; then
    echo "static-checks: no compile_commands.json in $build; configure it first" >&2
    exit 2
fi

mapfile -t sources < <(cd "$root" && git ls-files 'engine/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'cli/*.cpp')

echo "clang-tidy: ${#sources[@]} files"
(cd "$root" && run-clang-tidy -quiet -p "$build" "${sources[@]/#/$root/}" >"$build/clang-tidy.log" 2>&1) || {
    sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E "warning:|error:" | sort -u
    echo "clang-tidy: findings above (full log: $build/clang-tidy.log)" >&2
    exit 1
}

echo "cppcheck"
# Given our folders directly rather than the compile commands, so that tests, benchmarks
# and generated files stay out; Qt's macros come from cppcheck's own Qt library file.
# missingIncludeSystem only says that system headers are not analysed;
# normalCheckLevelMaxBranches (2.17) that it bounds its own search. returnByReference (2.17):
# Qt's strings are implicitly shared, so returning a member by value costs a reference count,
# and is Qt's own convention.
(cd "$root" && cppcheck --quiet --error-exitcode=1 --library=qt --std=c++20 --language=c++ \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=normalCheckLevelMaxBranches \
    --suppress=returnByReference -I engine/include -I engine -I ui -I cli engine ui app cli)
echo "clang-format"
(cd "$root" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)
echo "static checks clean"
