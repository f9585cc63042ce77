#!/usr/bin/env bash
# The recovery journal: text typed and left for a pause is kept in the
# state folder, so that a kill -9 loses none of it and the next start
# offers it back; a second Tessel on a file the first still edits is told
# of the first. Nothing is written beside the document.
source "$(dirname "$0")/lib.sh"
tessel="$1"
cd "$E2E_TMP"

# wait_journal: waits until the state folder holds a journal.
wait_journal() {
  local i
  for ((i = 0; i < 200; i++)); do
    compgen -G "$E2E_STATE/tessel/*.journal" >/dev/null && return 0
    sleep 0.05
  done
  echo "FAIL: no journal was written" >&2
  exit 1
}

tmux -L "$E2E_SOCKET" -f /dev/null new-session -d -s keep "sleep 600"
printf 'old\n' >notes.txt

# Typed, a pause, then kill -9: the next start offers the text; Yes shows it
# as an unsaved change and Save writes it.
restart "$tessel" notes.txt
wait_for 'old'
literal 'kept '
wait_for 'kept old'
wait_journal
signal_program KILL
wait_for '\[exited 137\]'
[ "$(ls -A)" = "notes.txt" ] || { echo "FAIL: written beside the document: $(ls -A)" >&2; exit 1; }
restart "$tessel" notes.txt
wait_for 'last kept at'
screen >"$E2E_TMP.box"
click_text 'Yes'
wait_for 'kept old'
keys C-s
sleep 0.5
expect_bytes notes.txt "$(printf 'kept old\n' | xxd -p)"
keys C-q
wait_for '\[exited 0\]'
if compgen -G "$E2E_STATE/tessel/*.journal" >/dev/null; then
  echo "FAIL: a journal stayed after Save and a normal end: $(ls "$E2E_STATE/tessel")" >&2
  exit 1
fi
sed -n '1,24p' "$E2E_TMP.box"
pass "a kill -9 loses no text that had paused"

# A second Tessel on the file the first still edits is told of the first.
restart "$tessel" notes.txt
wait_for 'kept old'
literal 'more '
wait_journal
first="$(pgrep -P "$(tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{pane_pid}')" | head -n 1)"
session second
start "$tessel" notes.txt
wait_for 'Another Tessel'
screen | tr -d '\n' | grep -q "Another Tessel (process $first) is editing" || { screen >&2; exit 1; }
click_text 'No'
wait_for '\[exited 1\]'
pass "a second Tessel is told of the first"
