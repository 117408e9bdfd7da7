#!/usr/bin/env bash
# What the selection form tells on a real terminal when a pass does not go
# as asked, each time in a message with the bell, the form back after a key:
#  - a document whose folder does not exist: the print program's exit code
#    and its own words;
#  - communities 7 to 9 (the demo has none): the empty selection, and no
#    spool handed to the print program;
#  - 31/07/2026 for community 1, settled up to 30/09/2026: the community is
#    named with its last settled date, and nothing is printed.
# Then, on a terminal made 60 x 20, the form acts on no key: Enter five
# times, "S", Enter, Esc, Esc are refused with the bell and neither print
# nor end anything; back at 80 x 25 the form is where it was and goes on.
# Usage: torbelan_form_failures_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"

# "S" on the confirmation, then the message with the bell and its key.
confirm_and_expect() {
  wait_for_screen "CONFORME (S/N) ?"
  send s
  wait_for_screen "◄SÍ►"
  clear_bell
  send Enter
  wait_for_words "$1"
  expect_bell
  send Enter
  poll "the message to go" words_lack "$1"
}

set_terminal Sortida "TXT:/nonexist/x.txt"
start_torbelan
wait_for_screen "F1 AJUDA"
send Enter Enter Enter Enter Enter
confirm_and_expect "EL PROGRAMA D'IMPRESSIÓ $ROOT/BIN/ZUDAVIVI HA ACABAT AMB EL CODI 2: no es pot crear el document /nonexist/x.txt"
wait_for_screen ": 311226"

send Enter C-y 7 Enter Enter C-y 9 Enter Enter
confirm_and_expect "CAP LIQUIDACIÓ A IMPRIMIR: LA SELECCIÓ NO TÉ CAP DEPARTAMENT"
[ -e "$ROOT/TERM01/zudavivi.tmp" ] && fail "a spool was left for the empty selection"

send C-y 310726 Enter C-y 1 Enter Enter C-y 1 Enter Enter
confirm_and_expect "COMUNITATS NO LIQUIDADES, LA DATA NO ÉS POSTERIOR A LA SEVA DARRERA LIQUIDACIÓ: 1 (30/9/2026). NO S'IMPRIMEIX RES"
wait_for_screen ": 310726"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"

# Too small a terminal: every key refused until it is big enough again.
set_terminal Sortida "TXT:$OUT"
harness_respawn "$(demo_env) '$TORBELAN'"
wait_for_screen "F1 AJUDA"
harness_resize 60 20
wait_for_screen "TERMINAL MASSA PETIT: CAL 80 x 25"
clear_bell
send Enter Enter Enter Enter Enter s Enter Escape Escape
expect_bell
sleep 1  # the rest of the keys, refused too
harness_resize 80 25
wait_for_screen "F1 AJUDA"
wait_for_cursor 7 38  # still on the date
screen_has "PROGRAM-ENDED" && fail "the keys typed on the small terminal ended the program"
screen_has "CONFORME" && fail "the keys typed on the small terminal reached the form"
[ -e "$OUT" ] && fail "the keys typed on the small terminal printed"
send Enter Enter Enter Enter Enter
confirm_and_print
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
grep -q "L'ERA D'EN PUJOL" "$OUT" || fail "community 1 is not in the printout"
echo "PASS"
