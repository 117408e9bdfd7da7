# Helpers for the report program's whole-program tests: a fresh demo suite
# root in the test's work directory, with the text device as output, and
# the command lines that run torbelan in it. Source after tmux_harness.sh,
# with the test's arguments SUITE TORBELAN ZULDATA ZUDAVIVI: the root is laid
# down at once.
#
#   $ROOT, $OUT                        the root; where documents are printed
#   set_terminal KEY VALUE             one key of the terminal's BrolTerm.ini
#   start_torbelan                     the form in the tmux pane
#   batch_document DATE FIRST LAST DEST
#                                      what `torbelan --batch` prints, in DEST
#   wait_for_document                  until $OUT exists (it appears whole)
#   wait_for_words TEXT                until TEXT is on the screen, read as
#                                      one line without frames (a message
#                                      wrapped over several lines)
#   confirm_and_print [PLACE]          "S" on the confirmation the form asks
#                                      for, then until the document is printed,
#                                      the message naming it (PLACE, "DOCUMENT
#                                      DE TEXT $OUT" unless given) is taken
#                                      away with Enter and the form is back
#                                      with its date

[ $# -eq 4 ] || { echo "usage: $0 SUITE TORBELAN ZULDATA ZUDAVIVI" >&2; exit 2; }
SUITE=$1 TORBELAN=$2 ZULDATA=$3 ZUDAVIVI=$4

# BrolTerm.ini is code page 850 with CR LF lines.
set_terminal() {
  sed -i "s|^$1=.*\r\$|$1=$2\r|" "$ROOT/TERM01/BrolTerm.ini"
  grep -q "^$1=$2"$'\r'"\$" "$ROOT/TERM01/BrolTerm.ini" || fail "cannot set $1 in BrolTerm.ini"
}

demo_env() {
  echo "ZULROOT='$ROOT/' ZULEXE='$ROOT/BIN/' ZULTMP='$ROOT/TERM01/' ZULTODAY=20261208"
}

start_torbelan() { harness_start "$(demo_env) '$TORBELAN'"; }

batch_document() {
  local date=$1 first=$2 last=$3 dest=$4
  rm -f "$OUT"
  env ZULCONSOLE=headless ZULROOT="$ROOT/" ZULEXE="$ROOT/BIN/" ZULTMP="$ROOT/TERM01/" \
      ZULTODAY=20261208 "$TORBELAN" --batch "$date" "$first" "$last" >/dev/null 2>&1 ||
    fail "torbelan --batch $date $first $last"
  [ -f "$OUT" ] || fail "the batch pass printed no document"
  mv "$OUT" "$dest"
}

wait_for_document() { poll "the printed document $OUT" test -f "$OUT"; }

screen_words() { screen | tr '\n' ' ' | sed 's/[│║┌┐└┘─═╔╗╚╝]/ /g; s/  */ /g'; }
words_have() { screen_words | grep -qF -- "$1"; }
words_lack() { ! words_have "$1"; }
wait_for_words() { poll "'$1' on the screen" words_have "$1"; }

confirm_and_print() {
  local place=${1:-DOCUMENT DE TEXT $OUT}
  wait_for_screen "CONFORME (S/N) ?"
  send s
  wait_for_screen "◄SÍ►"
  send Enter
  wait_for_document
  wait_for_words "$place"
  send Enter
  poll "the message naming the document to go" words_lack "$place"
  wait_for_screen ": 311226"
}

ROOT="$WORK/root"
OUT="$ROOT/TERM01/LIQUIDACIO.TXT"
"$ZULDATA" demo "$ROOT" --suite "$SUITE" --zudavivi "$ZUDAVIVI" >/dev/null 2>&1 || fail "zuldata demo"
set_terminal Sortida "TXT:$OUT"
