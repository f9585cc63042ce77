#!/usr/bin/env bash
# setup in a terminal of 40x12, smaller than its dialogs: each shows cut
# inside its frame with its caption and close box, scrolled to the focused
# button, and is driven by keys and a click to a started installer.
source "$(dirname "$0")/lib.sh"
build="$2"

staged="$E2E_TMP/Tessel setup"
cp -r "$build/staging" "$staged"
E2E_COLS=40 E2E_ROWS=12 start "$staged/setup"
wait_row 0 '^ End User License Agreement +\[x\]$'
wait_for '│ \[ +I Agree +\] +│'
wait_row 11 '^└─+►┘$'
keys Tab
wait_for '\[ +I Disagree +\] │'
keys BTab Enter
wait_row 0 '^ Platform Selection +\[x\]$'
wait_for '\[ +Cancel +\] │'
keys Tab Down
wait_for 'Pocket PC 2002'
keys Tab
wait_for '│ \[ +Continue +\]'
click_text 'Continue'
wait_for 'Tessel setup for Pocket PC 2002'
wait_for '\[exited 0\]'
pass "setup at 40x12 from agreement to a started platform installer"
