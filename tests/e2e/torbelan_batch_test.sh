#!/usr/bin/env bash
# `torbelan --batch` without a terminal (standard input from /dev/null,
# standard output and error to files) when a data file cannot be opened:
# truncated, random bytes, another program's SQLite file, a directory, a
# file the user may not read. Each time the message naming the file is on
# standard error, the run ends with exit code 5, nothing is printed and the
# file is left as it was. A file that opens but fails a read during the pass
# gives exit code 5 too, and nothing printed. Started in the terminal's
# folder without ZULTMP, the pass prints. With the screen as the device and
# no terminal, the preview is refused and the run ends with exit code 4.
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

# The screen as the device, without a terminal: the print program says the
# preview needs one, and the run reports it with its exit code.
rc=0
env ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" ZULTODAY=20261208 \
  "$TORBELAN" --batch 31/12/2026 1 --device PANTALLA </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
[ "$rc" -eq 4 ] || fail "the preview without a terminal: exit code $rc, not 4: $(cat "$WORK/err")"
grep -q "^torbelan: EL PROGRAMA D'IMPRESSIÓ $ROOT/BIN/ZUDAVIVI HA ACABAT AMB EL CODI 2: la previsualització a la pantalla necessita un terminal" "$WORK/err" ||
  fail "the preview without a terminal is not reported: $(cat "$WORK/err")"
echo "PASS"
