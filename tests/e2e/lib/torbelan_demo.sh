# Helpers for the report program's whole-program tests: a fresh demo suite
# root in the test's work directory, with the text device as output, and
# the command lines that run torbelan in it. Source after tmux_harness.sh.
#
#   demo_root SUITE ZULDATA ZUDAVIVI   lay down $ROOT; documents go to $OUT
#   set_terminal KEY VALUE             one key of the terminal's BrolTerm.ini
#   torbelan_command TORBELAN          the pane's command for the form
#   batch_document TORBELAN DATE FIRST LAST DEST
#                                      what `torbelan --batch` prints, in DEST
#   wait_for_document                  until $OUT exists (it appears whole)

demo_root() {
  ROOT="$WORK/root"
  OUT="$ROOT/TERM01/LIQUIDACIO.TXT"
  "$2" demo "$ROOT" --suite "$1" --zudavivi "$3" >/dev/null 2>&1 || fail "zuldata demo"
  set_terminal Sortida "TXT:$OUT"
}

# BrolTerm.ini is code page 850 with CR LF lines.
set_terminal() {
  sed -i "s|^$1=.*\r\$|$1=$2\r|" "$ROOT/TERM01/BrolTerm.ini"
  grep -q "^$1=$2"$'\r'"\$" "$ROOT/TERM01/BrolTerm.ini" || fail "cannot set $1 in BrolTerm.ini"
}

demo_env() {
  echo "ZULROOT='$ROOT/' ZULEXE='$ROOT/BIN/' ZULTMP='$ROOT/TERM01/' ZULTODAY=20261208"
}

torbelan_command() { echo "$(demo_env) '$1'"; }

batch_document() {
  local torbelan=$1 date=$2 first=$3 last=$4 dest=$5
  rm -f "$OUT"
  env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" \
      ZULTODAY=20261208 "$torbelan" --batch "$date" "$first" "$last" >/dev/null 2>&1 ||
    fail "torbelan --batch $date $first $last"
  [ -f "$OUT" ] || fail "the batch pass printed no document"
  mv "$OUT" "$dest"
}

wait_for_document() { poll "the printed document $OUT" test -f "$OUT"; }
