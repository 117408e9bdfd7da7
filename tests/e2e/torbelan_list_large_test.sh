#!/usr/bin/env bash
# A browse list never reads more of its file than the operator has seen: on
# generated data of 1000 communities with 100 departments each, the
# community list opened and paged forward three times holds in its cache
# file exactly the four pages shown, entry by entry (a 10-byte header and
# the row's text), and not the rest of the file.
# Usage: torbelan_list_large_test.sh SUITE TORBELAN ZULDATA ZUDAVIVI
set -u
. "$(dirname "$0")/lib/tmux_harness.sh"
[ $# -eq 4 ] || { echo "usage: $0 SUITE TORBELAN ZULDATA ZUDAVIVI" >&2; exit 2; }
TORBELAN=$2 ZULDATA=$3
BIG="$WORK/big"
"$ZULDATA" generate "$BIG" --communities 1000 --departments 100 >/dev/null 2>&1 ||
  fail "zuldata generate"
harness_start "ZULROOT='$BIG/' ZULEXE='$BIG/BIN/' ZULTMP='$BIG/TERM01/' ZULTODAY=20261208 '$TORBELAN'"
wait_for_screen "F1 AJUDA   F4 LLISTA"
send Enter
wait_for_cursor 10 38
send F4
wait_for_screen "╔═══ COMUNITATS ═"

# The bytes the cache holds for the 14 rows of the page on the screen.
page_bytes() {
  local row text total=0
  for row in $(seq 6 19); do
    text=$(screen_row "$row")
    text=${text:20:40}
    text=${text%"${text##*[! ]}"}
    [ -n "$text" ] && total=$((total + 10 + ${#text}))
  done
  echo "$total"
}

expected=$(page_bytes)
for first in 015 029 043; do
  send NPage
  wait_for_screen "│$first  "
  expected=$((expected + $(page_bytes)))
done
expect_at 19 21 "056  "
size=$(stat -c %s "$BIG/TERM01/Browse.tmp") || fail "no cache file while the list is open"
[ "$size" -eq "$expected" ] ||
  fail "the cache holds $size bytes; the 56 lines shown take $expected"
[ "$expected" -gt $((56 * 16)) ] || fail "the page texts were not read ($expected bytes)"

send Escape
wait_until_gone "═ COMUNITATS ═"
[ -e "$BIG/TERM01/Browse.tmp" ] && fail "the cache file is left after the list"
send Escape Escape Escape Escape Escape
wait_for_screen "PROGRAM-ENDED rc=0"
echo "PASS"
