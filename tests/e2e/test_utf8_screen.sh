#!/usr/bin/env bash
# Wide characters on the terminal: names of CJK characters in the Open
# dialog's list show each character in two cells, the one the list's edge
# cuts as a blank, and every row as wide as the screen (the terminal was
# never sent half of one, and the cursor was where curses thought); a byte
# that is no UTF-8 shows as a reversed stand-in.
source "$(dirname "$0")/lib.sh"
tessel="$1"

cjk="$(printf '中文%.0s' {1..20})"
touch "$E2E_TMP/$cjk.txt" "$E2E_TMP/x$cjk.txt" "$E2E_TMP/$(printf 'caf\xe9.txt')"
start "$tessel" --encoding=utf-8
wait_for 'Line 1'
keys C-o
wait_for 'caf'
# The list is 61 cells wide: 30 characters and a blank, or x and 30.
wait_for "│$(printf '中文%.0s' {1..15}) ░│"
wait_for "│x$(printf '中文%.0s' {1..15})░│"
widths="$(screen | sed -n '4,20p' | LANG=C.UTF-8 wc -L)"
narrowest="$(screen | sed -n '4,20p' | while IFS= read -r line; do printf '%s\n' "$line" | LANG=C.UTF-8 wc -L; done | sort -n | head -1)"
if [ "$widths" != 80 ] || [ "$narrowest" != 80 ]; then
  echo "FAIL: rows of the dialog are not 80 cells wide:" >&2
  screen >&2
  exit 1
fi
if ! tmux -L "$E2E_SOCKET" capture-pane -e -p -t "$E2E_SESSION" | grep -q $'caf\e\\[7m\xef\xbf\xbd'; then
  echo "FAIL: the byte that is no UTF-8 is not a reversed stand-in:" >&2
  tmux -L "$E2E_SOCKET" capture-pane -e -p -t "$E2E_SESSION" | cat -v >&2
  exit 1
fi
pass "wide characters whole, cut by the list's edge as a blank, a stray byte as a stand-in"
