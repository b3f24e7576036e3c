#!/usr/bin/env bash
# Runs every test of one build folder with a temporary folder of its own, and fails when a
# test leaves anything behind in it.
#   scripts/run-tests.sh BUILD_FOLDER [JOBS] [CTEST_ARGS...]
# Suites that start real programs (a window system, Wine, a package check) carry the ctest label
# "plain-only"; the sanitized run passes -LE plain-only, since they test the system around the
# program rather than its memory safety, and running them twice would double the longest suites.
set -euo pipefail
build=$(cd "${1:?usage: scripts/run-tests.sh BUILD_FOLDER [JOBS]}" && pwd)
jobs=${2:-$(nproc)}
shift $(( $# < 2 ? $# : 2 ))
temp="$build/test-tmp"
rm -rf "$temp" && mkdir -p "$temp"
# Qt makes itself a runtime folder in the temporary folder when the session names none; the
# windows' tests get one beside it instead, so that the check below sees only the tests' own files.
runtime="$build/test-runtime"
mkdir -p -m 700 "$runtime"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$runtime}"

status=0
(cd "$build" && TMPDIR="$temp" TEMP="$temp" ctest --output-on-failure -j "$jobs" "$@") || status=1

left=$(find "$temp" -mindepth 1 -maxdepth 1 | sort)
if [ -n "$left" ]; then
  echo "the tests left these in their temporary folder $temp:" >&2
  echo "$left" | sed 's/^/  /' >&2
  status=1
else
  echo "temporary folder $temp: empty after the tests"
fi
exit $status
