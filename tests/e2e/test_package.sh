#!/usr/bin/env bash
# The Debian package of the build, as cpack makes it: lintian finds nothing
# to say about it (no error, no warning), and it holds the programs, the
# desktop entry and the icon.
source "$(dirname "$0")/lib.sh"
build="$2"

for tool in cpack lintian dpkg-shlibdeps dpkg-deb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed" >&2
    exit 77
  fi
done

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/package" >/dev/null
deb="$(ls "$E2E_TMP"/package/tessel_*.deb)"
# lintian says on standard error that it runs as root; what it finds goes
# to standard output.
report="$(lintian "$deb" 2>/dev/null)" || { echo "FAIL: lintian failed on $deb: $report" >&2; exit 1; }
if [ -n "$report" ]; then
  echo "FAIL: lintian reports:" >&2
  echo "$report" >&2
  exit 1
fi
pass "lintian has nothing to say about the package"

contents="$(dpkg-deb -c "$deb")"
for file in ./usr/bin/tessel ./usr/bin/tessel-setup ./usr/lib/tessel/setup/setup ./usr/share/applications/tessel.desktop \
            ./usr/share/icons/hicolor/48x48/apps/tessel.png ./usr/share/doc/tessel/copyright; do
  grep -qF " $file" <<<"$contents" || { echo "FAIL: the package holds no $file" >&2; exit 1; }
done
pass "the package's files"
