#!/usr/bin/env bash
# The terminal is given back on every way out of the program (normal end,
# exit() from inside, a fatal signal) and handed to a child program while
# it runs, then taken back and redrawn from the model.
# Usage: console_handover_test.sh PATH/TO/console_draw_probe
set -u
PROBE=$1
. "$(dirname "$0")/lib/tmux_harness.sh"

harness_start "'$PROBE' '$WORK'"
wait_for_screen "Finestra doble"

# A child program gets the terminal (its output shows, ours is gone) ...
send c
wait_for_screen "CHILD-RAN"
wait_until_gone "Finestra doble"
touch "$WORK/go"
# ... and when it ends the screen comes back from the model.
wait_for_screen "Finestra doble"
wait_until_gone "CHILD-RAN"
expect_at 18 22 "│ Espereu: el fitxer està bloquejat │"
# Keys still arrive after the hand-back.
send p
wait_until_gone "Espereu"

# exit() from inside the program.
send x
wait_for_screen "PROGRAM-ENDED rc=3"
expect_terminal_restored
screen_has "ZUL CONSOLE PROBE" && fail "program screen left behind after exit()"

# A fatal signal.
rm -f "$WORK/pid"
harness_respawn "'$PROBE' '$WORK'"
wait_for_screen "Finestra doble"
poll "the probe's pid" test -s "$WORK/pid"
kill -TERM "$(cat "$WORK/pid")"
wait_for_screen "PROGRAM-ENDED rc=143"
expect_terminal_restored
screen_has "ZUL CONSOLE PROBE" && fail "program screen left behind after SIGTERM"
echo "PASS"
