#!/usr/bin/env bash
# A paste, bracketed or plain, of three lines and of 200 KB ends on the
# right screen and line number as soon as its last byte is in, with no key
# after it.
source "$(dirname "$0")/lib.sh"
tessel="$1"

printf 'alpha\nbeta\ngamma\n' >"$E2E_TMP/three.txt"
# 3400 numbered lines of 62 bytes: 210800 bytes.
awk 'BEGIN { for (i = 1; i <= 3400; i++) printf "line %04d: the quick brown fox jumps over the lazy dog, again\n", i }' \
  >"$E2E_TMP/big.txt"
[ "$(stat -c %s "$E2E_TMP/big.txt")" -ge 204800 ]


for how in bracketed plain; do
  restart "$tessel"
  wait_for 'Line 1'
  paste_text "$E2E_TMP/three.txt" "$how"
  wait_for '^Line 4 *$'
  if [ "$(screen | sed -n '4,6p' | cut -c1-10 | tr -s ' ')" != "$(printf 'alpha \nbeta \ngamma ')" ]; then
    echo "FAIL: the $how paste of three lines shows:" >&2
    screen >&2
    exit 1
  fi
  quit_unsaved Untitled  # no text left to be offered back to the next session

  restart "$tessel"
  wait_for 'Line 1'
  paste_text "$E2E_TMP/big.txt" "$how"
  wait_for '^Line 3401 *$' 60
  # The last line pasted is the row above the caret's empty line, at the
  # bottom of the text.
  if ! row 22 | grep -q '^line 3400: the quick' || ! row 21 | grep -q '^line 3399: '; then
    echo "FAIL: the $how paste of 200 KB shows:" >&2
    screen >&2
    exit 1
  fi
  quit_unsaved Untitled
done
pass "bracketed and plain pastes of three lines and of 200 KB"
