#!/usr/bin/env bash
# An archived suite on a read-only medium prints: `torbelan --batch` over a
# read-only copy of the demo suite (its terminal's directory elsewhere, as
# the spool must be written) writes the same spool and the same document as
# over the suite itself, and leaves the copy as it was; `zuldata check`
# finds every file sound there, and `zuldata import` is refused with the
# record manager's status for a read-only file (46) and stores nothing.
# The read-only medium is a read-only bind mount when this machine lets the
# test mount one (root), else the permissions (folders 0555, files 0444),
# with the programs run as the user nobody when the test runs as root
# (root ignores permissions). ZUL_READ_ONLY=permissions takes the
# permissions even where a mount could be made.
# Usage: read_only_suite_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/harness.sh"
. "$(dirname "$0")/../e2e/lib/torbelan_demo.sh" "$@"

DOC="$WORK/out/LIQ.TXT"
mkdir -p "$WORK/out"
chmod 0777 "$WORK/out"
set_terminal Sortida "TXT:$DOC"

# A terminal directory of its own (Sessio.ini names it), outside the root.
make_terminal() {
  mkdir -p "$1"
  cp "$ROOT/TERM01/Sessio.ini" "$ROOT/TERM01/BrolTerm.ini" "$1/"
  sed -i "s|^Dir=.*\r\$|Dir=$1\r|" "$1/Sessio.ini"
  chmod -R a+rwX "$1"
}
# batch ROOT TERMINAL: one pass over every department, as a user might.
batch() {
  $AS env ZULCONSOLE=headless ZULROOT="$1/" ZULEXE="$1/BIN/" ZULTMP="$2/" ZULTODAY=20261208 \
    "$TORBELAN" --batch 31/12/2026 1.0 999.999
}

# The suite itself.
AS=
make_terminal "$WORK/term-rw"
batch "$ROOT" "$WORK/term-rw" >"$WORK/rw.out" 2>&1 ||
  fail "torbelan over the suite: $(cat "$WORK/rw.out")"
[ -s "$DOC" ] || fail "no document from the suite"
mv "$DOC" "$WORK/rw.txt"

# The archive: a copy, made read-only.
ARCHIVE="$WORK/archive"
cp -a "$ROOT" "$ARCHIVE"
rm -rf "$ARCHIVE/TERM01"
chmod -R a+rX "$WORK"
mkdir -p "$WORK/ro"
if [ "${ZUL_READ_ONLY:-}" != permissions ] && mount --bind "$ARCHIVE" "$WORK/ro" 2>/dev/null; then
  on_exit 'umount "$WORK/ro"'
  mount -o remount,ro,bind "$WORK/ro" 2>/dev/null || fail "the bind mount stays writable"
  MODE=mount RO="$WORK/ro"
else
  chmod -R a-w "$ARCHIVE"
  on_exit 'chmod -R u+w "$ARCHIVE"'
  MODE=permissions RO="$ARCHIVE"
  [ "$(id -u)" -eq 0 ] && AS="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
(cd "$ARCHIVE" && find . -type f -exec sha256sum {} + | sort) >"$WORK/before.sums"
$AS touch "$RO/DADES/probe" 2>/dev/null && fail "the archive ($MODE) can be written"

make_terminal "$WORK/term-ro"
batch "$RO" "$WORK/term-ro" >"$WORK/ro.out" 2>&1 ||
  fail "torbelan over the read-only suite ($MODE): $(cat "$WORK/ro.out")"
[ -s "$DOC" ] || fail "no document from the read-only suite ($MODE): $(cat "$WORK/ro.out")"
cmp -s "$WORK/rw.txt" "$DOC" || fail "the read-only suite printed another document"
cmp -s "$WORK/term-rw/zudavivi.tmp" "$WORK/term-ro/zudavivi.tmp" ||
  fail "the read-only suite wrote another spool"

for f in "$RO"/DADES/*.dat; do
  $AS "$ZULDATA" check "$f" >"$WORK/check.out" 2>&1 ||
    fail "zuldata check $f ($MODE): $(cat "$WORK/check.out")"
done
printf 'code,name\n900,NOVA\n' >"$WORK/new.csv"
chmod a+r "$WORK/new.csv"
$AS "$ZULDATA" import "$RO" FinquesH "$WORK/new.csv" >"$WORK/import.out" 2>&1 &&
  fail "an import into the read-only suite succeeded"
grep -q "status 46" "$WORK/import.out" ||
  fail "the import's message gives no status 46: $(cat "$WORK/import.out")"

(cd "$ARCHIVE" && find . -type f -exec sha256sum {} + | sort) >"$WORK/after.sums"
cmp -s "$WORK/before.sums" "$WORK/after.sums" ||
  fail "the archive changed: $(diff "$WORK/before.sums" "$WORK/after.sums")"
echo "read-only suite ($MODE): the same spool and document, checks clean, the import refused"
echo "PASS"
