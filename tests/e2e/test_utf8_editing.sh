#!/usr/bin/env bash
# A UTF-8 session on a file of mixed scripts: the text rows show what cat
# shows in the same terminal; the arrows and Backspace step over whole
# characters; Find with Match case off finds CAFÉ in café; Save writes the
# expected bytes. Then a file of random bytes, changed and changed back,
# is saved byte for byte as it was. Last, ICU is loaded only once a
# character needs it: not for ASCII and Latin-1.
source "$(dirname "$0")/lib.sh"
tessel="$1"
export LC_ALL=C.UTF-8

long="$(printf 'long%.0s' {1..30})"
printf 'café naïve Ünïcödé\n中文字符 日本語 한국어\n👍🏽 thumbs up\ne\xcc\x81 = é\nΕλληνικά Кириллица\n%s\nstray \xe9 byte\n' \
  "$long" >"$E2E_TMP/mixed.txt"
lines=7

# What cat shows, a file line a row (wrapped rows joined).
start cat mixed.txt
wait_for '\[exited 0\]'
shown_by_cat="$(tmux -L "$E2E_SOCKET" capture-pane -p -J -t "$E2E_SESSION" | head -n "$lines")"

# cursor: where the terminal's cursor is, "column,row" from 0.
cursor() { tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{cursor_x},#{cursor_y}'; }
cursor_at() { [ "$(cursor)" = "$1" ]; }
expect_cursor() {  # WHERE WHAT
  within_5s cursor_at "$1" && return 0
  echo "FAIL: $2: the cursor is at $(cursor), expected $1" >&2
  screen >&2
  exit 1
}

restart "$tessel" --encoding=utf-8 mixed.txt
wait_for 'stray'
# The text rows start on row 4 and end before the scroll bar's column (79
# cells). They differ from cat's by design in two ways: the line longer
# than the view is cut at its edge (it is ASCII, so its first 79 characters
# are its first 79 cells) where cat wraps it; and the byte that is no UTF-8,
# which the terminal drops, shows as a stand-in of one cell (U+FFFD in
# reverse video) so that a person sees a byte is there and where it is.
shown_by_tessel="$(screen | sed -n "4,$((3 + lines))p" | sed -e 's/.$//' -e 's/ *$//')"
expected="$(printf '%s\n' "$shown_by_cat" | while IFS= read -r line; do printf '%s\n' "${line:0:79}"; done)"
if [ "$(printf '%s\n' "$shown_by_tessel" | sed 's/�//')" != "$expected" ] \
  || ! printf '%s\n' "$shown_by_tessel" | grep -qx 'stray � byte'; then
  echo "FAIL: the text rows differ from cat's:" >&2
  diff <(printf '%s\n' "$expected") <(printf '%s\n' "$shown_by_tessel") >&2 || true
  exit 1
fi
pass "mixed scripts shown as cat shows them"

expect_cursor 0,3 "at the start"
keys Down Right Right
expect_cursor 4,4 "past two CJK characters"
literal '汉'
expect_cursor 6,4 "after a typed CJK character"
# The emoji and its skin tone are one character of four cells here, two
# each, as the terminal lays them out (cat's row above is the same).
keys Down Home Right
expect_cursor 4,5 "past an emoji with its skin tone"
keys BSpace
keys Down Home Right
expect_cursor 1,6 "past e and its mark"
keys BSpace
wait_row 4 '^中文汉字符 日本語 한국어 '
wait_row 5 '^ thumbs up '
wait_row 6 '^ = é '
pass "steps, Backspace and typing by whole characters"

keys C-Home
expect_cursor 0,3 "back at the start"
keys M-t
wait_for 'Find/Replace'
keys Enter
wait_for 'Find What:'
literal 'CAFÉ'
click_text "Relpace with:" 15
literal 'thé'
click_text "[  Find"
wait_for 'Find What: +CAFÉ'
click_text "Replace all"
wait_gone 'Find What:'
wait_row 3 '^thé naïve'
keys C-s
expected_hex="$(printf 'thé naïve Ünïcödé\n中文汉字符 日本語 한국어\n thumbs up\n = é\nΕλληνικά Кириллица\n%s\nstray \xe9 byte\n' "$long" \
  | xxd -p | tr -d '\n')"
for ((i = 0; i < 100; i++)); do
  [ "$(xxd -p "$E2E_TMP/mixed.txt" | tr -d '\n')" = "$expected_hex" ] && break
  sleep 0.05
done
expect_bytes "$E2E_TMP/mixed.txt" "$expected_hex"
keys C-q
wait_for '\[exited 0\]'
pass "CAFÉ found in café with Match case off, saved as the expected bytes"

# Any bytes: a BOM, CR, LF and CR LF, zero bytes, sequences cut short,
# overlong forms, lone continuation bytes, a surrogate's encoding, then
# random bytes.
{
  printf '\xef\xbb\xbfBOM\r\nCRLF\rCR\nLF\n\000zero\000\n\xe4\xb8 cut \xf0\x9f\x91 cut\xc0\xaf\x80\xbf\xed\xa0\x80\xff\n'
  head -c 4096 /dev/urandom
} >"$E2E_TMP/random.bin"
cp "$E2E_TMP/random.bin" "$E2E_TMP/original.bin"
before="$(stat -c '%i %Y.%y' "$E2E_TMP/random.bin")"
restart "$tessel" --encoding=utf-8 random.bin
wait_for 'BOM'
literal 'x'
keys BSpace C-s
for ((i = 0; i < 100; i++)); do
  [ "$(stat -c '%i %Y.%y' "$E2E_TMP/random.bin")" != "$before" ] && break
  sleep 0.05
done
[ "$(stat -c '%i %Y.%y' "$E2E_TMP/random.bin")" != "$before" ] || { echo "FAIL: random.bin was not saved" >&2; exit 1; }
expect_bytes "$E2E_TMP/random.bin" "$(xxd -p "$E2E_TMP/original.bin" | tr -d '\n')"
keys C-q
wait_for '\[exited 0\]'
pass "random bytes saved unchanged"

# ASCII and Latin-1 need no ICU: typing "é" and stepping over it leave it unloaded;
# a typed ideograph loads it, and shows as two cells.
printf 'int main(void)\n{\n    return 0;\n}\n' >"$E2E_TMP/plain.c"
restart "$tessel" --encoding=utf-8 plain.c
wait_for 'return 0;'
keys Down Down End
literal 'é'
keys Left Left Right
literal 'x'
wait_row 5 '^    return 0;xé '
pid="$(program_pid)" || exit 1
if grep -q libicuuc "/proc/$pid/maps"; then
  echo "FAIL: ICU was loaded for ASCII and Latin-1 text" >&2
  exit 1
fi
literal '汉'
wait_row 5 '^    return 0;x汉é '
grep -q libicuuc "/proc/$pid/maps" || { echo "FAIL: an ideograph was measured without ICU" >&2; exit 1; }
quit_unsaved '.*plain.c'
pass "ICU loaded only once a character needs it"
