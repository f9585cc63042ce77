#!/usr/bin/env bash
# The install as a packager runs it (a prefix, DESTDIR): the files it puts
# there, the desktop entry and the icons, the installed tessel on a file, the
# installed tessel-setup to a started platform installer, both manual pages,
# and the options both programs answer without a terminal.
source "$(dirname "$0")/lib.sh"
build="$2"

for tool in cmake groff man desktop-file-validate file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed" >&2
    exit 77
  fi
done

root="$E2E_TMP/root"
prefix=/opt/tessel-e2e-$$
DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >/dev/null
if [ -e "$prefix" ]; then
  echo "FAIL: the install wrote to $prefix itself, not under DESTDIR" >&2
  rm -rf "$prefix"
  exit 1
fi
installed="$root$prefix"

got="$(cd "$installed" && find . ! -type d -printf '%y %P\n' | sort)"
expected="f bin/tessel
f lib/tessel/setup/EULA.txt
f lib/tessel/setup/HPCPro/setup.exe
f lib/tessel/setup/PalmSize/setup.exe
f lib/tessel/setup/PocketPC/setup.exe
f lib/tessel/setup/PocketPC2002/setup.exe
f lib/tessel/setup/readme.txt
f lib/tessel/setup/setup
f share/applications/tessel.desktop
f share/doc/tessel/changelog.gz
f share/doc/tessel/copyright
f share/icons/hicolor/128x128/apps/tessel.png
f share/icons/hicolor/16x16/apps/tessel.png
f share/icons/hicolor/256x256/apps/tessel.png
f share/icons/hicolor/32x32/apps/tessel.png
f share/icons/hicolor/48x48/apps/tessel.png
f share/icons/hicolor/64x64/apps/tessel.png
f share/man/man1/tessel-setup.1.gz
f share/man/man1/tessel.1.gz
l bin/tessel-setup"
if [ "$got" != "$expected" ]; then
  echo "FAIL: the install put these files under the prefix:" >&2
  echo "$got" >&2
  exit 1
fi
pass "the install's files"

printf 'Dear Ann,\r\nThe tiles arrived.\r\n' > "$E2E_TMP/letter.txt"
start "$installed/bin/tessel" letter.txt
wait_for '^Dear Ann,'
wait_for '^The tiles arrived\.'
keys C-q
wait_for '\[exited 0\]'
pass "the installed tessel shows a file"

session setup
start "$installed/bin/tessel-setup"
setup_to_first_installer
pass "the installed tessel-setup starts a platform installer"

for page in tessel tessel-setup; do
  man_page_clean "$installed/share/man/man1/$page.1.gz"
done
# The setup page names the folder the launcher was installed to.
if ! zcat "$installed/share/man/man1/tessel-setup.1.gz" | grep -qF "$prefix/lib/tessel/setup/EULA.txt"; then
  echo "FAIL: tessel-setup(1) does not name $prefix/lib/tessel/setup" >&2
  exit 1
fi
pass "both manual pages"

# The desktop entry, and the icon it names at each size the theme offers.
if ! out="$(desktop-file-validate "$installed/share/applications/tessel.desktop" 2>&1)" || [ -n "$out" ]; then
  echo "FAIL: desktop-file-validate: $out" >&2
  exit 1
fi
for key in 'Exec=tessel -- %f' 'Icon=tessel' 'Terminal=true' 'MimeType=text/plain;'; do
  grep -qxF "$key" "$installed/share/applications/tessel.desktop" || { echo "FAIL: the desktop entry lacks $key" >&2; exit 1; }
done
grep -qE '^Categories=.*TextEditor;' "$installed/share/applications/tessel.desktop" || { echo "FAIL: not a TextEditor" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
  png="$installed/share/icons/hicolor/${size}x${size}/apps/tessel.png"
  if ! file -b "$png" | grep -qF "PNG image data, $size x $size,"; then
    echo "FAIL: $png is $(file -b "$png")" >&2
    exit 1
  fi
done
pass "the desktop entry and the icons"

# --help and --version answer on standard output without a terminal; after
# "--" they are names. Writing to a full device is a failure.
expect_answer() {  # STATUS FIRST-LINE PROGRAM ARG...
  local status=0 out
  out="$("${@:3}" </dev/null 2>"$E2E_TMP/err")" || status=$?
  if [ "$status" != "$1" ] || [ "${out%%$'\n'*}" != "$2" ]; then
    echo "FAIL: ${*:3} exited with $status and printed '${out%%$'\n'*}' ($(cat "$E2E_TMP/err"))" >&2
    exit 1
  fi
}
expect_answer 0 "Usage: tessel [FILE]" "$installed/bin/tessel" --help
expect_answer 0 "Usage: tessel-setup" "$installed/bin/tessel-setup" --help
expect_answer 0 "tessel 1.0" "$installed/bin/tessel" -x --version --help
expect_answer 0 "tessel-setup 1.0" "$installed/bin/tessel-setup" --version
expect_answer 1 "" "$installed/bin/tessel" -- --help
expect_answer 1 "" "$installed/bin/tessel-setup" -- --version
if "$installed/bin/tessel" --help >/dev/full 2>"$E2E_TMP/err" || ! grep -q 'cannot write' "$E2E_TMP/err"; then
  echo "FAIL: tessel --help to a full device did not fail with a message" >&2
  exit 1
fi
pass "--help, --version and --"

# "--" lets a name that begins with "-" name a file; the About box shows the
# version --version prints.
version="$("$installed/bin/tessel" --version)"
printf 'Hyphen first.\r\n' > "$E2E_TMP/-notes.txt"
session dashes
start "$installed/bin/tessel" -- -notes.txt
wait_for '^Hyphen first\.'
keys M-t End Enter
wait_for "Tessel Version ${version#tessel }"
keys Escape
wait_gone 'Tessel Version'
keys C-q
wait_for '\[exited 0\]'
pass "tessel -- -notes.txt opens the file; the About box shows the same version"
