#!/usr/bin/env bash
# The mouse wheel: two notches down over the text scroll it six lines and
# leave the caret on its line; a notch over the Open dialog's folder list
# scrolls it one entry.
source "$(dirname "$0")/lib.sh"
tessel="$1"

for i in $(seq 1 60); do printf 'line %d\r\n' "$i"; done >"$E2E_TMP/long.txt"
for i in $(seq 1 20); do : >"$E2E_TMP/file$i.txt"; done
start "$tessel" long.txt
wait_row 3 '^line 1 '
wheel 10 8 -2
wait_row 3 '^line 7 ' 5
wait_for 'Line 1'

keys C-o
wait_for 'File name:'
wait_row 5 '│\.\./ '
wheel 20 8 -1
wait_row 5 '│file1\.txt ' 5
keys Escape
wait_gone 'File name:'
keys C-q
wait_for '\[exited 0\]'
pass "the wheel scrolls the text and a list"
