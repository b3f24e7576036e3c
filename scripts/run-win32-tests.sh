#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: every test suite built for Windows, then the
# byte-exact comparison with the reference converter through `wine kartwerk.exe` on a subset of
# the generated maps (every map kind, both script tables).
#   scripts/run-win32-tests.sh BUILD_FOLDER        (the folder of `make windows`)
# Everything runs in one private Wine prefix made for this run (wineboot -i) and removed at the
# end, with its wine server ended. Wine exits 0 when a program cannot start at all, so a suite
# passes only when its own summary says so, not by its exit status alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/run-win32-tests.sh BUILD_FOLDER}" && pwd)

started=$(date +%s)
. "$root/scripts/private-wine-prefix.sh" wine
echo "wine prefix made in $(( $(date +%s) - started )) s"
# One wine server for the whole run: the comparison starts two programs at a time, many times, and
# a server ending (3 s after its last program) just as the next two start is a race of Wine's own,
# not of Kartwerk's. The one wineboot left ends first; the prefix's clean-up ends this one.
wineserver -w && wineserver -p
# Temporary files of the programs go to the prefix's own temporary folder; it must be empty after.
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
mkdir -p "$temp"
find "$temp" -mindepth 1 -delete

status=0
# A suite passes when Wine ran it to its end: exit status 0 and GoogleTest's own summary.
while read -r name; do
  suite="$build/tests/$name.exe"
  log="$scratch/$name.log"
  begin=$(date +%s)
  if wine "$suite" --gtest_brief=1 >"$log" 2>&1 && grep -q '^\[  PASSED  \] [0-9]* test' "$log" &&
     ! grep -q '^\[  FAILED  \]' "$log"; then
    echo "windows suite $name: $(grep '^\[  PASSED  \]' "$log" | tr -d '\r'), $(( $(date +%s) - begin )) s"
    # Whatever a suite leaves in the temporary folder is named with the suite that left it.
    left=$(find "$temp" -mindepth 1 -maxdepth 1)
    if [ -n "$left" ]; then
      echo "windows suite $name left in the temporary folder: $left" >&2
      find "$temp" -mindepth 1 -delete
      status=1
    fi
  else
    echo "windows suite $name FAILED:" >&2
    tr -d '\r' <"$log" | tail -n 60 >&2
    status=1
  fi
done <"$build/tests/win32-suites.txt"

# The byte comparison through kartwerk.exe: every map kind and both game versions ("1.9" and the
# default) occur among these maps.
if ! python3 "$root/tests/reference/compare.py" --kartwerk "$build/kartwerk.exe" --runner wine \
       --mode convert --count 40 --seed 7 --jobs 2; then
  status=1
fi

left=$(find "$temp" -mindepth 1 -maxdepth 1 | sort)
if [ -n "$left" ]; then
  echo "the Windows tests left these in their temporary folder:" >&2
  echo "$left" | sed 's/^/  /' >&2
  status=1
fi
echo "windows tests: $(( $(date +%s) - started )) s in all"
exit $status
