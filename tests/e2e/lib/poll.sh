# poll WHAT CMD...: runs CMD until it succeeds, every 0.1 s; after TIMEOUT_S
# seconds (set by the harness that sources this) fails the test with
# "timed out waiting for WHAT" through the harness's own `fail`.
poll() {
  local what=$1; shift
  local deadline=$((SECONDS + TIMEOUT_S))
  until "$@"; do
    [ $SECONDS -ge $deadline ] && fail "timed out waiting for $what"
    sleep 0.1
  done
}
