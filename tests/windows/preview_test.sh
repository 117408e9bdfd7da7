#!/usr/bin/env bash
# ZUDAVIVI.exe's screen preview under wine, on a real terminal (tmux): the
# settlement printed by torbelan.exe --batch with the screen as output
# device shows its first page and the status line; PgDn, End and PgUp move
# between pages; Esc ends both programs with exit code 0.
# Usage: preview_test.sh SOURCE WINDOWS_BUILD
set -u
src=$1 win=$2
. "$src/tests/e2e/lib/tmux_harness.sh"
. "$src/tests/windows/lib/wine_demo.sh"
TIMEOUT_S=${ZUL_E2E_TIMEOUT:-60}  # wine starts slowly

ROOT="$WORK/root"
wine_demo "$ROOT"
sed -i "s|^Sortida=.*\r\$|Sortida=PANTALLA\r|" "$ROOT/TERM01/BrolTerm.ini"

harness_start "$(wine_terminal "$ROOT")" \
  "ZULTODAY=20261208 wine '$win/report/torbelan.exe' --batch 31/12/2026 1.0 999.999"
wait_for_screen "Pàgina 1 de 26"
expect_at 1 1 "JOSEP M. CASTELLS I VIDAL"
status=$(screen_row 25)
[[ "$status" == " Pàgina 1 de 26  línies 1-24/66  columnes 1-80/96  ← → ↑ ↓  PgUp PgDn  Esc surt"* ]] ||
  fail "status line: '$status'"
send PageDown
wait_for_screen "Pàgina 2 de 26"
# End as the xterm sequence: wine's console reads no key from the one tmux
# sends for it.
send -l $'\e[F'
wait_for_screen "Pàgina 26 de 26"
send PageUp
wait_for_screen "Pàgina 25 de 26"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
echo "PASS"
