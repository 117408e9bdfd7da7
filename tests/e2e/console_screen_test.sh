#!/usr/bin/env bash
# The terminal back end draws the console model on a real terminal (tmux,
# 80 x 25): code page 850 frames and accents as Unicode, the 16 console
# colours, the window stack; a resize below 80 x 25 shows a clear message
# and growing back redraws the screen from the model.
# Usage: console_screen_test.sh PATH/TO/console_draw_probe
set -u
PROBE=$1
. "$(dirname "$0")/lib/tmux_harness.sh"

harness_start "'$PROBE' '$WORK'"
wait_for_screen "Espereu: el fitxer està bloquejat"

expect_at 1 1 "ZUL CONSOLE PROBE"
expect_at 5 1 "Liquidació pàg. Ñ € ½"
expect_at 6 1 "◄ opcio ►"
expect_at 25 71 "CANTONADA!"
expect_at 8 10 "╔═══════════════════════════════════════╗"
expect_at 9 10 "║ Finestra doble                        ║"
expect_at 14 10 "╚═══════════════════════════════════════╝"
# The message box: one line of 33 characters centred on column 41.
expect_at 17 22 "┌───────────────────────────────────┐"
expect_at 18 22 "│ Espereu: el fitxer està bloquejat │"
expect_at 19 22 "└───────────────────────────────────┘"

# Console colours 1 blue, 4 red, 9 bright blue, 12 bright red; ANSI puts
# blue at 4 and red at 1.
expect_sgr_before 34 F01
expect_sgr_before 31 F04
expect_sgr_before 32 F02
expect_sgr_before 33 F06
expect_sgr_before 94 F09
expect_sgr_before 91 F12
expect_sgr_before 44 B01
expect_sgr_before 41 B04
expect_sgr_before 104 B09

# Popping the message restores what it covered; popping the framed window
# too. The window stack file is gone once both are popped.
[ -f "$WORK/WinPush.tmp" ] || fail "no window stack file while windows are open"
send p
wait_until_gone "Espereu"
expect_at 9 10 "║ Finestra doble"
send p
wait_until_gone "Finestra doble"
[ -z "$(screen_row 8 | tr -d ' ')" ] || fail "row 8 not blank after the pops"
[ -f "$WORK/WinPush.tmp" ] && fail "window stack file left after the last pop"

# Too small: a message instead of a garbled screen; back to size: redrawn.
tmux -L "$SOCKET" resize-window -t t -x 60 -y 20
wait_for_screen "Terminal too small: 80 x 25 needed"
wait_until_gone "ZUL CONSOLE PROBE"
tmux -L "$SOCKET" resize-window -t t -x 80 -y 25
wait_for_screen "ZUL CONSOLE PROBE"
expect_at 5 1 "Liquidació pàg. Ñ € ½"
screen_has "Terminal too small" && fail "size message left after the resize"

send q
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
echo "PASS"
