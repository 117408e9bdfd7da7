#!/usr/bin/env bash
# Printing through the Windows print spooler under wine: wine lists the
# queues of the print service (CUPS) as installed printers and hands their
# jobs to it, so a queue of a private scheduler (tests/system) receives the
# PostScript that wine's printer driver makes of ZUDAVIVI.exe's pages. The
# settlement printed by torbelan.exe --batch on that queue reads back with
# the text document's lines; a printer the spooler does not know, and a
# queue that refuses jobs, end the print program with its print-service
# exit code (3) and a message naming the printer.
# Usage: print_test.sh SOURCE WINDOWS_BUILD
set -u
src=$1 win=$2
. "$src/tests/system/lib/harness.sh"
. "$src/tests/system/lib/private_cups.sh"
. "$src/tests/windows/lib/wine_demo.sh"

for tool in cupsd lpadmin lpstat cupsreject ps2pdf pdftotext; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/bootstrap installs it)"
done

cups_start "$WORK/cups" || fail "the private CUPS scheduler did not start"
on_exit cups_stop
QUEUE=Recepcio
ARRIVED="$WORK/arrived.ps"
cups_add_file_queue "$QUEUE" "$ARRIVED" application/postscript || fail "no queue"

ROOT="$WORK/root"
wine_demo "$ROOT"

# run PROGRAM ARGS...: a program of the build in the demo terminal, its
# messages in $WORK/out.
run() {
  local program=$1
  shift
  (cd "$ROOT/TERM01" && ZULROOT="Z:$ROOT/" ZULEXE="Z:$ROOT/BIN/" ZULTMP="Z:$ROOT/TERM01/" \
    ZULTODAY=20261208 wine "$win/$program" "$@" </dev/null >"$WORK/out" 2>&1)
}
sortida() { sed -i "s|^Sortida=.*\r\$|Sortida=$1\r|" "$ROOT/TERM01/BrolTerm.ini"; }
# The lines of a document with runs of blanks made one, blank lines and
# page breaks dropped: the printed page places each character in its cell,
# the text read back from it spaces the words its own way.
words() { tr -d '\f\r' <"$1" | sed -e 's/  */ /g' -e 's/^ //' -e 's/ $//' | grep -v '^$'; }

sortida "TXT:Z:$WORK/doc.txt"
run report/torbelan.exe --batch 31/12/2026 1.0 999.999 || fail "the text document: $(cat "$WORK/out")"
sortida "$QUEUE"
run report/torbelan.exe --batch 31/12/2026 1.0 999.999 || fail "printing on $QUEUE: $(cat "$WORK/out")"
grep -q "IMPRESSORA $QUEUE" "$WORK/out" || fail "no report of the printing: $(cat "$WORK/out")"
cups_wait_idle "$QUEUE" || fail "the job was not printed"
lpstat -W completed -o "$QUEUE" | grep -q "^$QUEUE-" || fail "no completed job on $QUEUE"
head -c 20 "$ARRIVED" 2>/dev/null | grep -q "^%!PS" || fail "no PostScript arrived at the queue's device"
ps2pdf "$ARRIVED" "$WORK/arrived.pdf" || fail "ps2pdf on what arrived"
pdfinfo "$WORK/arrived.pdf" | grep -q "^Pages: *26$" || fail "not 26 pages: $(pdfinfo "$WORK/arrived.pdf")"
pdftotext -layout "$WORK/arrived.pdf" "$WORK/arrived.txt" || fail "pdftotext on what arrived"
grep -q "DETALL DE LIQUIDACIÓ" "$WORK/arrived.txt" || fail "the printed text lacks the title"
cmp -s <(words "$WORK/doc.txt") <(words "$WORK/arrived.txt") ||
  fail "the printed text differs from the text document: $(diff <(words "$WORK/doc.txt") \
    <(words "$WORK/arrived.txt") | head)"

# The print program on the last spool, with the printer made unknown and
# then with the queue refusing jobs.
cupsreject "$QUEUE" || fail "cupsreject"
for printer in NoHiEs "$QUEUE"; do
  sed -i "1s/^DEVICE.*\r\$/DEVICE$printer\r/" "$ROOT/TERM01/zudavivi.tmp"
  rm -f "$ARRIVED"
  run tools/zudavivi/ZUDAVIVI.exe
  code=$?
  [ "$code" -eq 3 ] || fail "ZUDAVIVI.exe on $printer ended with $code: $(cat "$WORK/out")"
  grep -q "^ZUDAVIVI: la cua d'impressió de Windows no ha acceptat el treball per a la impressora \"$printer\" (error [1-9]" \
    "$WORK/out" || fail "no message naming $printer: $(cat "$WORK/out")"
  [ -e "$ARRIVED" ] && fail "a document arrived for $printer"
done
echo "PASS"
