#!/usr/bin/env bash
# The selection form prints to the device of one document per department
# as to any other the terminal's Sortida names: community 3 confirmed with
# "S" gives one text document per department and their index, and the
# message after the pass names the folder and the number of documents.
# Usage: torbelan_each_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
FOLDER="$WORK/each"
set_terminal Sortida "TXT-EACH:$FOLDER"
OUT="$FOLDER/index.csv"  # the last file of the folder to take its name
start_torbelan
wait_for_screen "LIQUIDACIONS DE COMUNITATS"
send Down 3 Enter Enter C-y 3 Enter Enter
confirm_and_print "6 LIQUIDACIONS, 6 PÀGINES: 6 DOCUMENTS DE TEXT A LA CARPETA $FOLDER"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"

[ "$(ls "$FOLDER" | grep -c '^0003-000[1-6]_.*\.txt$')" -eq 6 ] ||
  fail "not one document per department of community 3: $(ls "$FOLDER")"
[ "$(ls "$FOLDER" | wc -l)" -eq 7 ] || fail "more than the documents and the index: $(ls "$FOLDER")"
[ "$(grep -c '^0003,"RAMBLA NOVA, 23",000[1-6],' "$OUT")" -eq 6 ] ||
  fail "the index does not list the six departments: $(cat "$OUT")"
grep -q "DEL DEPARTAMENT (6) 4t MIQUEL BATLLE" "$FOLDER/0003-0006_MIQUEL_BATLLE.txt" ||
  fail "department 6 is not in its document"
echo "PASS"
