#!/usr/bin/env bash
# Runs one stage of a longer job and writes its time into a table of stages:
#   timed-stage.sh TABLE [--last] NAME COMMAND...
# The stage's line is "NAME<TAB>SECONDS<TAB>ok|failed". When the stage fails, or is the last one,
# the whole table is printed, one line per stage with its time, so that a slow stage is seen.
# The exit status is the command's.
set -uo pipefail
table=${1:?table file}
shift
last=false
if [ "${1:-}" = --last ]; then
  last=true
  shift
fi
name=${1:?stage name}
shift
[ $# -gt 0 ] || { echo "timed-stage.sh: no command for stage '$name'" >&2; exit 2; }

mkdir -p "$(dirname "$table")"
start=$(date +%s.%N)
"$@"
status=$?
end=$(date +%s.%N)
outcome=ok
[ "$status" -eq 0 ] || outcome=failed
awk -v name="$name" -v start="$start" -v end="$end" -v outcome="$outcome" \
  'BEGIN { printf "%s\t%.1f\t%s\n", name, end - start, outcome }' >> "$table"

if $last || [ "$status" -ne 0 ]; then
  echo
  echo "Time per stage:"
  awk -F '\t' '{ total += $2; printf "  %-18s %7.1f s  %2d min %02d s%s\n", $1, $2, int($2 / 60), int($2) % 60, ($3 == "ok" ? "" : "  FAILED") }
               END { printf "  %-18s %7.1f s  %2d min %02d s\n", "total", total, int(total / 60), int(total) % 60 }' "$table"
fi
exit "$status"
