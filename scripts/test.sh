#!/usr/bin/env bash
# Builds everything and runs every test: unit and headless tests, then the
# end-to-end tests in a real terminal (tmux).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j2
