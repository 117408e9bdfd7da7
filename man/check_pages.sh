#!/usr/bin/env bash
# Every manual page of MANDIR (*.1) renders without a warning, both through
# groff's man macros with every warning on and through man(1) itself; and
# every PROGRAM given answers --help and --version with exit code 0 and
# some text on standard output, and names itself in its version line.
# Usage: check_pages.sh MANDIR PROGRAM...
set -u
mandir=$1; shift
command -v groff >/dev/null || { echo "SKIP: groff is not installed"; exit 77; }
export LC_ALL=C.UTF-8 MANWIDTH=80
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

pages=("$mandir"/*.1)
[ -e "${pages[0]}" ] || fail "no manual page in $mandir"
for page in "${pages[@]}"; do
  warnings=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "$page: groff: $warnings"
  if command -v man >/dev/null; then
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: man: $warnings"
    text=$(man -l "$page" 2>/dev/null)
    grep -q "^NAME" <<<"$text" || fail "$page: no NAME section when rendered"
  fi
done

for program in "$@"; do
  name=$(basename "$program")
  for option in --help --version; do
    out=$("$program" "$option" </dev/null 2>/dev/null)
    code=$?
    [ "$code" -eq 0 ] || fail "$name $option: exit code $code"
    [ -n "$out" ] || fail "$name $option: nothing on standard output"
  done
  "$program" --version | grep -q "^$name [0-9]" || fail "$name --version does not name it"
  [ -e "$mandir/$name.1" ] || fail "$name has no manual page $mandir/$name.1"
done
[ "$failed" -eq 0 ] && echo "PASS"
exit "$failed"
