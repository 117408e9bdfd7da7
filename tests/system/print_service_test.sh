#!/usr/bin/env bash
# Real printing through a private CUPS scheduler: the report printed on a
# queue of the print service arrives at the queue's device (a file) as the
# PDF the print program makes, and reads back with the settlement's text;
# with the scheduler stopped the print program says so and ends with its
# print-service exit code (3).
# Usage: print_service_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/harness.sh"
. "$(dirname "$0")/../e2e/lib/torbelan_demo.sh" "$@"
. "$(dirname "$0")/lib/private_cups.sh"

for tool in cupsd lpadmin lpstat lp pdftotext; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/bootstrap installs it)"
done

cups_start "$WORK/cups" || fail "the private CUPS scheduler did not start"
on_exit cups_stop
QUEUE=Recepcio
ARRIVED="$WORK/arrived.pdf"
cups_add_file_queue "$QUEUE" "$ARRIVED" || fail "no queue"

run_batch() {
  env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" \
      ZULTODAY=20261208 "$TORBELAN" --batch 31/12/2026 1.0 999.999 >"$WORK/batch.out" 2>&1
}

# The same selection as a PDF document, to compare with what arrives.
set_terminal Sortida "PDF:$WORK/direct.pdf"
run_batch || { cat "$WORK/batch.out" >&2; fail "torbelan --batch to PDF"; }
[ -f "$WORK/direct.pdf" ] || fail "no PDF document"

set_terminal Sortida "$QUEUE"
run_batch || { cat "$WORK/batch.out" >&2; fail "torbelan --batch to the queue $QUEUE"; }
cups_wait_idle "$QUEUE" || fail "the job was not printed"
lpstat -W completed -o "$QUEUE" | grep -q "^$QUEUE-" || fail "no completed job on $QUEUE"
[ -s "$ARRIVED" ] || fail "nothing arrived at the queue's device"
pdfinfo "$ARRIVED" >"$WORK/arrived.info" 2>&1 || fail "what arrived is not a PDF: $(head -c 200 "$ARRIVED")"
pdftotext -layout "$ARRIVED" "$WORK/arrived.txt" || fail "pdftotext on what arrived"
pdftotext -layout "$WORK/direct.pdf" "$WORK/direct.txt" || fail "pdftotext on the PDF document"
grep -q "DETALL DE LIQUIDACI" "$WORK/arrived.txt" || fail "the printed text lacks the title"
grep -q "L'ERA D'EN PUJOL" "$WORK/arrived.txt" || fail "the printed text lacks community 1"
cmp -s "$WORK/arrived.txt" "$WORK/direct.txt" ||
  fail "the printed document differs from the PDF document: $(diff "$WORK/direct.txt" "$WORK/arrived.txt" | head)"
grep -q "^Pages: *[1-9]" "$WORK/arrived.info" || fail "no pages: $(cat "$WORK/arrived.info")"

# A queue the print service does not have, for a Spanish terminal: lp
# refuses the job and the print program says so in Spanish.
SPA="$WORK/term-spa"
mkdir -p "$SPA" || fail "cannot make $SPA"
printf '[Sistema]\r\nIdioma=SPA\r\n' >"$SPA/BrolTerm.ini"
sed "1s/^DEVICE.*\r\$/DEVICENoHiEs\r/" "$ROOT/TERM01/zudavivi.tmp" >"$SPA/zudavivi.tmp"
head -1 "$SPA/zudavivi.tmp" | grep -q "^DEVICENoHiEs"$'\r'"\$" || fail "no spool for the missing queue"
env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$SPA/" \
    "$ZUDAVIVI" >"$WORK/missing.out" 2>&1
code=$?
[ "$code" -eq 3 ] || fail "ZUDAVIVI on a missing queue ended with $code: $(cat "$WORK/missing.out")"
grep -q "^ZUDAVIVI: el servicio de impresión no ha aceptado el trabajo para la impresora \"NoHiEs\"" \
  "$WORK/missing.out" || fail "no Spanish message for the missing queue: $(cat "$WORK/missing.out")"
grep "^ZUDAVIVI:" "$WORK/missing.out" | grep -q "printer\|cannot\|print service" &&
  fail "English left in the message: $(cat "$WORK/missing.out")"
ls "$SPA" | grep -q '^zudavivi-.*\.pdf$' && fail "the print program left its temporary PDF"

# The scheduler stopped: the spool of the last pass, printed again.
cups_stop
rm -f "$ARRIVED"
env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" \
    "$ZUDAVIVI" >"$WORK/stopped.out" 2>&1
code=$?
[ "$code" -eq 3 ] || fail "ZUDAVIVI with the scheduler stopped ended with $code: $(cat "$WORK/stopped.out")"
grep -q "ZUDAVIVI: el servei d'impressió no ha acceptat el treball per a la impressora \"$QUEUE\"" \
  "$WORK/stopped.out" ||
  fail "no message for the stopped scheduler: $(cat "$WORK/stopped.out")"
[ -e "$ARRIVED" ] && fail "a document arrived with the scheduler stopped"
ls "$ROOT/TERM01/" | grep -q '^zudavivi-.*\.pdf$' && fail "the print program left its temporary PDF"
echo "PASS"
