#!/usr/bin/env bash
# Checks that every C++ source and header is laid out as .clang-format says.
# Prints the first differences and fails if any file is not.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
find framework editor installer tests bench -name '*.cpp' -o -name '*.h' | sort \
  | xargs clang-format --dry-run --Werror
