#!/usr/bin/env bash
# Copy and Cut hand the text to the terminal's clipboard too (OSC 52, which
# tmux takes into a paste buffer with set-clipboard on); Paste takes the
# program's own clipboard.
source "$(dirname "$0")/lib.sh"
tessel="$1"

start "$tessel"
tmux -L "$E2E_SOCKET" set-option -g set-clipboard on
wait_for 'Line 1'
buffer() { tmux -L "$E2E_SOCKET" show-buffer 2>/dev/null || true; }
# wait_buffer TEXT WHAT: waits until tmux's newest buffer holds TEXT.
buffer_is() { [ "$(buffer)" = "$1" ]; }
wait_buffer() {
  within_5s buffer_is "$1" && return 0
  echo "FAIL: $2 gave the terminal's clipboard '$(buffer)'" >&2
  exit 1
}

literal 'café €'
wait_for '^café €'
keys S-Home C-c
wait_buffer 'café €' Copy

keys End Enter
literal 'second'
wait_for '^second'
keys S-Home C-x
wait_gone '^second'
wait_buffer second Cut

# Paste is the program's own: the terminal's clipboard changes, Paste
# still gives what was cut.
tmux -L "$E2E_SOCKET" set-buffer 'from elsewhere'
keys C-v
wait_for '^second'
if screen | grep -q 'from elsewhere'; then
  echo "FAIL: Paste took the terminal's clipboard" >&2
  exit 1
fi
pass "Copy and Cut reach the terminal's clipboard; Paste keeps the program's"
