#!/usr/bin/env bash
# Keys typed on a real terminal (tmux) reach the program as the console's
# key codes: function keys alone and with Shift, Ctrl and Alt, cursor and
# editing keys, Alt+letters, characters, a mouse click; an unknown escape
# sequence is dropped without stray characters.
# Usage: console_keys_test.sh PATH/TO/console_keys_probe
set -u
PROBE=$1
. "$(dirname "$0")/lib/tmux_harness.sh"

KEYS="$WORK/keys"
harness_start "'$PROBE' '$KEYS'"
wait_for_screen "KEYS READY"

count=0
# expect CODE TMUX-KEY-ARGS...: sends the key and checks the code recorded.
expect() {
  local want=$1; shift
  send "$@"
  count=$((count + 1))
  wait_for_file_lines "$KEYS" "$count"
  local got
  got=$(sed -n "${count}p" "$KEYS")
  [ "$got" = "$want" ] || fail "key '$*': expected $want, got $got"
}

expect 3b00 F1
expect 5400 S-F1
expect 6100 C-F4
expect 6900 M-F2
expect 4400 F10
expect 5d00 S-F10
expect 8500 F11
expect 8600 F12
expect 8800 S-F12
expect 8a00 C-F12
expect 8c00 M-F12
expect 7400 C-Right
expect 7300 C-Left
expect 7700 C-Home
expect 2d00 M-x
expect 2e00 M-c
expect 2100 M-f
expect 00d5 M-e
expect 4800 Up
expect 5000 Down
expect 4b00 Left
expect 4d00 Right
expect 4700 Home
expect 4f00 End
expect 4900 PPage
expect 5100 NPage
expect 5200 IC
expect 5300 DC
expect 0f00 BTab
expect 000d Enter
expect 001b Escape
expect 0009 Tab
expect 0008 BSpace
expect 0003 C-c
expect 0016 C-v
expect 0019 C-y
expect 0061 a
expect 0041 A
expect 0082 -l "é"
expect 00d5 -l "€"
# A sequence the console does not know vanishes whole.
send -l $'\e[99~'
expect 007a z
# A click of the left button at column 12, row 5 (SGR mouse report):
# 256 x 12 + 64 x 1 + 5.
expect 0c45 -l $'\e[<0;12;5M'
# Left Alt held over keypad End, PgDn, Ins (1, 3, 0) types character 130.
expect 0082 M-End M-NPage M-IC
expect 0071 q
wait_for_screen "PROGRAM-ENDED rc=0"
[ "$count" -eq "$(wc -l < "$KEYS")" ] || fail "stray key codes: $(cat "$KEYS" | tr '\n' ' ')"
echo "PASS: $count keys"
