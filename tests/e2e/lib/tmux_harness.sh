# Helpers for whole-program tests in a real terminal: a private tmux server
# with one session of 80 x 25 (or $HARNESS_COLUMNS x $HARNESS_ROWS), polling
# for what should appear, and cleanup.
#
# Source it, then:
#   harness_start CMD...   start the session running CMD (in $WORK)
#   harness_resize COLUMNS ROWS
#                          resize the session's window (the program gets SIGWINCH)
#   wait_for_screen TEXT   poll the pane until TEXT appears (fails after a timeout)
#   wait_for_file_lines FILE N
#   wait_for_cursor ROW COL poll until the terminal's cursor is there (1-based)
#   screen                 the pane's text now; screen_colours: with SGR codes
#   send KEY...            tmux send-keys
#   clear_bell             forget a bell rung so far
#   expect_bell            poll until the program rings the bell
# Every test run uses its own server socket, so parallel runs never meet;
# the server and the work directory go away on exit.

set -u
# Characters, not bytes, in the pane and in bash's substrings.
export LC_ALL=C.UTF-8

command -v tmux >/dev/null || { echo "SKIP: tmux is not installed"; exit 77; }

WORK=$(mktemp -d /tmp/zul-e2e.XXXXXX)
SOCKET="zul-e2e-$$-$RANDOM"
TIMEOUT_S=${ZUL_E2E_TIMEOUT:-20}

harness_cleanup() {
  tmux -L "$SOCKET" kill-server 2>/dev/null || true
  rm -rf "$WORK"
}
trap harness_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- screen ---" >&2
  tmux -L "$SOCKET" capture-pane -p -t t >&2 2>/dev/null || true
  exit 1
}

# The terminal type the pane gets: the best one this machine describes.
pick_term() {
  for t in tmux-256color screen-256color screen; do
    if infocmp "$t" >/dev/null 2>&1; then echo "$t"; return; fi
  done
  echo xterm
}

# The pane's command: records the terminal modes before and after CMD and
# what CMD ended with, then idles so that the pane can still be read.
pane_command() {
  echo "cd '$WORK' && stty -a > '$WORK/stty.before'; env -u ZULCONSOLE TERM=$(pick_term) $*;" \
       "echo PROGRAM-ENDED rc=\$?; stty -a > '$WORK/stty.after.part' && mv '$WORK/stty.after.part' '$WORK/stty.after'; sleep 600"
}

harness_start() {
  tmux -u -L "$SOCKET" -f /dev/null new-session -d -s t -x "${HARNESS_COLUMNS:-80}" \
       -y "${HARNESS_ROWS:-25}" "$(pane_command "$@")"
  tmux -L "$SOCKET" set-option -g window-size manual >/dev/null 2>&1 || true
}

harness_resize() {
  tmux -L "$SOCKET" resize-window -t t -x "$1" -y "$2" || fail "cannot resize the window to $1 x $2"
}

# Runs another command in the same pane (the old one is killed).
harness_respawn() {
  rm -f "$WORK/stty.before" "$WORK/stty.after" "$WORK/stty.after.part"
  tmux -L "$SOCKET" respawn-pane -k -t t "$(pane_command "$@")"
}

screen() { tmux -L "$SOCKET" capture-pane -p -t t; }
screen_colours() { tmux -L "$SOCKET" capture-pane -p -e -t t; }
send() { tmux -L "$SOCKET" send-keys -t t "$@"; }

# poll WHAT CMD...
. "$(dirname "${BASH_SOURCE[0]}")/poll.sh"

# The window's bell flag: set by a bell, cleared by clear_bell.
bell_rang() { [ "$(tmux -L "$SOCKET" display -p -t t '#{window_bell_flag}')" = 1 ]; }
clear_bell() { tmux -L "$SOCKET" kill-session -C -t t; }
expect_bell() { poll "the bell" bell_rang; }

screen_has() { screen | grep -qF -- "$1"; }
wait_for_screen() { poll "'$1' on the screen" screen_has "$1"; }
screen_lacks() { ! screen | grep -qF -- "$1"; }
wait_until_gone() { poll "'$1' to leave the screen" screen_lacks "$1"; }

file_has_lines() { [ -f "$1" ] && [ "$(wc -l < "$1")" -ge "$2" ]; }
wait_for_file_lines() { poll "$2 lines in $1" file_has_lines "$1" "$2"; }

cursor_is() {
  [ "$(tmux -L "$SOCKET" display -p -t t '#{cursor_y} #{cursor_x}')" = "$(($1 - 1)) $(($2 - 1))" ]
}
wait_for_cursor() { poll "the cursor at row $1 column $2" cursor_is "$1" "$2"; }

# Row N (1-based) of the pane.
screen_row() { screen | sed -n "${1}p"; }

# Checks that row ROW, from column COL on, reads TEXT.
expect_at() {
  local row=$1 col=$2 text=$3 line
  line=$(screen_row "$row")
  [ "${line:$((col - 1)):${#text}}" = "$text" ] ||
    fail "row $row column $col: expected '$text', got '${line:$((col - 1)):${#text}}'"
}

# Checks that TEXT on the screen directly follows an SGR sequence holding
# the parameter CODE (a colour, as the terminal was told to show it).
expect_sgr_before() {
  local code=$1 text=$2
  screen_colours | grep -qE $'\e'"\\[([0-9]+;)*${code}(;[0-9]+)*m${text}" ||
    fail "'$text' is not drawn with SGR $code"
}

# Checks that the program gave the terminal back as it found it.
expect_terminal_restored() {
  poll "the terminal modes after the program" test -f "$WORK/stty.after"
  cmp -s "$WORK/stty.before" "$WORK/stty.after" ||
    fail "terminal modes differ: $(diff "$WORK/stty.before" "$WORK/stty.after" | tr '\n' ' ')"
}
