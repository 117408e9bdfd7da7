#!/usr/bin/env bash
# The user guide (docs/GUIDE.md) against the programs it describes:
#  - every screen shown in the guide is the captured screen it names
#    (docs/NAME, as scripts/guide-pictures writes both);
#  - every INI key of the guide's tables of Brol.ini, BrolTerm.ini and
#    Sessio.ini, and every environment variable of its table, is read by the
#    programs' sources (a key the code builds from a stem and a number, such
#    as Linia1 or Col0, by its stem);
#  - the commands the guide quotes give what it says: the demo root, the
#    export and the import --update of FinquesH, a batch pass to PDF, and the
#    batch messages of its troubleshooting table.
# Usage: guide_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
[ $# -eq 4 ] || { echo "usage: $0 SUITE TORBELAN ZULDATA ZUDAVIVI" >&2; exit 2; }
TORBELAN=$2 ZULDATA=$3
REPO="$(cd "$(dirname "$0")/../.." && pwd)"
GUIDE="$REPO/docs/GUIDE.md"
WORK=$(mktemp -d /tmp/zul-guide.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C.UTF-8
fail() { echo "FAIL: $*" >&2; exit 1; }

# The screens.
pictures=$(sed -n 's/^<!-- picture: \([^ ]*\) -->$/\1/p' "$GUIDE")
[ -n "$pictures" ] || fail "the guide shows no screen"
for name in $pictures; do
  [ -f "$REPO/docs/$name" ] || fail "the guide shows docs/$name, which does not exist"
  awk -v name="$name" '
    $0 == "<!-- picture: " name " -->" { inside = 1; getline; next }
    inside && /^<!-- end of picture -->$/ { exit }
    inside { print }
  ' "$GUIDE" | sed '$d' >"$WORK/shown"
  cmp -s "$WORK/shown" "$REPO/docs/$name" ||
    fail "the screen shown for $name differs from docs/$name (run scripts/guide-pictures)"
done

# The names the guide's tables give, and the sources that read them.
sources() {
  grep -rlF --include='*.cpp' --include='*.h' --exclude='*_test.cpp' -- "$1" \
    "$REPO"/platform "$REPO"/config "$REPO"/dates "$REPO"/format "$REPO"/console \
    "$REPO"/recman "$REPO"/datafile "$REPO"/print "$REPO"/report "$REPO"/tools | head -1
}
read_by_code() {  # NAME: the quoted name, else its stem without the digits or N at its end
  local name=$1 stem
  [ -n "$(sources "\"$name\"")" ] && return 0
  stem=$(echo "$name" | sed 's/\(N\|[0-9]*\)$//')
  [ "$stem" != "$name" ] && [ -n "$(sources "\"$stem")" ]
}
# The second column of the rows of the table under each INI heading: the key.
ini_keys=$(awk '
  /^### `(Brol|BrolTerm|Sessio)\.ini`/ { inside = 1; next }
  /^#/ { inside = 0 }
  inside && /^\|/ { split($0, cell, "|"); print cell[3] }
' "$GUIDE" | grep -o '`[A-Za-z0-9]*`' | tr -d '`' | sort -u)
[ "$(echo "$ini_keys" | wc -w)" -ge 25 ] || fail "the guide's INI tables name too few keys: $ini_keys"
for key in $ini_keys; do
  read_by_code "$key" || fail "the guide names the INI key $key, which no program reads"
done
env_names=$(awk '
  /^\| variable \| meaning/ { inside = 1; next }
  inside && !/^\|/ { exit }
  inside { split($0, cell, "|"); print cell[2] }
' "$GUIDE" | grep -o '`[A-Z_]*`' | tr -d '`' | sed 's/_X$/_/' | sort -u)
[ "$(echo "$env_names" | wc -w)" -ge 10 ] || fail "the guide's environment table is too short"
for name in $env_names; do
  [ -n "$(sources "\"$name")" ] || fail "the guide names the variable $name, which no program reads"
done

# The commands.
ROOT="$WORK/root"
[ "$("$ZULDATA" demo "$ROOT" --suite "$1" --zudavivi "$4")" = "demo suite root ready at $ROOT" ] ||
  fail "zuldata demo does not say what the guide shows"
(cd "$WORK" && "$ZULDATA" export "$ROOT" FinquesH --semicolon >finquesh.csv) ||
  fail "zuldata export --semicolon"
[ "$(cd "$WORK" && "$ZULDATA" import "$ROOT" finquesh.csv --update)" = \
  "FinquesH: 0 inserted, 3 replaced" ] || fail "zuldata import --update does not say what the guide shows"
grep -qF 'FinquesH: 0 inserted, 3 replaced' "$GUIDE" || fail "the guide lost the import example"

export ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/"
sed -i 's/^Sortida=.*\r$/Sortida=PDF\r/' "$ROOT/TERM01/BrolTerm.ini"
"$TORBELAN" --batch 31/12/2026 1.0 999.999 || fail "the guide's batch run"
[ -f "$ROOT/TERM01/LIQUIDACIO_2026-12-31.pdf" ] ||
  fail "Sortida=PDF printed no LIQUIDACIO_2026-12-31.pdf in the terminal's folder"
grep -qF '`LIQUIDACIO_2026-12-31.pdf`' "$GUIDE" || fail "the guide does not name the PDF"

# One document per department: what the run says and the index's first
# line, as the guide quotes them.
said="25 LIQUIDACIONS, 26 PÀGINES: 25 DOCUMENTS PDF A LA CARPETA /tmp/liquidacions"
grep -qF "\`torbelan: $said\`" "$GUIDE" || fail "the guide does not quote: $said"
"$TORBELAN" --batch 31/12/2026 1.0 999.999 --device "PDF-EACH:$WORK/liquidacions" 2>"$WORK/stderr" ||
  fail "the guide's run to PDF-EACH: $(cat "$WORK/stderr")"
[ "$(tail -n 1 "$WORK/stderr")" = "torbelan: ${said/\/tmp\//$WORK/}" ] ||
  fail "the run to PDF-EACH says: $(cat "$WORK/stderr")"
first=$(sed -n 2p "$WORK/liquidacions/index.csv")
grep -qxF "    $first" "$GUIDE" || fail "the guide does not show the index's first line: $first"

# batch_message MESSAGE ARGS...: the run fails and says MESSAGE (as the guide
# quotes it, its first "ROOT/" standing for the root) on standard error.
batch_message() {
  local message=$1; shift
  grep -qF -- "\`$message\`" "$GUIDE" || fail "the guide does not quote: $message"
  "$TORBELAN" --batch "$@" 2>"$WORK/stderr" && fail "torbelan --batch $* succeeded"
  grep -qF -- "torbelan: ${message/ROOT\//$ROOT/}" "$WORK/stderr" ||
    fail "torbelan --batch $* says: $(cat "$WORK/stderr")"
}
batch_message "DATA DE LIQUIDACIÓ NO VÀLIDA: 31/02/2026" 31/02/2026 1.0 999.999
batch_message "EL PRIMER DEPARTAMENT 3.0 VA DESPRÉS DE L'ÚLTIM 1.999" 31/12/2026 3.0 1.999
mv "$ROOT/DADES" "$ROOT/ddf" "$WORK/"
batch_message "NO ES POT ACCEDIR AL FITXER ROOT/DADES/TDespesa.dat (12)" 31/12/2026 1.0 999.999
echo "PASS"
