#!/usr/bin/env bash
# NO_COLOR: the screen is drawn with attributes (reverse video for the bars)
# and no colour at all; without it, colours.
source "$(dirname "$0")/lib.sh"
tessel="$1"

# colour_codes: the SGR parameters of the screen's escape sequences that set
# a colour (30-38, 40-48, 90-97, 100-107), one a line.
colour_codes() {
  tmux -L "$E2E_SOCKET" capture-pane -e -p -t "$E2E_SESSION" | grep -oE $'\e\\[[0-9;]*m' |
    tr -d '\033[m' | tr ';' '\n' | grep -xE '3[0-8]|4[0-8]|9[0-7]|10[0-7]' || true
}
attributes() { tmux -L "$E2E_SOCKET" capture-pane -e -p -t "$E2E_SESSION" | grep -c $'\e\\[7m' || true; }

restart "$tessel"
wait_for 'Line 1'
if [ -z "$(colour_codes)" ]; then
  echo "FAIL: no colours without NO_COLOR" >&2
  exit 1
fi

restart env NO_COLOR=1 "$tessel"
wait_for 'Line 1'
# The menu opens, so its open item and the list show too.
keys F10
wait_for 'Save As'
if [ -n "$(colour_codes)" ] || [ "$(attributes)" -eq 0 ]; then
  echo "FAIL: NO_COLOR drew colours ($(colour_codes | sort -u | tr '\n' ' ')) or no reverse video:" >&2
  tmux -L "$E2E_SOCKET" capture-pane -e -p -t "$E2E_SESSION" | cat -v | head -5 >&2
  exit 1
fi
pass "NO_COLOR draws attributes only"
