# Sourced by the shell test scripts: a scratch folder removed on exit, counted checks, and the
# closing "N passed, N failed" line with the matching exit status.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
passes=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
check() {  # check DESCRIPTION COMMAND...: passes when COMMAND succeeds
  local what=$1
  shift
  if "$@"; then pass; else fail "$what"; fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
