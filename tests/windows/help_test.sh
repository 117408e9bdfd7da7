#!/usr/bin/env bash
# torbelan.exe's form under wine on a real terminal (tmux), where the
# session runs as "WIN": F1 starts the suite's help launcher through the
# command interpreter (COMSPEC /C QOVIRE AJUDA\topic.HTM, here a batch file
# that waits for a sign) and the form goes on without waiting for it, the
# launcher outliving the program; Ctrl+C does not end the program.
# Usage: help_test.sh SOURCE WINDOWS_BUILD
set -u
src=$1 win=$2
. "$src/tests/e2e/lib/tmux_harness.sh"
. "$src/tests/windows/lib/wine_demo.sh"
TIMEOUT_S=${ZUL_E2E_TIMEOUT:-60}  # wine starts slowly

ROOT="$WORK/root"
wine_demo "$ROOT"
# The launcher, found by the command interpreter in the current folder
# (the suite root, where torbelan.exe works): it notes its page, then
# waits for stop.txt (or for the root to go).
printf '%s\r\n' '@echo off' 'echo %1>launched.txt' ':wait' 'if exist stop.txt goto end' 'if not exist QOVIRE.BAT goto end' \
  'ping -n 2 127.0.0.1 >NUL' 'goto wait' ':end' 'echo done>ended.txt' >"$ROOT/QOVIRE.BAT"
on_end() { touch "$ROOT/stop.txt"; }
trap 'on_end; harness_cleanup' EXIT

form="ZULTODAY=20261208 wine '$win/report/torbelan.exe'"
harness_start "$(wine_terminal "$ROOT")" "$form"
wait_for_screen "F1 AJUDA   F4 LLISTA"
expect_at 7 36 ": 311226"
send F1
poll "the help launcher's start" test -s "$ROOT/launched.txt"
grep -q '^AJUDA\\[A-Z0-9]*\.HTM' "$ROOT/launched.txt" ||
  fail "the launcher got '$(cat "$ROOT/launched.txt")'"
# The form answers while the launcher runs; Ctrl+C, which wine's console
# raises as an interrupt, leaves it running: Alt+C opens the calendar.
send C-c M-c
wait_for_screen "OCTUBRE"
send Escape
wait_until_gone "OCTUBRE"
send Escape
poll "the program's end" screen_has "PROGRAM-ENDED rc=0"
[ -e "$ROOT/ended.txt" ] && fail "the launcher ended before the sign: the program waited for it"
touch "$ROOT/stop.txt"
poll "the launcher's end" test -e "$ROOT/ended.txt"
echo "PASS"
