#!/usr/bin/env bash
# Go to with a valid and an invalid number; the save prompt on Ctrl+Q.
source "$(dirname "$0")/lib.sh"
tessel="$1"

start "$tessel"
wait_for 'Line 1'
for i in 1 2 3 4 5; do literal "line $i"; keys Enter; done
wait_for '^Line 6'
keys F10
wait_for 'Save As'
keys Right Right
wait_for 'Goto'
keys Down Enter
wait_for 'Go to line:'
literal "3"
click_text "[Go to]"
wait_gone 'Go to line:'
wait_for '^Line 3'
keys M-t
wait_for 'Goto'
keys Down Enter
wait_for 'Go to line:'
literal "99"
click_text "[Go to]"
wait_for 'Line number is too big.'
keys Enter
wait_gone 'Line number is too big.'
wait_for 'Go to line:'
keys C-q
wait_for 'Save changes to Untitled\?'
literal "n"
wait_for '\[exited 0\]'
pass "go to and the save prompt"
