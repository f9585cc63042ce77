#!/usr/bin/env bash
# The end of the session: the terminal closed (tmux kill-session), a hang-up
# or termination signal. Unsaved text goes, as Save writes it, to
# NAME.save beside the document (NAME.save.1 when that is taken), the
# document itself is left alone, one line on standard error says where the
# text went and the exit status is not 0. An unchanged document leaves
# nothing.
source "$(dirname "$0")/lib.sh"
tessel="$1"

# A second session keeps the tmux server up when the first is killed.
tmux -L "$E2E_SOCKET" -f /dev/null new-session -d -s keep "sleep 600"
latin1="$(printf 'caf\xe9\r\n' | xxd -p)"
printf 'caf\xe9\r\n' >"$E2E_TMP/notes.txt"
# What Save writes of "é€" typed before the text: é as 0xE9, € narrowed to
# its low byte, 0xAC.
copy="e9ac$latin1"

# The terminal closes.
forget_journals
restart "$tessel" notes.txt
wait_for 'Line 1'
literal 'é€'
wait_for '^é€caf'
tmux -L "$E2E_SOCKET" kill-session -t "$E2E_SESSION"
wait_file "$E2E_TMP/notes.txt.save"
sleep 0.2
expect_bytes "$E2E_TMP/notes.txt.save" "$copy"
expect_bytes "$E2E_TMP/notes.txt" "$latin1"

# A hang-up, with NAME.save taken.
forget_journals
restart "$tessel" notes.txt
wait_for 'Line 1'
literal 'é€'
wait_for '^é€caf'
signal_program HUP
wait_for '\[exited 129\]'
wait_for "^tessel: The unsaved text of .*/notes.txt was written to"
if [ "$(screen | grep -c '^tessel: ')" -ne 1 ] || ! screen | tr -d '\n' | grep -q 'notes\.txt\.save\.1\.\['; then
  echo "FAIL: the hang-up did not say it wrote notes.txt.save.1, in one line:" >&2
  screen >&2
  exit 1
fi
expect_bytes "$E2E_TMP/notes.txt.save.1" "$copy"
expect_bytes "$E2E_TMP/notes.txt.save" "$copy"
expect_bytes "$E2E_TMP/notes.txt" "$latin1"

# A termination signal.
printf 'caf\xe9\r\n' >"$E2E_TMP/letter.txt"
forget_journals
restart "$tessel" letter.txt
wait_for 'Line 1'
literal 'é€'
wait_for '^é€caf'
signal_program TERM
wait_for '\[exited 143\]'
expect_bytes "$E2E_TMP/letter.txt.save" "$copy"
expect_bytes "$E2E_TMP/letter.txt" "$latin1"

# Unchanged: nothing is written and nothing said.
before="$(ls "$E2E_TMP")"
forget_journals
restart "$tessel" letter.txt
wait_for 'Line 1'
signal_program HUP
wait_for '\[exited 129\]'
if screen | grep -q '^tessel:' || [ "$(ls "$E2E_TMP")" != "$before" ]; then
  echo "FAIL: an unchanged document left something behind:" >&2
  ls "$E2E_TMP" >&2
  screen >&2
  exit 1
fi
pass "unsaved text written beside its file when the terminal closes, on SIGHUP and on SIGTERM"

# A name that would retitle and colour the terminal and forge a line: the
# line on standard error shows its control bytes as escapes, from the end
# of the session and from a crash alike.
evil=$'evil\e]2;owned\a\e[31m\nx.txt'
for signal in HUP SEGV; do
  printf 'x\r\n' >"$E2E_TMP/$evil"
  # The name comes from a file, so that the shell's own report of the
  # crash, which shows the command as written, does not hold it.
  printf '%s' "$evil" >"$E2E_TMP/evil-name"
  forget_journals
  restart bash -c 'ulimit -c 0; exec "$0" "$(cat evil-name)"' "$tessel"
  wait_for 'Line 1'
  literal 'y'
  wait_for '^yx'
  signal_program "$signal"
  wait_for '\[exited (129|139)\]'
  if ! screen | tr -d '\n' | grep -qF 'evil\x1b]2;owned\x07\x1b[31m\x0ax.txt.save'; then
    echo "FAIL: after SIG$signal the name did not show escaped:" >&2
    screen >&2
    exit 1
  fi
  if [ "$(tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{pane_title}')" = owned ]; then
    echo "FAIL: after SIG$signal a file name retitled the terminal" >&2
    exit 1
  fi
  rm -f "$E2E_TMP/$evil"*
done
pass "a file name with control bytes reaches the terminal escaped"

