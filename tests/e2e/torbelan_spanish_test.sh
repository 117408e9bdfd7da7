#!/usr/bin/env bash
# With Idioma=SPA the selection form, its help, its messages and the printout
# are in Spanish.
# Usage: torbelan_spanish_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
. "$(dirname "$0")/lib/torbelan_demo.sh" "$@"
set_terminal Idioma SPA
start_torbelan
wait_for_screen "F1 AYUDA   F4 LISTA   ALT+C CALENDARIO   ALT+X CALCULADORA   ESC SALIR"
expect_at 3 29 "DETALLE DE LIQUIDACIONES"
expect_at 7 12 "FECHA LIQUIDACIÓN"
expect_at 10 12 "DESDE LA COMUNIDAD"
expect_at 10 47 "DEPARTAMENTO"
expect_at 12 12 "HASTA LA COMUNIDAD"
# F1: the Spanish help, and inside it the Spanish general topic.
send F1
wait_for_screen "Este programa imprime el detalle"
send F1
wait_for_screen "AYUDA GENERAL DE LOS PROGRAMAS"
# One Escape at a time: each closes one topic, and a second Escape sent
# before the first is handled could be read with it as one key.
send Escape
wait_until_gone "AYUDA GENERAL DE LOS PROGRAMAS"
wait_for_screen "Este programa imprime el detalle"
send Escape
wait_until_gone "Este programa imprime el detalle"
send Enter Enter Enter Enter Enter
wait_for_screen "CONFORME (S/N) ? ◄NO►"
confirm_and_print "25 LIQUIDACIONES, 26 PÁGINAS: DOCUMENTO DE TEXTO $OUT"
mv "$OUT" "$WORK/form.txt"
send Escape
wait_for_screen "PROGRAM-ENDED rc=0"
expect_terminal_restored

grep -q "DETALLE DE LIQUIDACIÓN" "$WORK/form.txt" || fail "the printout is not in Spanish"
grep -q "DETALL DE LIQUIDACIÓ" "$WORK/form.txt" && fail "Catalan captions in the Spanish printout"
batch_document 31/12/2026 1.0 999.999 "$WORK/batch.txt"
cmp -s "$WORK/form.txt" "$WORK/batch.txt" || fail "the form's document differs from the batch's"
echo "PASS"
