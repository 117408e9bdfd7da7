#!/usr/bin/env bash
# The selection form on a real terminal prints what the batch pass prints:
# the defaults confirmed with "S" give the document of every department, a
# second selection in the same run a second document; after each a message
# names the document; Esc leaves with exit code 0 and the terminal as it
# was.
# Usage: torbelan_print_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
start_torbelan
wait_for_screen "LIQUIDACIONS DE COMUNITATS"
wait_for_screen "F1 AJUDA   F4 LLISTA   ALT+C CALENDARI   ALT+X CALCULADORA   ESC SORTIR"
expect_at 7 12 "DATA LIQUIDACIÓ"
expect_at 7 36 ": 311226"
expect_at 10 36 ": 1   "
expect_at 10 62 ": 0"
expect_at 12 36 ": 999 "
expect_at 12 62 ": 999"

# The defaults: Enter through the five fields, "S" on the confirmation.
send Enter Enter Enter Enter Enter
wait_for_screen "CONFORME (S/N) ? ◄NO►"
expect_at 7 38 "31/12/2026"
send s
wait_for_screen "CONFORME (S/N) ? ◄SÍ►"
send Enter
wait_for_document
# A message says where the document went; a key, and the form comes back
# with its values, editing the date again.
wait_for_words "25 LIQUIDACIONS, 26 PÀGINES: DOCUMENT DE TEXT $OUT"
send Enter
wait_for_screen ": 311226"
wait_until_gone "CONFORME"
mv "$OUT" "$WORK/first.txt"

# A second selection: community 3 only.
send Down 3 Enter Enter C-y 3 Enter Enter
confirm_and_print
expect_at 10 36 ": 3   "
expect_at 12 36 ": 3   "
mv "$OUT" "$WORK/second.txt"

send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
screen_has "LIQUIDACIONS DE COMUNITATS" && fail "the form was left on the screen"

batch_document 31/12/2026 1.0 999.999 "$WORK/batch1.txt"
cmp -s "$WORK/first.txt" "$WORK/batch1.txt" || fail "the form's document differs from the batch's"
grep -q "L'ERA D'EN PUJOL" "$WORK/first.txt" || fail "community 1 missing from the document"
grep -q "RAMBLA NOVA" "$WORK/first.txt" || fail "community 3 missing from the document"
batch_document 31/12/2026 3.0 3.999 "$WORK/batch2.txt"
cmp -s "$WORK/second.txt" "$WORK/batch2.txt" || fail "the second document differs from the batch's"
grep -q "PUJOL" "$WORK/second.txt" && fail "the second document holds community 1"
echo "PASS"
