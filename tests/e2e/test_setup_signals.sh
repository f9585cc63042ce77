#!/usr/bin/env bash
# setup neither waits on an agreement that is a FIFO nobody writes nor reads
# one that is a link to an endless device: it says at once that it cannot
# open it. It ends on SIGTERM, SIGHUP and SIGINT while it says so: the
# terminal given back, the status 128 + the signal.
source "$(dirname "$0")/lib.sh"
build="$2"

staged="$E2E_TMP/Tessel setup"
cp -r "$build/staging" "$staged"
modes() { tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{alternate_on}#{mouse_any_flag}'; }

for case in "fifo TERM" "zero HUP" "fifo INT" "zero TERM"; do
  read -r kind sig <<<"$case"
  rm -f "$staged/EULA.txt"
  if [ "$kind" = fifo ]; then
    mkfifo "$staged/EULA.txt"
  else
    ln -s /dev/zero "$staged/EULA.txt"
  fi
  restart "$staged/setup"
  wait_for "Can't open eula.txt"
  signal_program "$sig"
  wait_for "\[exited $((128 + $(kill -l "$sig")))\]"
  if [ "$(modes)" != 00 ]; then
    echo "FAIL: SIG$sig left the terminal's modes at $(modes) ($kind)" >&2
    exit 1
  fi
done
pass "setup refuses a FIFO or device agreement at once and ends on SIGTERM, SIGHUP and SIGINT"
