#!/usr/bin/env bash
# Builds Tessel, setup and the tests with AddressSanitizer (leaks included)
# and UndefinedBehaviorSanitizer into build-asan/ and runs the tests there,
# except the end-to-end ones in a real terminal (tmux). The build uses clang
# and also holds the fuzz targets, so that scripts/fuzz.sh needs no second
# build.
#
# Warnings are not errors here: the normal build (scripts/build.sh) checks
# them, and optimised sanitizer builds warn about the standard library.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
"$root/scripts/install-deps.sh"
"$root/scripts/fuzz.sh" --configure-only
cmake --build "$build" -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest --output-on-failure -j2 -E '^e2e'
