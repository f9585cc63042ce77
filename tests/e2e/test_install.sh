#!/usr/bin/env bash
# The install as a packager runs it (a prefix, DESTDIR): the files it puts
# there, the installed tessel on a file, the installed tessel-setup to a
# started platform installer, and both manual pages.
source "$(dirname "$0")/lib.sh"
build="$2"

for tool in cmake groff man; do
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
f share/man/man1/tessel-setup.1.gz
f share/man/man1/tessel.1.gz
f share/tessel/setup/EULA.txt
f share/tessel/setup/HPCPro/setup.exe
f share/tessel/setup/PalmSize/setup.exe
f share/tessel/setup/PocketPC/setup.exe
f share/tessel/setup/PocketPC2002/setup.exe
f share/tessel/setup/readme.txt
f share/tessel/setup/setup
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
if ! zcat "$installed/share/man/man1/tessel-setup.1.gz" | grep -qF "$prefix/share/tessel/setup/EULA.txt"; then
  echo "FAIL: tessel-setup(1) does not name $prefix/share/tessel/setup" >&2
  exit 1
fi
pass "both manual pages"
