#!/usr/bin/env bash
# The print program's screen preview of the demo settlement, run by
# `torbelan --batch` with the screen as output device: on a 120 x 40
# terminal the whole page width shows and nothing is marked as cut; made
# 80 x 25 while it runs, the preview refits, a line whose amount lies past
# column 80 is marked "»" and the status line names the arrows, which bring
# the amount into view; in Spanish the status line reads "Página 10 de 26" at page 10 and
# fits the screen.
# Usage: zudavivi_preview_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
HARNESS_COLUMNS=120 HARNESS_ROWS=40
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
set_terminal Sortida PANTALLA

# The line of the screen holding TEXT (the first such line).
line_with() { screen | grep -F -m1 -- "$1"; }
row_count() { screen | wc -l; }

harness_start "$(demo_env) '$TORBELAN' --batch 31/12/2026 1.0 999.999"
wait_for_screen "Pàgina 1 de 26"
total=$(line_with "TOTAL DESPESES")
funds=$(line_with "TOTAL FONS")
[[ "$total" == *"...     131,18" ]] || fail "TOTAL DESPESES at 120 columns: '$total'"
[[ "$funds" == *"     180,00" ]] || fail "TOTAL FONS at 120 columns: '$funds'"
balance=$(line_with "RÒSSEC ANTERIOR")
[[ "$balance" =~ PROPIETARI\ +0,00$ ]] || fail "the balance at 120 columns: '$balance'"
screen | grep -qF "»" && fail "a line is marked as cut on a 120-column terminal"
screen | grep -qF "columnes" && fail "the status line speaks of columns with nothing cut"
status=$(screen_row 40)
[[ "$status" == " Pàgina 1 de 26  línies 1-39/66  ↑ ↓  PgUp PgDn  Esc surt"* ]] ||
  fail "status line at 120 x 40: '$status'"
# 39 lines of the page: the letterhead's first line on row 1.
expect_at 1 1 "JOSEP M. CASTELLS I VIDAL"

harness_resize 80 25
wait_for_screen "columnes 1-80/96"
status=$(screen_row 25)
[[ "$status" == " Pàgina 1 de 26  línies 1-24/66  columnes 1-80/96  ← → ↑ ↓  PgUp PgDn  Esc surt"* ]] ||
  fail "status line at 80 x 25: '$status'"
[ "${#status}" -le 80 ] || fail "the status line is wider than the terminal: ${#status}"
# The carried-over balance stands in columns 75-84: cut, and marked.
balance=$(line_with "RÒSSEC ANTERIOR")
[[ "$balance" =~ PROPIETARI\ +»$ ]] || fail "the cut balance line is not marked: '$balance'"
[ "${#balance}" -eq 80 ] || fail "the mark is not in the last column: '$balance'"
line_with "PARTICIPACIÓ DESPESES  < A >" | grep -q "»" && fail "a whole line is marked as cut"
send Right Right
wait_for_screen "columnes 17-96/96"
balance=$(line_with "RÒSSEC ANTERIOR")
[[ "$balance" =~ PROPIETARI\ +0,00$ ]] || fail "the balance scrolled into view: '$balance'"
# Text hidden past the left edge is marked too.
[ "$(screen_row 1)" = "« I VIDAL$(printf '%*s' 59 '')PÀGINA    1" ] ||
  fail "the first line scrolled across: '$(screen_row 1)'"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
# The modes as they were, but for the size the window was given meanwhile.
poll "the terminal modes after the program" test -f "$WORK/stty.after"
cmp -s <(sed 1d "$WORK/stty.before") <(sed 1d "$WORK/stty.after") ||
  fail "terminal modes differ: $(diff "$WORK/stty.before" "$WORK/stty.after" | tr '\n' ' ')"

# Spanish, 80 x 25, page 10.
set_terminal Idioma SPA
harness_respawn "$(demo_env) '$TORBELAN' --batch 31/12/2026 1.0 999.999"
wait_for_screen "Página 1 de 26"
send PageDown PageDown PageDown PageDown PageDown PageDown PageDown PageDown PageDown
wait_for_screen "Página 10 de 26"
status=$(screen_row 25)
[[ "$status" == " Página 10 de 26  líneas 1-24/66  ← → ↑ ↓  PgUp PgDn  Esc salir"* ]] ||
  fail "Spanish status line at page 10: '$status'"
send End
wait_for_screen "Página 26 de 26"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
echo "PASS"
