#!/usr/bin/env bash
# Hostile input at the terminal: random bytes and broken escape sequences,
# a paste of a megabyte, and the terminal resized down to one cell and
# back. The editor keeps running, draws its screen again and still saves
# what it holds.
source "$(dirname "$0")/lib.sh"
tessel="$1"

# bytes HEX...: sends raw bytes, whatever they encode.
bytes() { tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" -H "$@"; }

alive() {
  if screen | grep -q '\[exited'; then
    echo "FAIL: the editor ended $1:" >&2
    screen >&2
    exit 1
  fi
}

# Back to the frame: Escape closes menus, dialogs and message boxes (and
# answers a save prompt with Cancel).
calm() {
  local i
  for i in 1 2 3 4 5 6; do
    keys Escape
    sleep 0.2
  done
}

start "$tessel"
wait_for 'Line 1'

# Random bytes from a fixed seed, 200 at a time: invalid UTF-8, control
# codes (Ctrl+O, Ctrl+S and the like open their dialogs, which the bytes
# after them then fill in). Not Ctrl+Q, which ends the program on purpose,
# nor ESC, which the sequences below bring.
garbage="$(awk 'BEGIN { srand(20); for (i = 0; i < 4000; i++) { b = int(rand() * 256);
  if (b != 0 && b != 17 && b != 27) printf "%02x ", b; if (i % 200 == 199) printf "\n" } }')"
while read -r chunk; do
  # shellcheck disable=SC2086
  bytes $chunk
  sleep 0.05
done <<<"$garbage"
sleep 1
alive "on random bytes"

# Escape sequences cut short, with absurd numbers or unknown finals, a
# click and a wheel turn far off the screen, a paste holding the broken
# UTF-8 below (overlong, a surrogate, beyond U+10FFFF, cut short).
for seq in '1b 5b' '1b 5b 39 39 39 39 39 39 39 39 39 39 39 3b 39 39 39 39 39 39 39 41' \
           '1b 5b 3c 30 3b 39 39 39 39 39 3b 39 39 39 39 39 4d' '1b 5b 3c 30 3b 39 39 39 39 39 3b 39 39 39 39 39 6d' \
           '1b 5b 3c 36 34 3b 31 3b 31 4d' \
           '1b 5b 31 3b 35' '1b 5b 3f 31 30 30 34 7a' '1b 5b 32 30 30 7e 61 62' \
           'e0 80 af' 'ed a0 80' 'f4 90 80 80' 'c3' 'ff fe' '1b 5b 32 30 31 7e'; do
  # shellcheck disable=SC2086
  bytes $seq
  sleep 0.1
done
sleep 1
alive "on broken escape sequences"
calm
alive "when its windows were closed"
wait_for 'Line [0-9]+' 20

# A new document (whatever the bytes typed is dropped), then a paste of a
# megabyte on one line: the text takes 1048575 characters and Save writes
# them.
keys C-n
for ((i = 0; i < 60; i++)); do
  if screen | grep -q 'Save changes'; then
    click_text 'No'
    break
  fi
  sleep 0.05
done
wait_gone 'Save changes'
# The text's first row, the fourth of the screen, is empty (but for the
# scroll bar's arrow).
for ((i = 0; ; i++)); do
  [ -z "$(screen | sed -n 4p | tr -d ' \342\226\262')" ] && break
  if [ "$i" -ge 200 ]; then
    echo "FAIL: New left text on the screen:" >&2
    screen >&2
    exit 1
  fi
  sleep 0.05
done
head -c 1048576 /dev/zero | tr '\0' 'x' >"$E2E_TMP/paste.bin"
paste_text "$E2E_TMP/paste.bin"
rm "$E2E_TMP/paste.bin"
keys C-s
wait_for 'File name:' 100
literal "big.txt"; keys Enter
wait_gone 'File name:' 30
size="$(stat -c %s "$E2E_TMP/big.txt")"
if [ "$size" -ne 1048575 ] || [ -n "$(tr -d 'x' <"$E2E_TMP/big.txt" | head -c 1)" ]; then
  echo "FAIL: the pasted text saved as $size bytes, expected 1048575 times 'x'" >&2
  exit 1
fi
alive "after the paste"

# Down to one cell and back, in steps and at once.
for size in "40 12" "10 3" "1 1" "2 1" "1 1" "80 24" "1 1" "120 40" "80 24"; do
  # shellcheck disable=SC2086
  set -- $size
  tmux -L "$E2E_SOCKET" resize-window -t "$E2E_SESSION" -x "$1" -y "$2"
  sleep 0.3
done
sleep 1
alive "on resizing"
wait_for 'File +Edit +Tools' 20
wait_for 'Line 1'

keys C-q
wait_for '\[exited 0\]' 20
pass "random bytes, broken sequences, a megabyte paste and a 1x1 terminal"
