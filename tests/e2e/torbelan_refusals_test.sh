#!/usr/bin/env bash
# What the selection form refuses on a real terminal: an impossible date is
# edited again; a first community after the last is told with the bell and
# keeps screen 1; "N" on the confirmation returns to screen 1 with the
# values kept and prints nothing; the calendar (Alt+C) types a date into the
# field.
# Usage: torbelan_refusals_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
start_torbelan
wait_for_screen "F1 AJUDA"

# 31/02/2026 typed over the proposed date: refused, the same field again
# (what is typed next lands in it).
send 3 1 / 0 2 / 2 0 2 6
wait_for_screen ": 31/02/2026"
send Enter Home 0
wait_for_screen ": 01/02/2026"
expect_at 10 36 ": 1   "
send Enter
wait_for_screen ": 1/2/2026"

# First community 3, last 2: said, with the bell; a key, and the form
# stays, back on the first field.
clear_bell
send C-y 3 Enter Enter C-y 2 Enter Enter
wait_for_words "EL PRIMER DEPARTAMENT 3.0 VA DESPRÉS DE L'ÚLTIM 2.999"
expect_bell
screen_has "CONFORME" && fail "the confirmation was asked for a first community after the last"
send Enter
wait_until_gone "VA DESPRÉS"
send Home 2
wait_for_screen ": 21/02/2026"

# Last community 9: the confirmation; "N" returns with the values kept.
send Enter Down Down C-y 9 Enter Enter
wait_for_screen "CONFORME (S/N) ? ◄NO►"
send n Enter
wait_until_gone "CONFORME"
wait_for_screen ": 21/02/2026"
expect_at 10 36 ": 3   "
expect_at 12 36 ": 9   "
[ -e "$OUT" ] && fail "a document was printed after N"

# The calendar types its date into the field being edited, which goes on.
send M-c
wait_for_screen "DESEMBRE"
send f
wait_until_gone "DESEMBRE"
wait_for_screen ": 31/12/2026"
send Enter
wait_for_cursor 10 38  # on the first community
screen_has "CONFORME" && fail "the form ended after the calendar"

# Esc goes to the first field, Esc there leaves.
send Escape
wait_for_cursor 7 38
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
[ -e "$OUT" ] && fail "a document was printed"
echo "PASS"
