#!/usr/bin/env bash
# The calendar and the calculator from a key wait on a real terminal (tmux),
# over the pop-up probe's two fields: Alt+C, PgDn and F type the date into
# the first field, a second Alt+C inside the calendar opens nothing;
# Alt+X, 5 + 3 = and F type 800 into the second field; the calculator's
# tape is there again at the next opening and after the program starts
# again.
# Usage: popups_test.sh PATH/TO/popup_probe
set -u
PROBE=$1
. "$(dirname "$0")/lib/tmux_harness.sh"

TERMDIR="$WORK/TERM01"
mkdir -p "$TERMDIR"
printf '[Terminal]\r\nDir=%s/\r\n' "$TERMDIR" > "$TERMDIR/Sessio.ini"
printf '[Sistema]\r\nData=20250131\r\nIdioma=CAT\r\n' > "$TERMDIR/BrolTerm.ini"
OUT="$WORK/fields"
RUN="ZULTMP='$TERMDIR/' '$PROBE' '$OUT'"

harness_start "$RUN"
wait_for_screen "POPUP PROBE READY"

# The calendar, on the working date 31/01/2025.
send M-c
wait_for_screen "GENER"
expect_at 1 59 "┌─────── 2025 ───────┐"
expect_at 2 60 "DL DT DC DJ DV DS DG"
expect_at 8 60 "27 28 29 30 31"
send M-c        # inside the calendar: nothing
send NPage      # 30 April: April to June
wait_for_screen "ABRIL"
expect_at 8 60 "28 29 30"
send F
wait_until_gone "ABRIL"
wait_for_screen "DATA:   [30/4/2025"

# The calculator, in the second field.
send Enter
send M-x
wait_for_screen "└────────────────────────┘"
expect_at 23 1 "┌────────────────────────┐"
send 5 + 3 =
wait_for_screen "3 = │"
expect_at 20 1 "│                    5 + │"
expect_at 22 1 "│                    8   │"
expect_at 24 1 "│                    8   │"
send F
wait_for_screen "IMPORT: [800"
wait_until_gone "└"

# The next opening shows the tape again.
send M-x
wait_for_screen "5 + │"
expect_at 21 1 "│                    3 = │"
send Escape
wait_until_gone "5 + │"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
[ "$(cat "$OUT")" = "$(printf 'DATA=30/4/2025 \nIMPORT=800')" ] ||
  fail "fields: $(cat "$OUT" | tr '\n' '|')"
[ -f "$TERMDIR/ZULCALC.TMP" ] || fail "no state file in the terminal directory"

# After the program starts again, the tape is still there.
harness_respawn "$RUN"
wait_for_screen "POPUP PROBE READY"
send M-x
wait_for_screen "5 + │"
expect_at 22 1 "│                    8   │"
send Escape
wait_until_gone "5 + │"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
echo "PASS: calendar and calculator"
