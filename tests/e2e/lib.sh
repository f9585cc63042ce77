# Shared helpers of the end-to-end tests: the real programs run in a tmux
# session of 80x24 cells (E2E_COLS x E2E_ROWS when set); keys go in with
# send-keys and the screen comes back with capture-pane.
set -euo pipefail

if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed" >&2
  exit 77
fi

E2E_SOCKET="tessel-e2e-$$"
E2E_SESSION="e2e"
E2E_TMP="$(mktemp -d /tmp/tessel-e2e.XXXXXX)"
# The programs' state folder (where a copy goes that has no other place),
# kept out of the user's home and out of the test's folder.
E2E_STATE="$E2E_TMP.state"

e2e_cleanup() {
  # The programs still running get SIGHUP from the server's end and may
  # write their unsaved text into the folder: they are waited for (a few
  # seconds at most) before it goes.
  local pids shell pid i alive
  pids="$(tmux -L "$E2E_SOCKET" list-panes -a -F '#{pane_pid}' 2>/dev/null || true)"
  for shell in $pids; do
    pids="$pids $(pgrep -P "$shell" | tr '\n' ' ' || true)"
  done
  tmux -L "$E2E_SOCKET" kill-server >/dev/null 2>&1 || true
  for ((i = 0; i < 100; i++)); do
    alive=
    for pid in $pids; do
      kill -0 "$pid" 2>/dev/null && alive=1
    done
    [ -z "$alive" ] && break
    sleep 0.05
  done
  rm -rf "$E2E_TMP" "$E2E_STATE"
}
trap e2e_cleanup EXIT

# start CMD...: runs a command in a fresh terminal, 80x24 unless E2E_COLS
# and E2E_ROWS say otherwise.
start() {
  tmux -L "$E2E_SOCKET" -f /dev/null new-session -d -s "$E2E_SESSION" -x "${E2E_COLS:-80}" -y "${E2E_ROWS:-24}" \
    "$(e2e_command "$@")"
}

# restart CMD...: ends what runs in the terminal, if anything, and runs CMD
# there afresh.
restart() {
  if tmux -L "$E2E_SOCKET" has-session -t "$E2E_SESSION" 2>/dev/null; then
    tmux -L "$E2E_SOCKET" respawn-pane -k -t "$E2E_SESSION" "$(e2e_command "$@")"
  else
    start "$@"
  fi
}

# The shell command that runs CMD... in the test's folder and then says how
# it ended.
e2e_command() {
  local cmd
  printf -v cmd '%q ' "$@"
  echo "cd $(printf %q "$E2E_TMP") && TERM=xterm-256color LANG=C.UTF-8 XDG_STATE_HOME=$(printf %q "$E2E_STATE") $cmd; echo \"[exited \$?]\"; sleep 30"
}

# forget_journals: drops the recovery journals an ended session kept, for
# tests about something else that start the same file again.
forget_journals() { rm -f "$E2E_STATE"/tessel/*.journal; }

# program_pid: the process id of the program running in the terminal (the
# child of the pane's shell).
program_pid() {
  local shell pid
  shell="$(tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" '#{pane_pid}')"
  pid="$(pgrep -P "$shell" | head -n 1)"
  if [ -z "$pid" ]; then
    echo "FAIL: no program runs in the terminal" >&2
    exit 1
  fi
  echo "$pid"
}

# quit_unsaved NAME: Ctrl+Q, No at the save prompt for the document NAME
# (a regular expression), and the program's end.
quit_unsaved() {
  keys C-q
  wait_for "Save changes to $1\\?"
  click_text 'No'
  wait_for '\[exited 0\]'
}

# signal_program SIGNAL: sends the signal to the program running in the
# terminal, as kill does.
signal_program() {
  local pid
  pid="$(program_pid)" || exit 1
  kill -s "$1" "$pid"
}

# wait_file FILE [SECONDS]: waits until the file exists.
wait_file() {
  local i
  for ((i = 0; i < ${2:-10} * 20; i++)); do
    [ -e "$1" ] && return 0
    sleep 0.05
  done
  echo "FAIL: $1 never appeared" >&2
  exit 1
}

# session NAME: later start, keys and screen work on a new session NAME
# beside the earlier ones (the server, and what ran there, stay).
session() { E2E_SESSION="$1"; }

keys() { tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" "$@"; }
# literal TEXT: types the text as it stands.
literal() { tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" -l "$1"; }
screen() { tmux -L "$E2E_SOCKET" capture-pane -p -t "$E2E_SESSION"; }
# row N: line N (from 1) of the screen.
row() { screen | sed -n "${1}p"; }

# paste_text FILE [plain]: pastes the file's text as a terminal does: bracketed
# (between the start and end markers), or as plain typing with "plain".
# Line ends arrive as CR, as tmux sends them.
paste_text() {
  tmux -L "$E2E_SOCKET" load-buffer "$1"
  if [ "${2:-}" = plain ]; then
    tmux -L "$E2E_SOCKET" paste-buffer -d -t "$E2E_SESSION"
  else
    tmux -L "$E2E_SOCKET" paste-buffer -d -p -t "$E2E_SESSION"
  fi
}

# wait_for REGEX [SECONDS]: waits until the screen matches.
wait_for() {
  local pattern="$1" limit="${2:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if screen | grep -qE -- "$pattern"; then
      return 0
    fi
    sleep 0.05
  done
  echo "FAIL: the screen never showed /$pattern/:" >&2
  screen >&2
  exit 1
}

# wait_row ROW REGEX [SECONDS]: waits until row ROW (0-based) matches.
wait_row() {
  local row="$1" pattern="$2" limit="${3:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if screen | sed -n "$((row + 1))p" | grep -qE -- "$pattern"; then
      return 0
    fi
    sleep 0.05
  done
  echo "FAIL: row $row never showed /$pattern/:" >&2
  screen >&2
  exit 1
}

# wait_gone REGEX [SECONDS]: waits until the screen no longer matches.
wait_gone() {
  local pattern="$1" limit="${2:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if ! screen | grep -qE -- "$pattern"; then
      return 0
    fi
    sleep 0.05
  done
  echo "FAIL: the screen still shows /$pattern/:" >&2
  screen >&2
  exit 1
}

# expect_bytes FILE HEX: the file holds exactly these bytes (as xxd -p prints them).
expect_bytes() {
  local got
  got="$(xxd -p "$1" | tr -d '\n')"
  if [ "$got" != "$2" ]; then
    echo "FAIL: $1 holds $got, expected $2" >&2
    exit 1
  fi
}

pass() { echo "PASS: $1"; }

# within_5s COMMAND...: runs the command every 50 ms until it succeeds, for
# at most 5 seconds; fails if it never does.
within_5s() {
  local i
  for ((i = 0; i < 100; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# click X Y: a left click on the cell (0-based), sent as the terminal's
# mouse report (SGR encoding) would arrive.
click() {
  local x=$(( $1 + 1 )) y=$(( $2 + 1 ))
  literal $'\e'"[<0;${x};${y}M"
  literal $'\e'"[<0;${x};${y}m"
}

# wheel X Y NOTCHES: turns the mouse wheel over the cell (0-based), away
# from the user (up) for a positive count, towards the user (down) for a
# negative one; one report a notch, in the SGR encoding.
wheel() {
  local x=$(( $1 + 1 )) y=$(( $2 + 1 )) n="$3" button=64 i
  if [ "$n" -lt 0 ]; then
    button=65
    n=$(( -n ))
  fi
  for ((i = 0; i < n; i++)); do
    literal $'\e'"[<${button};${x};${y}M"
  done
}

# click_text TEXT [DX]: clicks the first cell of the first place TEXT
# shows, or DX cells to the right of it.
click_text() {
  local found row line prefix
  found="$(screen | grep -nF -- "$1" | head -n 1)" || true
  if [ -z "$found" ]; then
    echo "FAIL: nothing on the screen reads '$1':" >&2
    screen >&2
    exit 1
  fi
  row=$(( ${found%%:*} - 1 ))
  line="${found#*:}"
  prefix="${line%%"$1"*}"
  click $(( ${#prefix} + ${2:-0} )) "$row"
}

# setup_to_first_installer: drives a started setup as a person would:
# agrees, chooses the first platform, continues; then waits for that
# platform's installer to speak and for setup to have ended with status 0.
setup_to_first_installer() {
  wait_for 'END-USER LICENSE AGREEMENT'
  wait_for 'TESSEL END-USER LICENSE AGREEMENT'
  keys Enter
  wait_for 'Select your platform:'
  keys Tab Down
  wait_for 'Pocket PC 2002'
  keys Tab Enter
  wait_for 'Tessel setup for Pocket PC 2002'
  wait_for '\[exited 0\]'
}

# man_page_clean PAGE: the manual page (compressed or not) has no groff
# warning, even at the warning level -ww, and man shows it.
man_page_clean() {
  local warnings
  warnings="$(zcat -f "$1" | groff -man -ww -z 2>&1)"
  if [ -n "$warnings" ]; then
    echo "FAIL: groff warns about $1:" >&2
    echo "$warnings" >&2
    exit 1
  fi
  if ! MANWIDTH=80 man -l "$1" 2>&1 | grep -q '^NAME'; then
    echo "FAIL: man -l does not show $1" >&2
    exit 1
  fi
}
