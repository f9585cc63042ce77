#!/usr/bin/env bash
# Builds the programs alone (tessel, setup and what they need, no tests) in
# the Release configuration, as a packager would, into build-release/, with
# warnings as errors: the optimiser at -O3 reports what scripts/build.sh's
# configuration does not see.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_WERROR=ON \
  -DTESSEL_TESTS=OFF >/dev/null
cmake --build "$root/build-release" -j2
