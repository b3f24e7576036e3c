#!/usr/bin/env bash
# Whole-process benchmark: `make bench` builds build-bench/ in Release and runs this.
#   scripts/bench.sh [BUILD]        (BENCH_RUNS=N for N runs per measure, default 5;
#                                    BENCH_INSTRUCTIONS=0 skips the callgrind instruction counts)
# Writes the benchmark maps (small .. the largest campaign) into BUILD/bench-maps once, then for
# each map times `kartwerk convert` against the conversion floor (inflation + writing the
# same bytes into as many files) and reports the ratio, the peak memory against decompressed size
# + 16 MiB, and the speed-up of converting 8 maps in one batch. See scripts/bench_measure.py.
set -euo pipefail
build=${1:-build-bench}
runs=${BENCH_RUNS:-5}
here=$(cd "$(dirname "$0")" && pwd)
maps="$build/bench-maps"
list="$build/bench-maps.txt"
if [ ! -s "$list" ] || [ "$build/tools/make_bench_maps" -nt "$list" ]; then
  echo "Writing the benchmark maps into $maps" >&2
  rm -rf "$maps"
  "$build/tools/make_bench_maps" "$maps" > "$list.new"
  mv "$list.new" "$list"
fi
extra=()
if [ "${BENCH_INSTRUCTIONS:-1}" != 0 ] && command -v valgrind >/dev/null; then extra+=(--instructions); fi
exec python3 "$here/bench_measure.py" "${extra[@]}" --kartwerk "$build/kartwerk" --floor "$build/tools/conversion_floor" \
  --measure-run "$build/tools/measure_run" --maps "$list" --work "$build/bench-work" --runs "$runs"
