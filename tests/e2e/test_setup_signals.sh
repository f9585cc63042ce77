#!/usr/bin/env bash
# setup ends at once on SIGTERM, SIGHUP and SIGINT, also while it is blocked
# opening its agreement (a FIFO nobody writes) or busy reading it (a link to
# an endless file): the terminal given back, the status 128 + the signal.
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
  # Stuck where the agreement is read: the terminal is taken, nothing shows.
  for ((i = 0; i < 200; i++)); do
    [ "$(modes)" = 11 ] && break
    sleep 0.05
  done
  sleep 0.3
  signal_program "$sig"
  wait_for "\[exited $((128 + $(kill -l "$sig")))\]"
  if [ "$(modes)" != 00 ]; then
    echo "FAIL: SIG$sig left the terminal's modes at $(modes) ($kind)" >&2
    exit 1
  fi
done
pass "setup ends on SIGTERM, SIGHUP and SIGINT while its agreement blocks or never ends"
