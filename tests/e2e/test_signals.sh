#!/usr/bin/env bash
# Signals on the real binary. Every signal that would end Tessel ends its
# session: the unsaved text goes to NAME.save beside the document, the
# terminal is given back (no mouse reports, the main screen), one line on
# standard error says where the text went, and the status is 128 + the
# signal. A crash signal does the same from its handler before the core
# dump. A stop gives the terminal back; a continue takes it again and
# redraws the screen.
source "$(dirname "$0")/lib.sh"
tessel="$1"

# The terminal's modes as tmux sees them: the alternate screen, then mouse
# reports (any, with buttons, in the SGR encoding).
modes() { tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{alternate_on}#{mouse_any_flag}#{mouse_button_flag}#{mouse_sgr_flag}'; }
expect_modes() {
  if [ "$(modes)" != "$1" ]; then
    echo "FAIL: $2: the terminal's modes are $(modes), expected $1" >&2
    screen >&2
    exit 1
  fi
}
# The screen with wrapped lines joined.
joined() { tmux -L "$E2E_SOCKET" capture-pane -p -J -t "$E2E_SESSION"; }
# Runs Tessel without core files: the crash signals would leave them.
run() {
  forget_journals
  restart bash -c 'ulimit -c 0; exec "$@"' tessel "$tessel" "$@"
}

printf 'caf\xe9\r\n' >"$E2E_TMP/notes.txt"
latin1="$(xxd -p "$E2E_TMP/notes.txt")"
for sig in HUP INT QUIT USR1 USR2 PIPE ALRM XCPU XFSZ VTALRM PROF IO PWR STKFLT RTMIN RTMAX \
  SEGV BUS FPE ILL ABRT SYS TRAP; do
  cp "$E2E_TMP/notes.txt" "$E2E_TMP/$sig.txt"
  run "$sig.txt"
  wait_for 'Line 1'
  literal 'é'
  wait_for '^écaf'
  expect_modes 1111 "before SIG$sig"
  signal_program "$sig"
  wait_for "\[exited $((128 + $(kill -l "$sig")))\]"
  expect_modes 0000 "after SIG$sig"
  expect_bytes "$E2E_TMP/$sig.txt.save" "e9$latin1"
  expect_bytes "$E2E_TMP/$sig.txt" "$latin1"
  if [ "$(joined | grep -c "^tessel: The unsaved text of $E2E_TMP/$sig.txt was written to $E2E_TMP/$sig.txt.save.$")" -ne 1 ]; then
    echo "FAIL: SIG$sig did not say once where the text went:" >&2
    joined >&2
    exit 1
  fi
done
pass "each signal that would end Tessel writes the text, restores the terminal and reports 128 + the signal"

# Standard error is a pipe nobody reads: writing the line there fails, and
# the program goes on to its end as the signal says, not as SIGPIPE would.
cp "$E2E_TMP/notes.txt" "$E2E_TMP/deaf.txt"
restart bash -c 'exec 2> >(exec true); sleep 0.3; exec "$@"' tessel "$tessel" deaf.txt
wait_for 'Line 1'
literal 'é'
wait_for '^écaf'
signal_program TERM
wait_for '\[exited 143\]'
expect_bytes "$E2E_TMP/deaf.txt.save" "e9$latin1"
pass "a write to a pipe without a reader fails without ending Tessel"

# HUP then TERM, both waiting while Tessel is stopped, come together when it
# goes on: the first decides the status.
cp "$E2E_TMP/notes.txt" "$E2E_TMP/twice.txt"
run twice.txt
wait_for 'Line 1'
literal 'é'
wait_for '^écaf'
for sig in STOP HUP TERM CONT; do
  signal_program "$sig"
done
wait_for '\[exited 129\]'
expect_bytes "$E2E_TMP/twice.txt.save" "e9$latin1"
pass "of two end signals that come together the first decides the status"

# An untitled text whose working folder was deleted goes to the state
# folder, from the end of the session and from a crash alike, never to the
# root folder; the line gives its full name.
root_before="$(ls -a /)"
for case in "TERM Untitled.save" "SEGV Untitled.save.1"; do
  read -r sig copy <<<"$case"
  mkdir "$E2E_TMP/gone"
  forget_journals
  restart bash -c 'ulimit -c 0; cd gone && exec "$@"' tessel "$tessel"
  wait_for 'Line 1'
  literal 'draft'
  wait_for '^draft'
  rmdir "$E2E_TMP/gone"
  signal_program "$sig"
  wait_for "\[exited $((128 + $(kill -l "$sig")))\]"
  if [ "$(joined | grep -c "^tessel: The unsaved text of Untitled was written to $E2E_STATE/tessel/$copy\.$")" -ne 1 ]; then
    echo "FAIL: SIG$sig did not say once that the text went to $E2E_STATE/tessel/$copy:" >&2
    joined >&2
    exit 1
  fi
  expect_bytes "$E2E_STATE/tessel/$copy" "$(printf draft | xxd -p)"
done
if [ "$(ls -a /)" != "$root_before" ]; then
  echo "FAIL: something was written to the root folder" >&2
  exit 1
fi
pass "an untitled text whose working folder is gone goes to the state folder, never to the root folder"

# Stopped and continued from an interactive shell, as Ctrl+Z and fg do.
forget_journals
restart env PS1='$ ' bash --norc --noprofile -i
wait_for '^\$'
literal "\"$tessel\" notes.txt"
keys Enter
wait_for 'Line 1'
literal 'x'
wait_for '^xcaf'
expect_modes 1111 "before the stop"
# Tessel runs under the interactive shell, itself the program of the terminal.
shell="$(tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{pane_pid}')"
kill -TSTP "$(pgrep -P "$(pgrep -P "$shell" | head -n 1)" | head -n 1)"
wait_for 'Stopped'
expect_modes 0000 "while stopped"
literal 'fg'
keys Enter
wait_for '^xcaf'
wait_for 'Line 1'
expect_modes 1111 "after the continue"
literal 'y'
wait_for '^xycaf'
pass "a stop gives the terminal back, a continue takes it again and redraws"
