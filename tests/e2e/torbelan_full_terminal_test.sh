#!/usr/bin/env bash
# The terminal's folder full (a filled 64 KiB tmpfs; needs root, else
# skipped) under the form: F1 and F4 open after a message naming
# WinPush.tmp, F4 then tells that Browse.tmp cannot be written; the
# confirmation window stands in its place (rows 15-19), not over the
# heading; "S" shows the spool's message; Esc ends the program with 0.
# Usage: torbelan_full_terminal_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"

FULL="$WORK/full"
mkdir -p "$FULL"
mount -t tmpfs -o size=64k zul-full "$FULL" 2>/dev/null ||
  { echo "SKIP: cannot mount a tmpfs (needs root)"; exit 77; }
trap 'tmux -L "$SOCKET" kill-server 2>/dev/null; umount "$FULL"; harness_cleanup' EXIT
cp "$ROOT/TERM01/Sessio.ini" "$ROOT/TERM01/BrolTerm.ini" "$FULL/"
sed -i "s|^Dir=.*\r\$|Dir=$FULL\r|" "$FULL/Sessio.ini"
head -c 1M /dev/zero > "$FULL/filler" 2>/dev/null
harness_start "ZULROOT='$ROOT/' ZULEXE='$ROOT/BIN/' ZULTMP='$FULL/' ZULTODAY=20261208 '$TORBELAN'"
wait_for_screen "F1 AJUDA   F4 LLISTA   ALT+C CALENDARI   ALT+X CALCULADORA   ESC SORTIR"

# Waits for the message about one file of the folder, and answers it.
expect_file_message() {
  wait_for_screen "NO ES POT ESCRIURE EL FITXER $FULL/$1"
  screen_has "PLE O NO S'HI POT ESCRIURE" || fail "the message does not say why"
  send Enter
  wait_until_gone "$FULL/$1"
}

send F1
expect_file_message WinPush.tmp
wait_for_screen "║ DETALL DE LIQUIDACIONS"
send Escape
wait_until_gone "║ DETALL DE LIQUIDACIONS"

send Enter
wait_for_cursor 10 38
send F4
expect_file_message WinPush.tmp
expect_file_message Browse.tmp
# The cache took no line: the list is empty.
expect_at 6 20 "│                                        │"
send Escape
wait_until_gone "═ COMUNITATS ═"

send Enter Enter Enter Enter
expect_file_message WinPush.tmp
wait_for_screen "CONFORME (S/N) ?"
expect_at 17 28 "CONFORME (S/N) ?"
expect_at 3 29 "DETALL DE LIQUIDACIONS"
send s
wait_for_screen "◄SÍ►"
send Enter
wait_for_screen "NO ES POT ESCRIURE EL FITXER D'IMPRESSIÓ"
screen_has "$FULL/zudavivi.tmp" || fail "the spool's message does not name it"
send Enter
wait_until_gone "D'IMPRESSIÓ"
wait_for_screen ": 311226"
send Escape Escape Escape Escape Escape
wait_for_screen "PROGRAM-ENDED rc=0"
ls "$FULL" | grep -qv '^\(filler\|Sessio.ini\|BrolTerm.ini\)$' &&
  fail "files were left in the terminal's folder: $(ls "$FULL" | tr '\n' ' ')"
echo "PASS"
