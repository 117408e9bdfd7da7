#!/usr/bin/env bash
# What the operator sees on a real terminal when the suite's files are not
# as they should be; each time the message names the file, one key ends the
# program with exit code 5 (nothing useful happened) and the terminal as it
# was, and nothing is written over the files:
#  - no DADES directory: the access message for the first data file, with
#    the record manager's status, and no directory made;
#  - a damaged data file (random bytes): the access message for it, and the
#    file left byte for byte as it was;
#  - no form file: the form file message;
#  - no message catalogue (a Spanish session): the form and the printout in
#    the program's own Catalan texts, printed as usual.
# Usage: torbelan_faults_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"

# Starts the program (again) and expects the message (and the further text
# given, on the screen with it); one key leaves.
expect_message_and_exit() {
  if [ -e "$WORK/stty.before" ]; then
    harness_respawn "$(demo_env) '$TORBELAN'"
  else
    start_torbelan
  fi
  wait_for_screen "$1"
  [ $# -lt 2 ] || screen_has "$2" || fail "'$2' is not on the screen with the message"
  screen_has "LIQUIDACIONS DE COMUNITATS" && fail "the form is shown behind the message"
  send Enter
  wait_for_screen "PROGRAM-ENDED rc=5"
  expect_terminal_restored
}

mv "$ROOT/DADES" "$ROOT/DADES.away"
expect_message_and_exit "NO ES POT ACCEDIR AL FITXER $ROOT/DADES/TDespesa.dat (25)"
[ -e "$ROOT/DADES" ] && fail "a DADES directory was made"
mv "$ROOT/DADES.away" "$ROOT/DADES"

cp "$ROOT/DADES/PropietH.dat" "$WORK/PropietH.good"
rm -f "$ROOT"/DADES/PropietH.dat-*
head -c 20000 /dev/urandom >"$ROOT/DADES/PropietH.dat"
cp "$ROOT/DADES/PropietH.dat" "$WORK/PropietH.damaged"
expect_message_and_exit "NO ES POT ACCEDIR AL FITXER $ROOT/DADES/PropietH.dat (30)"
cmp -s "$ROOT/DADES/PropietH.dat" "$WORK/PropietH.damaged" || fail "the damaged file was changed"
cp "$WORK/PropietH.good" "$ROOT/DADES/PropietH.dat"

mv "$ROOT/FORMS/TORBELAN.JPN" "$WORK/TORBELAN.JPN"
expect_message_and_exit "NO ES POT LLEGIR EL FITXER DE FORMULARI" "TORBELAN.JPN"
mv "$WORK/TORBELAN.JPN" "$ROOT/FORMS/TORBELAN.JPN"

rm "$ROOT/LOCALE/TORBELAN.LNG"
set_terminal Idioma SPA
harness_respawn "$(demo_env) '$TORBELAN'"
wait_for_screen "F1 AJUDA   F4 LLISTA   ALT+C CALENDARI   ALT+X CALCULADORA   ESC SORTIR"
send Enter Enter Enter Enter Enter
confirm_and_print "DOCUMENTO DE TEXTO $OUT"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored
grep -q "DETALL DE LIQUIDACIÓ" "$OUT" || fail "the printout without a catalogue lacks its title"
grep -q "L'ERA D'EN PUJOL" "$OUT" || fail "the printout without a catalogue lacks community 1"
echo "PASS"
