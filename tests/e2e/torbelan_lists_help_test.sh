#!/usr/bin/env bash
# Browse lists and help in the selection form on a real terminal, on the
# demo root:
#  - F4 on the first community lists the three demo communities; Down and
#    Enter put the second one's number in the field and the cursor moves on
#    to the department;
#  - F4 on the first department lists only the departments of the community
#    now in the field; on the last department those of the last community;
#    Esc leaves a list with the screen as it was;
#  - F1 shows the report's help topic, F1 inside it the general topic (and
#    no further one), Esc twice returns to the field with the screen as it
#    was.
# Usage: torbelan_lists_help_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
start_torbelan
wait_for_screen "F1 AJUDA   F4 LLISTA   ALT+C CALENDARI   ALT+X CALCULADORA   ESC SORTIR"
send Enter
wait_for_cursor 10 38

# The communities (list 1: rows 5-20, columns 20-61).
send F4
wait_for_screen "╔═══ COMUNITATS ═"
expect_at 6 20 "│001  ERA D'EN PUJOL*L'"
expect_at 7 20 "│002  MOLÍ VELL*EL"
expect_at 8 20 "│003  RAMBLA NOVA, 23"
expect_at 9 20 "│                                        │"
send Down Enter
wait_until_gone "═ COMUNITATS ═"
expect_at 10 36 ": 002"
wait_for_cursor 10 64

# The departments of community 2, and of nothing else.
before=$(screen)
send F4
wait_for_screen "╔═══ DEPARTAMENTS ═"
expect_at 6 13 "001  BOSCH I PLANAS*JAUME"
expect_at 14 13 "009  FORN DEL MOLÍ, S.L.*EL"
expect_at 15 13 "     "
screen_has "PUJOL I FERRER" && fail "community 1's departments in community 2's list"
screen_has "SALA*PAU" && fail "community 3's departments in community 2's list"
send Escape
wait_until_gone "DEPARTAMENTS"
[ "$(screen)" = "$before" ] || fail "the screen after Esc in the list differs"
wait_for_cursor 10 64

# The last community 3 (C-y clears the field), and its departments on F4.
send Enter C-y 3 Enter
wait_for_cursor 12 64
send F4
wait_for_screen "╔═══ DEPARTAMENTS ═"
expect_at 6 13 "001  SALA*PAU"
expect_at 11 13 "006  BATLLE*MIQUEL"
expect_at 12 13 "     "
screen_has "BOSCH I PLANAS" && fail "community 2's departments in community 3's list"
send Escape
wait_until_gone "DEPARTAMENTS"

# Help: the report's topic, then the general one; back to the field.
before=$(screen)
send F1
wait_for_screen "║ DETALL DE LIQUIDACIONS"
expect_at 4 1 "╔════"
expect_at 22 1 "╚════"
screen_has "Aquest programa imprimeix" || fail "the report's help text is not shown"
send F1
wait_for_screen "AJUDA GENERAL DELS PROGRAMES"
send F1 Escape
wait_for_screen "Aquest programa imprimeix"
send Escape
wait_until_gone "Aquest programa imprimeix"
[ "$(screen)" = "$before" ] || fail "the screen after the help differs"
wait_for_cursor 12 64

send Escape Escape Escape Escape Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
[ -e "$ROOT/TERM01/Browse.tmp" ] && fail "the browse cache was left behind"
echo "PASS"
