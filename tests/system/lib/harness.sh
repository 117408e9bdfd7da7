# Helpers for whole-system tests run without a terminal: a work directory
# that goes away on exit, fail and poll. Source it first; a test may add its
# own cleanup with on_exit CMD; poll WHAT CMD... as the e2e tests poll.
set -u
export LC_ALL=C.UTF-8

WORK=$(mktemp -d /tmp/zul-sys.XXXXXX)
TIMEOUT_S=${ZUL_SYSTEM_TIMEOUT:-30}
EXIT_STEPS=()

on_exit() { EXIT_STEPS+=("$*"); }

system_cleanup() {
  local step
  for step in "${EXIT_STEPS[@]}"; do eval "$step" || true; done
  rm -rf "$WORK"
}
trap system_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

skip() {
  echo "SKIP: $*"
  exit 77
}

# poll WHAT CMD...
. "$(dirname "${BASH_SOURCE[0]}")/../../e2e/lib/poll.sh"
