#!/usr/bin/env bash
# The selection form of torbelan.exe under wine, on a real terminal (tmux):
# the defaults confirmed with "S" print the document the batch pass prints;
# F4 on a community field opens the list of communities, Alt+C the
# calendar, Esc closes each and ends the program with exit code 0.
# Usage: form_test.sh SOURCE WINDOWS_BUILD LINUX_BUILD
set -u
src=$1 win=$2 lin=$3
. "$src/tests/e2e/lib/tmux_harness.sh"
. "$src/tests/windows/lib/wine_demo.sh"
TIMEOUT_S=${ZUL_E2E_TIMEOUT:-60}  # wine starts slowly

ROOT="$WORK/root"
OUT="$ROOT/TERM01/LIQUIDACIO.TXT"
wine_demo "$ROOT"
sed -i "s|^Sortida=.*\r\$|Sortida=TXT:Z:$OUT\r|" "$ROOT/TERM01/BrolTerm.ini"

harness_start "$(wine_terminal "$ROOT")" \
  "ZULTODAY=20261208 wine '$win/report/torbelan.exe'"
wait_for_screen "F1 AJUDA   F4 LLISTA   ALT+C CALENDARI   ALT+X CALCULADORA   ESC SORTIR"
expect_at 7 36 ": 311226"

# F4 on the first community field: the list; Esc closes it.
send Enter
wait_for_cursor 10 38
send F4
wait_for_screen "═ COMUNITATS ═"
send Escape
wait_until_gone "═ COMUNITATS ═"
# Alt+C: the calendar; Esc closes it.
send M-c
wait_for_screen "OCTUBRE"
send Escape
wait_until_gone "OCTUBRE"

# The defaults: Enter through the fields, "S" on the confirmation.
send Enter Enter Enter Enter
wait_for_screen "CONFORME (S/N) ? ◄NO►"
send s
wait_for_screen "CONFORME (S/N) ? ◄SÍ►"
send Enter
poll "the printed document $OUT" test -f "$OUT"
wait_for_screen "25 LIQUIDACIONS, 26 PÀGINES"
send Enter
wait_until_gone "25 LIQUIDACIONS"
mv "$OUT" "$WORK/form.txt"
send Escape
poll "the program's end" screen_has "PROGRAM-ENDED rc=0"

# The batch pass of the same program over the same suite.
(cd "$ROOT/TERM01" && ZULROOT="Z:$ROOT/" ZULEXE="Z:$ROOT/BIN/" ZULTMP="Z:$ROOT/TERM01/" \
  ZULTODAY=20261208 wine "$win/report/torbelan.exe" --batch 31/12/2026 1.0 999.999 \
  </dev/null >/dev/null 2>&1) || fail "torbelan.exe --batch"
cmp -s "$WORK/form.txt" "$OUT" || fail "the form's document differs from the batch's"
echo "PASS"
