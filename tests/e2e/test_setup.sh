#!/usr/bin/env bash
# setup from the staging folder: the agreement, the platform choice, and
# the chosen platform's installer started.
source "$(dirname "$0")/lib.sh"
build="$2"

staged="$E2E_TMP/Tessel setup"
cp -r "$build/staging" "$staged"
start "$staged/setup"
setup_to_first_installer
pass "setup from agreement to a started platform installer"
