#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if missing.
set -euo pipefail
# groff-base and man-db check the manual pages; dpkg-dev and file let cpack
# find the Debian package's dependencies; desktop-file-utils checks the
# desktop entry and lintian the package; acl and attr set the ACLs and
# extended attributes that the save tests check are kept; clang-format checks
# the sources' layout.
packages=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libncurses-dev libicu-dev tmux
          util-linux groff-base man-db dpkg-dev file desktop-file-utils lintian acl attr)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
