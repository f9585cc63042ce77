#!/usr/bin/env bash
# setup from the staging folder: the agreement, the platform choice, and
# the chosen platform's installer started.
source "$(dirname "$0")/lib.sh"
build="$2"

staged="$E2E_TMP/Tessel setup"
cp -r "$build/staging" "$staged"
start "$staged/setup"
wait_for 'END-USER LICENSE AGREEMENT'
wait_for 'TESSEL END-USER LICENSE AGREEMENT'
keys Enter
wait_for 'Select your platform:'
keys Tab Down
wait_for 'Pocket PC 2002'
keys Tab Enter
wait_for 'Tessel setup for Pocket PC 2002'
wait_for '\[exited 0\]'
pass "setup from agreement to a started platform installer"
