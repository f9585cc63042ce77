#!/usr/bin/env bash
# Builds everything and runs every test: unit and headless tests, then the
# end-to-end tests in a real terminal (tmux). Then the programs once more in
# the Release configuration, warnings as errors (scripts/release-build.sh).
# Then hostile input: the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh), and each fuzz target for
# a minute (scripts/fuzz.sh).
#
# TESSEL_QUICK=1 skips the Release, sanitizer and fuzz stages for a quick
# local run; CI (CI=true) always runs everything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j2
if [ "${CI:-}" = "true" ] || [ "${TESSEL_QUICK:-}" != 1 ]; then
  "$root/scripts/release-build.sh"
  "$root/scripts/sanitize.sh"
  "$root/scripts/fuzz.sh" 60
fi
