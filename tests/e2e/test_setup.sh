#!/usr/bin/env bash
# setup from the staging folder: the agreement, the platform choice, and
# the chosen platform's installer started; from a folder whose name has
# blanks, a quote, a backslash or a line end too, where a program that a
# part of the name could stand for must not start instead.
source "$(dirname "$0")/lib.sh"
build="$2"

decoy() {
  mkdir -p "$(dirname "$1")"
  printf '#!/bin/sh\necho "decoy $0" > %q\n' "$E2E_TMP/decoy-ran" > "$1"
  chmod +x "$1"
}

n=0
for folder in "Tessel setup" $'q"x/staging' 'bs\dir/staging' $'new\nline/staging'; do
  n=$((n + 1))
  staged="$E2E_TMP/$folder"
  mkdir -p "$(dirname "$staged")"
  cp -r "$build/staging" "$staged"
  decoy "$E2E_TMP/q"
  decoy "$E2E_TMP/bs/dir/staging/PocketPC2002/setup.exe"
  decoy "$E2E_TMP/new"
  session "setup$n"
  start "$staged/setup"
  setup_to_first_installer
  if [ -e "$E2E_TMP/decoy-ran" ]; then
    echo "FAIL: from '$folder' setup started $(cat "$E2E_TMP/decoy-ran")" >&2
    exit 1
  fi
  pass "setup in '$folder' from agreement to its own platform installer"
done
