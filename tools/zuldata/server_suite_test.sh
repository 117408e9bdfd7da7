#!/usr/bin/env bash
# The demo suite on the database server, through the real programs:
#   zuldata demo --connexio lays the demo down with its data files on the
#   test server; torbelan --batch prints from it the same spools as the
#   report's golden files (report/testdata/expected_*.spool); zuldata check,
#   dump and export work on the server's files; zuldata copy moves the suite
#   back to files, which print the same spool again; zuldata generate gives
#   the same records and spool on the server as in files; and no message
#   shows the connection string's password.
#
# Usage: server_suite_test.sh SOURCE_DIR ZULDATA TORBELAN ZUDAVIVI
# Needs ZULPG_TEST_CONNINFO (scripts/test sets it); without it the test is
# skipped (exit 77), or fails when ZULPG_TEST_REQUIRED=1.
set -euo pipefail
src="$1" zuldata="$2" torbelan="$3" zudavivi="$4"

if [ -z "${ZULPG_TEST_CONNINFO:-}" ]; then
  if [ "${ZULPG_TEST_REQUIRED:-}" = 1 ]; then
    echo "FAIL: ZULPG_TEST_CONNINFO is not set but the server tests are required" >&2
    exit 1
  fi
  echo "skipped: no test server (set ZULPG_TEST_CONNINFO; scripts/test does)"
  exit 77
fi

work="$(mktemp -d /tmp/zulsrvsuite.XXXXXX)"
schema="$(basename "$work")"
cleanup() {
  for s in "$schema" "${schema}g" "${schema}x"; do
    psql "$ZULPG_TEST_CONNINFO" -qAtc "DROP SCHEMA IF EXISTS \"$s\" CASCADE" >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
[ "${ZUL_KEEP:-}" = 1 ] && trap - EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Replaces one Key=value line of an INI file laid down in code page 850.
set_ini() { sed -i "s/^$2=.*\r\$/$2=$3\r/" "$1"; }

# One batch pass over ROOT; compares the spool with an expected file. There
# is no print program here: the pass ends with exit code 3 once the spool
# is written.
batch() {
  local root="$1" expected="$2" rc=0; shift 2
  (cd "$root" && ZULROOT="$root/" ZULEXE="$work/nobin/" ZULTMP="$root/TERM01/" ZULTODAY=20261208 \
     "$torbelan" --batch "$@" >/dev/null 2>"$work/stderr.txt") || rc=$?
  [ "$rc" -eq 3 ] || fail "torbelan $* in $root ended with $rc: $(cat "$work/stderr.txt")"
  cmp "$root/TERM01/zudavivi.tmp" "$src/report/testdata/$expected" ||
    fail "$root: the spool differs from $expected"
}

mkdir -p "$work/nobin"
server="$work/server"
"$zuldata" demo "$server" --suite "$src/suite" --zudavivi "$zudavivi" \
  --connexio "$ZULPG_TEST_CONNINFO" --esquema "$schema" >/dev/null
# DADES holds only the files' lock files (their shared page), no data.
on_disk="$(ls "$server/DADES" | grep -v '\.dat\.lck$' || true)"
[ -z "$on_disk" ] || fail "data files on disk: $on_disk"
tables="$(psql "$ZULPG_TEST_CONNINFO" -qAtc \
  "SELECT count(*) FROM pg_tables WHERE schemaname = '$schema' AND tablename LIKE 'dades/%.dat'")"
[ "$tables" = 7 ] || fail "the server holds $tables of the 7 report files"

batch "$server" expected_ca.spool 31/12/2026 1.0 999.999
set_ini "$server/TERM01/BrolTerm.ini" Idioma SPA
batch "$server" expected_es.spool 311226 1.0 999.999
set_ini "$server/TERM01/BrolTerm.ini" Idioma CAT
set_ini "$server/Brol.ini" Membret N
batch "$server" expected_ca_n.spool 31.12.26 1.0 999.999
set_ini "$server/Brol.ini" Membret S

for f in TDespesa THRebut FinquesH FinDespH PropietH PagamH CobramH; do
  "$zuldata" check "$server/DADES/$f.dat" | grep -q '^ok: ' || fail "check $f"
done
"$zuldata" dump "$server/DADES/PropietH.dat" | sed -n 1p | grep -q '^# records [1-9]' || fail "dump"

# Back to files: the same spool, the same records.
files="$work/files"
"$zuldata" demo "$files" --suite "$src/suite" --zudavivi "$zudavivi" >/dev/null
rm -f "$files"/DADES/*
"$zuldata" copy "$server" "$files" | grep -q '^copied ' || fail "copy"
[ -n "$(ls "$files/DADES")" ] || fail "copy made no files"
batch "$files" expected_ca.spool 31/12/2026 1.0 999.999
for f in FinquesH PropietH CobramH; do
  cmp <("$zuldata" export "$server" "$f") <("$zuldata" export "$files" "$f") ||
    fail "export $f differs between the server and the files"
done

# Generated data: the same seed on the server and in files gives the same
# records and the same spool.
gserver="$work/gserver" gfiles="$work/gfiles"
"$zuldata" generate "$gserver" --communities 3 --departments 4 --seed 5 \
  --connexio "$ZULPG_TEST_CONNINFO" --esquema "${schema}g" >/dev/null || fail "generate on the server"
"$zuldata" generate "$gfiles" --communities 3 --departments 4 --seed 5 >/dev/null
for f in FinquesH PropietH CobramH PagamH; do
  cmp <("$zuldata" export "$gserver" "$f") <("$zuldata" export "$gfiles" "$f") ||
    fail "generated $f differs between the server and the files"
done
for r in "$gserver" "$gfiles"; do
  rc=0
  (cd "$r" && ZULROOT="$r/" ZULEXE="$work/nobin/" ZULTMP="$r/TERM01/" ZULTODAY=20261208 \
     "$torbelan" --batch 31/12/2026 1.0 9999.999 >/dev/null 2>&1) || rc=$?
  [ "$rc" -eq 3 ] || fail "torbelan in $r ended with $rc"
done
cmp "$gserver/TERM01/zudavivi.tmp" "$gfiles/TERM01/zudavivi.tmp" ||
  fail "the generated suite prints differently from the server"

# A server that cannot be reached: a status and the server named, with its
# password masked.
bad="$work/bad"
"$zuldata" demo "$bad" --suite "$src/suite" --zudavivi "$zudavivi" \
  --connexio "host=127.0.0.1 port=1 password=s3cret connect_timeout=3" >/dev/null 2>"$work/bad.txt" &&
  fail "a demo on an unreachable server succeeded"
grep -q "status 20" "$work/bad.txt" || fail "no status 20: $(cat "$work/bad.txt")"
grep -q "password=\*\*\*" "$work/bad.txt" || fail "the server is not named: $(cat "$work/bad.txt")"
if grep -q s3cret "$work/bad.txt"; then fail "the password was shown"; fi
# Every form libpq takes a password in, unencoded "/", "?" and "@" too.
for c in "postgresql://zul:s3/cr?et@127.0.0.1:1/zul?connect_timeout=3" \
         "postgres://zul@127.0.0.1:1/zul?connect_timeout=3&password=s3/cr?et" \
         "host=127.0.0.1 port=1 connect_timeout=3 password='s3 cr/et'"; do
  rm -rf "$bad"
  "$zuldata" demo "$bad" --suite "$src/suite" --zudavivi "$zudavivi" --connexio "$c" \
    >/dev/null 2>"$work/bad.txt" && fail "a demo on an unreachable server succeeded ($c)"
  grep -q "status 20" "$work/bad.txt" || fail "no status 20: $(cat "$work/bad.txt")"
  if grep -q "s3" "$work/bad.txt"; then fail "the password was shown: $(cat "$work/bad.txt")"; fi
done

# A misspelt schema: export and the report say it is missing, and nobody
# makes it.
misspelt="$work/misspelt"
cp -r "$server" "$misspelt"
set_ini "$misspelt/Brol.ini" Esquema "${schema}x"
"$zuldata" export "$misspelt" FinquesH >/dev/null 2>"$work/misspelt.txt" &&
  fail "an export from a missing schema succeeded"
grep -q "status 35: the schema \"${schema}x\" does not exist" "$work/misspelt.txt" ||
  fail "export: $(cat "$work/misspelt.txt")"
rc=0
(cd "$misspelt" && ZULROOT="$misspelt/" ZULEXE="$work/nobin/" ZULTMP="$misspelt/TERM01/" \
   "$torbelan" --batch 31/12/2026 1.0 9999.999 >/dev/null 2>"$work/misspelt.txt") || rc=$?
[ "$rc" -ne 0 ] && [ "$rc" -ne 3 ] || fail "torbelan on a missing schema ended with $rc"
grep -q "(35): L'ESQUEMA ${schema}x NO EXISTEIX AL SERVIDOR" "$work/misspelt.txt" ||
  fail "torbelan: $(cat "$work/misspelt.txt")"
[ "$(psql "$ZULPG_TEST_CONNINFO" -qAtc \
      "SELECT count(*) FROM pg_namespace WHERE nspname = '${schema}x'")" = 0 ] ||
  fail "the misspelt schema was made"

# A root whose server has gone: export and copy name the status instead of
# "no file" or an empty copy.
gone="$work/gone"
cp -r "$server" "$gone"
sed -i "s/^Connexio=[^\r]*/Connexio=host=127.0.0.1 port=1 connect_timeout=3/" "$gone/Brol.ini"
grep -q "port=1" "$gone/Brol.ini" || fail "the gone root's Brol.ini was not rewritten"
"$zuldata" export "$gone" FinquesH >/dev/null 2>"$work/gone.txt" &&
  fail "an export from an unreachable server succeeded"
grep -q "status 20" "$work/gone.txt" || fail "export: no status 20: $(cat "$work/gone.txt")"
"$zuldata" copy "$gone" "$work/gonecopy" >/dev/null 2>"$work/gone.txt" &&
  fail "a copy from an unreachable server succeeded"
grep -q "status 20" "$work/gone.txt" || fail "copy: no status 20: $(cat "$work/gone.txt")"
echo "ok"
