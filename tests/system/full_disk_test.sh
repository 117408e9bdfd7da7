#!/usr/bin/env bash
# A full disk while the spool or the PDF is written: the operator is told,
# the run does not end as if it had printed, and no cut document is left
# where the operator would look for it.
#  - the terminal's directory (spool) on a full disk: `torbelan --batch`
#    says the spool could not be written, exits 1, the print program does
#    not run and no spool is left to print;
#  - the PDF on a full disk: the print program says the document cannot be
#    written, ends with exit code 2 and leaves no PDF (nor its companion
#    file) behind.
# The full disk is a 16 KiB tmpfs when this machine lets the test mount one
# (root), else a 40 KiB file-size limit with SIGXFSZ ignored, so that writes
# fail with EFBIG as they fail with ENOSPC on a full disk: above the 32 KiB
# that SQLite's shared-memory file of every data file takes, below the demo's
# spool and PDF of about 46 KB
# (ZUL_FULL_DISK=limit takes the limit even where a tmpfs could be mounted).
# Usage: full_disk_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/harness.sh"
. "$(dirname "$0")/../e2e/lib/torbelan_demo.sh" "$@"

FULL="$WORK/full"
mkdir -p "$FULL"
if [ "${ZUL_FULL_DISK:-}" != limit ] && mount -t tmpfs -o size=16k zul-full "$FULL" 2>/dev/null; then
  MODE=tmpfs
  on_exit 'umount "$FULL"'
else
  MODE=limit
fi
# Runs the command with the file-size limit in limit mode, as it is otherwise.
on_full_disk() {
  if [ "$MODE" = limit ]; then
    (trap "" XFSZ; ulimit -f 40; "$@")
  else
    "$@"
  fi
}
batch_env() {
  env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$1/" ZULTODAY=20261208 "${@:2}"
}

# The spool: the terminal's directory on the full disk.
TERM_FULL="$FULL/TERM01"
mkdir -p "$TERM_FULL"
cp "$ROOT/TERM01/Sessio.ini" "$ROOT/TERM01/BrolTerm.ini" "$TERM_FULL/"
sed -i "s|^Dir=.*\r\$|Dir=$TERM_FULL\r|" "$TERM_FULL/Sessio.ini"
set_terminal Sortida "TXT:$WORK/spool-test.txt"
cp "$ROOT/TERM01/BrolTerm.ini" "$TERM_FULL/"
on_full_disk batch_env "$TERM_FULL" "$TORBELAN" --batch 31/12/2026 1.0 999.999 >"$WORK/spool.out" 2>&1
code=$?
[ "$code" -eq 1 ] || fail "torbelan with the spool on a full disk ($MODE) ended with $code: $(cat "$WORK/spool.out")"
grep -q "NO ES POT ESCRIURE EL FITXER D'IMPRESSIÓ $TERM_FULL" \
  "$WORK/spool.out" || fail "no message for the spool on a full disk: $(cat "$WORK/spool.out")"
[ -e "$WORK/spool-test.txt" ] && fail "a document was printed from a spool that could not be written"
[ -e "$TERM_FULL/zudavivi.tmp" ] && fail "a cut spool was left to print"
ls "$TERM_FULL" | grep -q '\.part$' && fail "the spool's companion file was left: $(ls "$TERM_FULL")"
rm -rf "$TERM_FULL"

# The PDF: a complete spool, the document on the full disk.
PDF="$FULL/LIQ.PDF"
set_terminal Sortida "PDF:$PDF"
if [ "$MODE" = tmpfs ]; then
  batch_env "$ROOT/TERM01" "$TORBELAN" --batch 31/12/2026 1.0 999.999 >"$WORK/pdf.out" 2>&1
  grep -q "ZUDAVIVI: .*$PDF" "$WORK/pdf.out" ||
    fail "torbelan's run shows no message of the print program: $(cat "$WORK/pdf.out")"
else
  batch_env "$ROOT/TERM01" "$TORBELAN" --batch 31/12/2026 1.0 999.999 >"$WORK/pdf.out" 2>&1 ||
    fail "torbelan to PDF: $(cat "$WORK/pdf.out")"
  rm -f "$PDF"
fi
[ -s "$ROOT/TERM01/zudavivi.tmp" ] || fail "no spool for the PDF test"
on_full_disk batch_env "$ROOT/TERM01" "$ZUDAVIVI" >"$WORK/zudavivi.out" 2>&1
code=$?
[ "$code" -eq 2 ] || fail "ZUDAVIVI with the PDF on a full disk ($MODE) ended with $code: $(cat "$WORK/zudavivi.out")"
grep -q "$PDF" "$WORK/zudavivi.out" || fail "the message does not name the PDF: $(cat "$WORK/zudavivi.out")"
[ -e "$PDF" ] && fail "a cut PDF was left where the document goes"
[ -e "$PDF.part" ] && fail "the PDF's companion file was left"
echo "full disk ($MODE): the spool and the PDF refused with their messages"
echo "PASS"
