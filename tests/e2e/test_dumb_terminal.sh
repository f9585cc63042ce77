#!/usr/bin/env bash
# A terminal that cannot move the cursor (TERM=dumb): both programs say so
# in one line on standard error and end with status 1, drawing nothing.
source "$(dirname "$0")/lib.sh"
tessel="$1"
build="$2"

for program in "$tessel" "$build/staging/setup"; do
  restart env TERM=dumb "$program"
  wait_for '\[exited 1\]'
  # The message and the exit line, nothing else; the message may wrap, and
  # a blank at the wrap may be lost, so blanks do not count.
  shown="$(screen | tr -d '\n ')"
  expected="$(printf '%s' "$program: the terminal type \"dumb\" cannot move the cursor (no \"cup\" capability)[exited 1]" | tr -d ' ')"
  if [ "$shown" != "$expected" ]; then
    echo "FAIL: TERM=dumb gave:" >&2
    screen >&2
    exit 1
  fi
done
pass "TERM=dumb refused in one line, status 1"
