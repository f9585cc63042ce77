#!/usr/bin/env bash
# The encoding of a session: an unknown one is refused in one line with
# status 2 before anything is drawn; utf-8, from the option or from
# TESSEL_ENCODING (the option wins), reads and writes UTF-8, and the
# option's words are no file name.
source "$(dirname "$0")/lib.sh"
tessel="$1"

refused() {  # MESSAGE COMMAND...
  restart "${@:2}"
  wait_for '\[exited 2\]'
  # The message and the exit line, nothing else; the message may wrap, and
  # a blank at the wrap may be lost, so blanks do not count.
  shown="$(screen | tr -d '\n ')"
  expected="$(printf '%s' "$tessel: $1 (use utf-8 or 8bit)[exited 2]" | tr -d ' ')"
  if [ "$shown" != "$expected" ]; then
    echo "FAIL: ${*:2} gave:" >&2
    screen >&2
    exit 1
  fi
}
refused 'unknown encoding "latin1"' "$tessel" --encoding=latin1 notes.txt
refused 'unknown encoding ""' "$tessel" --encoding= notes.txt
refused '-e needs an encoding' "$tessel" notes.txt -e
refused 'unknown encoding "ebcdic" in TESSEL_ENCODING' env TESSEL_ENCODING=ebcdic "$tessel"
[ ! -e "$E2E_TMP/notes.txt" ] || { echo "FAIL: a refused start made a file" >&2; exit 1; }
pass "unknown encodings refused in one line, status 2, nothing drawn"

# typed_and_saved FILE SHOWN TYPED HEX COMMAND...: opens FILE (which holds
# "café" in UTF-8), waits for SHOWN, types TYPED at its start, saves and
# waits for the bytes.
typed_and_saved() {
  local file="$E2E_TMP/$1" i
  printf 'caf\xc3\xa9\n' >"$file"
  restart "${@:5}"
  wait_for "$2"
  literal "$3"
  keys C-s
  for ((i = 0; i < 100; i++)); do
    [ "$(xxd -p "$file" | tr -d '\n')" = "$4" ] && break
    sleep 0.05
  done
  expect_bytes "$file" "$4"
  keys C-q
  wait_for '\[exited 0\]'
}
typed_and_saved a.txt '^ ?café' "é" "c3a9636166c3a90a" env TESSEL_ENCODING=utf-8 "$tessel" a.txt
typed_and_saved b.txt '^ ?café' "€" "e282ac636166c3a90a" env TESSEL_ENCODING=8bit "$tessel" --encoding utf-8 b.txt
typed_and_saved c.txt 'cafÃ©' "é" "e9636166c3a90a" env TESSEL_ENCODING=utf-8 "$tessel" -e 8bit c.txt
pass "utf-8 from TESSEL_ENCODING or the option, which wins"
