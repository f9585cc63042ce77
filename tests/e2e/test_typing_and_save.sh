#!/usr/bin/env bash
# Typing shows the caret's line; Ctrl+S goes through Save As and writes the
# bytes typed; Ctrl+Q ends the program.
source "$(dirname "$0")/lib.sh"
tessel="$1"

start "$tessel"
wait_for 'Line 1'
literal "first"; keys Enter
literal "second"; keys Enter
literal "third"
wait_for '^Line 3'
keys Up
wait_for '^Line 2'
keys C-s
wait_for 'Save As'
wait_for 'File name:'
literal "notes.txt"; keys Enter
wait_gone 'File name:'
expect_bytes "$E2E_TMP/notes.txt" "$(printf 'first\r\nsecond\r\nthird' | xxd -p | tr -d '\n')"
keys C-q
wait_for '\[exited 0\]'
pass "typing, Save As and exit"
