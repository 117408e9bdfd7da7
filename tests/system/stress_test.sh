#!/usr/bin/env bash
# Multi-terminal stress: on a suite root grown with `zuldata generate`, four
# writing terminals (stress_writer run: locked reads with lock wait, one
# transaction over a department and one of its collections) and four
# terminals running `torbelan --batch` over every department, for SECONDS
# seconds, while writers are killed with SIGKILL at random moments and
# started again. Then: no program crashed, every report pass ended with exit
# code 0 and a complete document (as many departments, totals and lines as
# the pass made before the load), `zuldata check` is clean on every data
# file, and every committed increment is in the files (stress_writer
# verify). Prints one summary line.
# Usage: stress_test.sh SECONDS SUITE TORBELAN ZULDATA ZUDAVIVI STRESS_WRITER
set -u
[ $# -eq 6 ] || { echo "usage: $0 SECONDS SUITE TORBELAN ZULDATA ZUDAVIVI STRESS_WRITER" >&2; exit 2; }
SECONDS_RUN=$1 TORBELAN=$3 ZULDATA=$4 WRITER=$6
. "$(dirname "$0")/lib/harness.sh"

COMMUNITIES=${ZUL_STRESS_COMMUNITIES:-6}
DEPARTMENTS=${ZUL_STRESS_DEPARTMENTS:-20}
ROOT="$WORK/root"
LOGS="$WORK/logs"
mkdir -p "$LOGS"
"$ZULDATA" generate "$ROOT" --communities "$COMMUNITIES" --departments "$DEPARTMENTS" \
  --seed 13 >/dev/null || fail "zuldata generate"

# Terminal N: its own directory (spool, document) copied from TERM01.
make_terminal() {
  local dir="$ROOT/TERMS$1"
  mkdir -p "$dir"
  cp "$ROOT/TERM01/Sessio.ini" "$ROOT/TERM01/BrolTerm.ini" "$dir/"
  sed -i "s|^Dir=.*\r\$|Dir=$dir\r|" "$dir/Sessio.ini"
  sed -i "s|^Sortida=.*\r\$|Sortida=TXT:$dir/LIQUIDACIO.TXT\r|" "$dir/BrolTerm.ini"
  grep -q "^Sortida=TXT:$dir/" "$dir/BrolTerm.ini" || fail "cannot set the output of terminal $1"
}

# One report pass on terminal N; its document becomes $2.
report_pass() {
  local dir="$ROOT/TERMS$1"
  rm -f "$dir/LIQUIDACIO.TXT"
  env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$dir/" \
      ZULTODAY=20261208 "$TORBELAN" --batch 31/12/2026 1.0 9999.999 >"$dir/pass.out" 2>&1 ||
    { echo "torbelan ended with $?: $(cat "$dir/pass.out")"; return 1; }
  [ -f "$dir/LIQUIDACIO.TXT" ] || { echo "no document: $(cat "$dir/pass.out")"; return 1; }
  mv "$dir/LIQUIDACIO.TXT" "$2"
}

# What tells a complete document: departments, totals, lines.
document_shape() {
  echo "$(grep -c "DETALL DE LIQUIDACI" "$1") $(grep -c "TOTAL FONS" "$1") $(wc -l <"$1")"
}

for t in 1 2 3 4; do make_terminal "$t"; done
report_pass 1 "$WORK/before.txt" || fail "the report pass before the load"
EXPECTED=$(document_shape "$WORK/before.txt")
[ "${EXPECTED%% *}" -eq $((COMMUNITIES * DEPARTMENTS)) ] ||
  fail "the pass before the load printed $EXPECTED (departments totals lines)"
"$WRITER" snapshot "$ROOT" "$WORK/baseline" || fail "stress_writer snapshot"

# Report terminals: passes until the stop file; each pass's result in
# $WORK/reader.N (one line per pass: ok, or what went wrong).
reader_loop() {
  local t=$1 n=0 shape
  while [ ! -e "$ROOT/stress.stop" ]; do
    n=$((n + 1))
    if report_pass "$t" "$WORK/pass.$t.txt" >"$WORK/why.$t" 2>&1; then
      shape=$(document_shape "$WORK/pass.$t.txt")
      if [ "$shape" = "$EXPECTED" ]; then echo ok; else
        echo "pass $n: an incomplete document: $shape, expected $EXPECTED"
        cp "$WORK/pass.$t.txt" "$WORK/incomplete.$t.$n.txt"
      fi
    else
      echo "pass $n: $(cat "$WORK/why.$t")"
    fi
  done >"$WORK/reader.$t"
}

declare -A WRITER_PID WRITER_GEN
start_writer() {
  local w=$1 gen=$(( ${WRITER_GEN[$1]:-0} + 1 ))
  WRITER_GEN[$w]=$gen
  env ZULCONSOLE=headless "$WRITER" run "$ROOT" "$LOGS/w$w.$gen.log" "$COMMUNITIES" \
      "$DEPARTMENTS" "$((w * 1000 + gen))" 2>"$LOGS/w$w.$gen.err" &
  WRITER_PID[$w]=$!
}

for w in 1 2 3 4; do start_writer "$w"; done
READERS=()
for t in 1 2 3 4; do reader_loop "$t" & READERS+=($!); done
on_exit 'touch "$ROOT/stress.stop"; kill -KILL ${WRITER_PID[@]} 2>/dev/null'

KILLS=0 CRASHES=0
end=$((SECONDS + SECONDS_RUN))
while [ $SECONDS -lt $end ]; do
  sleep "0.$((RANDOM % 9 + 1))$((RANDOM % 10))"
  w=$((RANDOM % 4 + 1))
  if ! kill -0 "${WRITER_PID[$w]}" 2>/dev/null; then
    wait "${WRITER_PID[$w]}"
    echo "writer $w ended by itself with $?: $(cat "$LOGS/w$w.${WRITER_GEN[$w]}.err")" >&2
    CRASHES=$((CRASHES + 1))
  else
    kill -KILL "${WRITER_PID[$w]}"
    wait "${WRITER_PID[$w]}" 2>/dev/null
    KILLS=$((KILLS + 1))
  fi
  start_writer "$w"
done
touch "$ROOT/stress.stop"
for w in 1 2 3 4; do
  wait "${WRITER_PID[$w]}" ||
    { echo "writer $w ended with $?: $(cat "$LOGS/w$w.${WRITER_GEN[$w]}.err")" >&2; CRASHES=$((CRASHES + 1)); }
done
for r in "${READERS[@]}"; do wait "$r"; done
[ "$CRASHES" -eq 0 ] || fail "$CRASHES writers failed"

PASSES=$(cat "$WORK"/reader.* | grep -c '^ok$')
BAD=$(cat "$WORK"/reader.* | grep -v '^ok$')
[ -z "$BAD" ] || fail "report passes went wrong: $(echo "$BAD" | head -5)"
[ "$PASSES" -ge 4 ] || fail "only $PASSES report passes in $SECONDS_RUN seconds"
for f in "$ROOT"/DADES/*.dat; do
  "$ZULDATA" check "$f" >"$WORK/check.out" 2>&1 || fail "zuldata check $f: $(cat "$WORK/check.out")"
done
VERIFIED=$("$WRITER" verify "$ROOT" "$WORK/baseline" "$LOGS"/w*.log 2>"$WORK/verify.err") ||
  fail "the files do not hold the writers' increments: $VERIFIED $(cat "$WORK/verify.err")"
echo "stress: ${SECONDS_RUN}s, $((COMMUNITIES * DEPARTMENTS)) departments, report passes=$PASSES," \
     "writer kills=$KILLS, $VERIFIED"
echo "PASS"
