#!/usr/bin/env bash
# A writer or an import killed with SIGKILL in the middle of its transaction
# leaves files that `zuldata check` finds clean and that hold the whole
# transaction or none of it:
#  - stress_writer sweep (each transaction adds one hundredth to every
#    collection) killed at random moments, four times: every collection has
#    grown by the same amount, the committed transactions (plus the one in
#    doubt, when the kill fell between its commit and its log line);
#  - `zuldata import` of 72,000 collections killed while its transaction
#    is being written (its write-ahead log has grown): not one row stored; the
#    same import then runs whole.
# Usage: kill_faults_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI STRESS_WRITER
set -u
[ $# -eq 5 ] || { echo "usage: $0 SUITE TORBELAN ZULDATA ZUDAVIVI STRESS_WRITER" >&2; exit 2; }
ZULDATA=$3 WRITER=$5
. "$(dirname "$0")/lib/harness.sh"

ROOT="$WORK/root"
COBRAM="$ROOT/DADES/CobramH.dat"
"$ZULDATA" generate "$ROOT" --communities 3 --departments 20 --seed 5 >/dev/null ||
  fail "zuldata generate"
check_files() {
  local f
  for f in "$ROOT"/DADES/*.dat; do
    "$ZULDATA" check "$f" >"$WORK/check.out" 2>&1 || fail "zuldata check $f: $(cat "$WORK/check.out")"
  done
}
log_has_commits() { [ -f "$WORK/sweep.log" ] && [ "$(grep -c '^W ' "$WORK/sweep.log")" -ge "$1" ]; }

for round in 1 2 3 4; do
  "$WRITER" snapshot "$ROOT" "$WORK/baseline" || fail "stress_writer snapshot"
  rm -f "$WORK/sweep.log"
  ZULCONSOLE=headless "$WRITER" sweep "$ROOT" "$WORK/sweep.log" 2>"$WORK/sweep.err" &
  pid=$!
  poll "a committed sweep (round $round)" log_has_commits "$round"
  sleep "0.0$((RANDOM % 10))"
  kill -KILL "$pid" 2>/dev/null || fail "the sweep ended by itself: $(cat "$WORK/sweep.err")"
  wait "$pid" 2>/dev/null
  result=$("$WRITER" verify-sweep "$ROOT" "$WORK/baseline" "$WORK/sweep.log") ||
    fail "round $round: a killed transaction is in the file in part: $result"
  echo "sweep round $round: $result"
  check_files
done

"$ZULDATA" export "$ROOT" CobramH >"$WORK/cobram.csv" || fail "zuldata export"
{ head -1 "$WORK/cobram.csv"; for _ in $(seq 100); do tail -n +2 "$WORK/cobram.csv"; done; } \
  >"$WORK/big.csv"
rows=$(($(wc -l <"$WORK/big.csv") - 1))
count() { "$WRITER" snapshot "$ROOT" "$WORK/count" && grep -c '^C ' "$WORK/count"; }
before=$(count) || fail "cannot count the collections"

# The rows are the file's own, a hundred times over: identical rows, which
# an import adds only when told to.
"$ZULDATA" import "$ROOT" CobramH "$WORK/big.csv" --allow-identical >"$WORK/import.out" 2>&1 &
pid=$!
# Killed once the transaction has written part of its rows.
killed=0
while kill -0 "$pid" 2>/dev/null; do
  size=$(stat -c %s "$COBRAM-wal" 2>/dev/null || echo 0)
  if [ "$size" -gt 100000 ]; then kill -KILL "$pid" && killed=1; break; fi
done
wait "$pid" 2>/dev/null
[ "$killed" -eq 1 ] || fail "the import ended before it was killed: $(cat "$WORK/import.out")"
after=$(count) || fail "cannot count the collections after the kill"
[ "$after" -eq "$before" ] || fail "the killed import left $((after - before)) of its $rows rows"
check_files
"$ZULDATA" import "$ROOT" CobramH "$WORK/big.csv" --allow-identical >"$WORK/import.out" 2>&1 ||
  fail "the import after the kill: $(cat "$WORK/import.out")"
after=$(count)
[ "$after" -eq $((before + rows)) ] || fail "the import stored $((after - before)) of $rows rows"
check_files
echo "import killed mid-way: none of $rows rows stored; the import again: all"
echo "PASS"
