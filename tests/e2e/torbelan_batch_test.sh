#!/usr/bin/env bash
# `torbelan --batch` without a terminal (standard input from /dev/null,
# standard output and error to files) when a data file cannot be opened:
# truncated, random bytes, another program's SQLite file, a directory, a
# file the user may not read. Each time the message naming the file is on
# standard error, the run ends with exit code 5, nothing is printed and the
# file is left as it was. A file that opens but fails a read during the pass
# gives exit code 5 too, and nothing printed. Started in the terminal's
# folder without ZULTMP, the pass prints. Then, in the form on a real terminal: a terminal
# too small gets its message in Catalan; a settlement
# date before the day after community 1's last settled date prints, and
# after the pass the message names the community charged no fees.
# Usage: torbelan_batch_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"

# Runs the batch pass without a terminal; sets $rc, the output in $WORK/err.
run_batch() {
  rc=0
  env ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" ZULTODAY=20261208 \
    "$TORBELAN" --batch 31/12/2026 1.0 999.999 </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
}

# Puts the damage (a command given the file's path) in place of PropietH,
# runs the pass, checks what it said and did, and puts the good file back.
expect_refused() {
  local what=$1; shift
  local file="$ROOT/DADES/PropietH.dat"
  rm -f "$OUT" "$ROOT"/DADES/PropietH.dat-* "$ROOT/TERM01/zudavivi.tmp"
  rm -rf "$file"
  "$@" "$file"
  local before
  before=$(ls -ld "$file"; [ -f "$file" ] && md5sum <"$file")
  run_batch
  [ "$rc" -eq 5 ] || fail "$what: exit code $rc, not 5: $(cat "$WORK/err")"
  grep -q "^torbelan: .*$ROOT/DADES.PropietH" "$WORK/err" ||
    fail "$what: no message naming the file: $(cat "$WORK/err")"
  [ -s "$WORK/out" ] && fail "$what: something on standard output: $(cat "$WORK/out")"
  [ -e "$OUT" ] && fail "$what: a document was printed"
  [ -e "$ROOT/TERM01/zudavivi.tmp" ] && fail "$what: a spool was left to print"
  [ "$before" = "$(ls -ld "$file"; [ -f "$file" ] && md5sum <"$file")" ] ||
    fail "$what: the file was changed"
  chmod 644 "$file" 2>/dev/null
  rm -rf "$file"
  cp "$WORK/PropietH.good" "$file"
}

truncated() { head -c 3000 "$WORK/PropietH.good" >"$1"; }
random_bytes() { head -c 20000 /dev/urandom >"$1"; }
foreign_sqlite() { sqlite3 "$1" "CREATE TABLE t(x); INSERT INTO t VALUES (1);"; }
directory() { mkdir "$1"; }
unreadable() { cp "$WORK/PropietH.good" "$1"; chmod 000 "$1"; }

cp "$ROOT/DADES/PropietH.dat" "$WORK/PropietH.good"
run_batch
[ "$rc" -eq 0 ] || fail "the demo pass ended with $rc: $(cat "$WORK/err")"
expect_refused "a truncated file" truncated
expect_refused "random bytes" random_bytes
if command -v sqlite3 >/dev/null; then
  expect_refused "another program's SQLite file" foreign_sqlite
fi
expect_refused "a directory" directory
if [ "$(id -u)" -ne 0 ]; then  # root reads any file
  expect_refused "an unreadable file" unreadable
fi
run_batch
[ "$rc" -eq 0 ] || fail "the pass with the good file back ended with $rc: $(cat "$WORK/err")"

# Started in the terminal's folder without ZULTMP (the session file found
# there): the print program finds the spool the report wrote there.
rm -f "$OUT" "$ROOT/TERM01/zudavivi.tmp"
rc=0
(cd "$ROOT/TERM01" && env -u ZULTMP ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTODAY=20261208 \
   "$TORBELAN" --batch 31/12/2026 1.0 999.999 </dev/null >"$WORK/out" 2>"$WORK/err") || rc=$?
[ "$rc" -eq 0 ] || fail "without ZULTMP: exit code $rc: $(cat "$WORK/err")"
grep -q "L'ERA D'EN PUJOL" "$OUT" || fail "without ZULTMP: nothing printed: $(cat "$WORK/err")"

# A file that opens but whose reads fail during the pass: a key entry of
# CobramH whose image belongs to another record (the record manager gives
# status 2 when the walk reaches it). The pass stops, says which file and
# status, and hands nothing to the print program.
if command -v sqlite3 >/dev/null; then
  cp "$ROOT/DADES/CobramH.dat" "$WORK/CobramH.good"
  rm -f "$OUT" "$ROOT"/DADES/CobramH.dat-*
  sqlite3 "$ROOT/DADES/CobramH.dat" "UPDATE zul_rec SET k0 = CAST(
      substr((SELECT k0 FROM zul_rec WHERE pos = 2), 1, length(k0) - 4) ||
      substr(k0, length(k0) - 3) AS BLOB) WHERE pos = 3;" || fail "cannot damage CobramH"
  run_batch
  [ "$rc" -eq 5 ] || fail "a read error during the pass: exit code $rc, not 5: $(cat "$WORK/err")"
  grep -q "^torbelan: ERROR DE LECTURA AL FITXER $ROOT/DADES/CobramH.dat (2)" "$WORK/err" ||
    fail "no message naming the file and the status: $(cat "$WORK/err")"
  [ -e "$OUT" ] && fail "a document was printed from a pass cut short"
  [ -e "$ROOT/TERM01/zudavivi.tmp" ] && fail "a spool cut short was left to print"
  cp "$WORK/CobramH.good" "$ROOT/DADES/CobramH.dat"
  rm -f "$ROOT"/DADES/CobramH.dat-*
fi

# The form: too small a terminal says so in the session's language; then
# 31/07/2026 for communities 1 to 1.
rm -f "$OUT"
start_torbelan
wait_for_screen "F1 AJUDA"
tmux -L "$SOCKET" resize-window -t t -x 60 -y 20
wait_for_screen "TERMINAL MASSA PETIT: CAL 80 x 25"
tmux -L "$SOCKET" resize-window -t t -x 80 -y 25
wait_for_screen "F1 AJUDA"
send C-y
send "310726" Enter Enter Enter
send C-y
send "1" Enter Enter
wait_for_screen "CONFORME (S/N) ?"
send s
wait_for_screen "◄SÍ►"
send Enter
wait_for_screen "SENSE HONORARIS, JA LIQUIDADES A AQUESTA DATA: COMUNITATS 1"
[ -f "$OUT" ] || fail "the settlement was not printed before the message"
send Enter
wait_for_screen ": 310726"
screen_has "SENSE HONORARIS" && fail "the message stays after its key"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
grep -q "L'ERA D'EN PUJOL" "$OUT" || fail "community 1 is not in the printout"
grep -q "MOLÍ VELL" "$OUT" && fail "community 2 is in the printout"
echo "PASS"
