#!/usr/bin/env bash
# What a save does on the real file system: it follows a link where the
# kernel goes, takes quotes and bytes that are not UTF-8 as parts of a
# name, asks before it overwrites another program's change; a device or
# a FIFO is never opened.
source "$(dirname "$0")/lib.sh"
tessel="$1"
cd "$E2E_TMP"

# A link whose ".." is worked out by the kernel, not on the name's text.
mkdir -p real/sub
ln -s real/sub alias
ln -s ../target.txt real/sub/link.txt
printf REAL >real/target.txt
printf bystander >target.txt
start "$tessel" alias/link.txt
wait_for 'REAL'
literal "1"; keys C-s
wait_for '1REAL'
sleep 0.3
expect_bytes real/target.txt "$(printf 1REAL | xxd -p)"
expect_bytes target.txt "$(printf bystander | xxd -p)"

# A quote in a name, and a name in Latin-1.
printf q >q
printf x >'"q"x.txt'
printf latin >$'caf\xe9.txt'
# (The Latin-1 name goes through a script: the terminal's shell may not
# read the quoting bash would give it.)
printf 'exec "$1" "$(printf "caf\\351.txt")"\n' >latin.sh
for run in '"q"x.txt' latin; do
  if [ "$run" = latin ]; then restart bash latin.sh "$tessel"; else restart "$tessel" "$run"; fi
  wait_for 'Line 1'
  literal "2"; keys C-s
  sleep 0.3
  keys C-q
  wait_for '\[exited 0\]'
done
expect_bytes '"q"x.txt' "$(printf 2x | xxd -p)"
expect_bytes $'caf\xe9.txt' "$(printf 2latin | xxd -p)"
expect_bytes q "$(printf q | xxd -p)"

# Another program's change: No keeps it, Yes saves over it.
printf old >doc.txt
restart "$tessel" doc.txt
wait_for 'old'
literal "mine "
wait_for 'mine old'
printf theirs >doc.txt
keys C-s
wait_for 'has been changed by another'
click_text 'No'
wait_gone 'has been changed by another'
expect_bytes doc.txt "$(printf theirs | xxd -p)"
keys C-s
wait_for 'has been changed by another'
click_text 'Yes'
wait_gone 'has been changed by another'
sleep 0.3
expect_bytes doc.txt "$(printf 'mine old' | xxd -p)"

# The terminal itself, or a FIFO nobody writes, is no file: refused at once,
# before anything is read or waited for.
mkfifo pipe
for name in /dev/tty pipe; do
  restart "$tessel" "$name"
  wait_for "$name was denied"
done
# A file of the kernel's says its size is 0 and still opens with its text.
restart "$tessel" /proc/version
wait_for '^Linux version'
pass "links, names, changes on disk, devices, FIFOs and files of the kernel's"
