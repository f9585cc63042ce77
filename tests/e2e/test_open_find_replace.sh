#!/usr/bin/env bash
# A file named on the command line opens; Find selects an occurrence;
# Replace all changes it and every later one; Ctrl+S writes it in place.
source "$(dirname "$0")/lib.sh"
tessel="$1"

printf 'alpha beta\r\nbeta gamma\r\nbeta\r\n' > "$E2E_TMP/words.txt"
start "$tessel" words.txt
wait_for 'alpha beta'
keys M-t
wait_for 'Find/Replace'
keys Enter
wait_for 'Find What:'
literal "beta"
click_text "Relpace with:" 15
literal "delta"
click_text "[  Find"
# Find leaves the occurrence selected and the form up.
wait_for 'Find What: +beta'
click_text "Replace all"
wait_gone 'Find What:'
wait_for 'alpha delta'
wait_for 'delta gamma'
keys C-s
sleep 0.3
expect_bytes "$E2E_TMP/words.txt" "$(printf 'alpha delta\r\ndelta gamma\r\ndelta\r\n' | xxd -p | tr -d '\n')"
keys C-q
wait_for '\[exited 0\]'
pass "open, find, replace all, save"
