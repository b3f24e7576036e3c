#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and undefined-behaviour
# sanitizers on) and runs each for SECONDS, seeded from the bundled sample maps.
#   scripts/fuzz.sh SECONDS [TARGET...]      (default: every target in fuzz/)
# FUZZ_JOBS targets run at once (default: one per core). Corpora grow in build-fuzz/corpus/TARGET; a crashing input is kept as
# build-fuzz/findings/TARGET/ (until that target runs again), and the script ends with status 1.
set -euo pipefail
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

"$root/scripts/setup-deps.sh"
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-dev >/dev/null
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKARTWERK_FUZZ=ON -DKARTWERK_GUI=OFF -DKARTWERK_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "${source%.cpp}")"); done
fi
cmake --build "$build" -j "$(nproc)" --target make_samples "${targets[@]}" >/dev/null

# Seeds: the sample maps as compiled files, as decompressed containers (the first byte of a
# conversion input picks the map kind), and every section of them on its own.
seeds="$build/seeds"
rm -rf "$seeds" && mkdir -p "$seeds"/{compiled,containers,sections}
"$build/tools/make_samples" "$seeds/compiled" >/dev/null
python3 - "$seeds" <<'PY'
import gzip, pathlib, struct, sys
seeds = pathlib.Path(sys.argv[1])
kinds = {".qdm": 0, ".qdp": 1, ".qdc": 2}
for compiled in sorted((seeds / "compiled").iterdir()):
    data = gzip.decompress(compiled.read_bytes())
    (seeds / "containers" / compiled.name).write_bytes(bytes([kinds[compiled.suffix]]) + data)
    at, n = 8, 0
    while at + 16 <= len(data):
        size = struct.unpack_from("<i", data, at + 12)[0]
        if size < 0:
            break
        (seeds / "sections" / f"{compiled.stem}-{n:02d}").write_bytes(data[at + 16:at + 16 + size])
        at, n = at + 16 + size, n + 1
PY

run_target() {
  local target=$1 seed corpus findings log
  case "$target" in
    gzip_fuzz) seed="$seeds/compiled" ;;
    conversion_fuzz | section_directory_fuzz) seed="$seeds/containers" ;;
    *) seed="$seeds/sections" ;;
  esac
  corpus="$build/corpus/$target" findings="$build/findings/$target" log="$build/$target.log"
  rm -rf "$findings" && mkdir -p "$corpus" "$findings"
  # Inputs are kept small so that a run explores shapes rather than sizes.
  "$build/fuzz/$target" "$corpus" "$seed" -max_total_time="$seconds" -max_len=65536 -timeout=25 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 2> "$log" || true
}

jobs=${FUZZ_JOBS:-$(nproc)}
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "== $target: ${seconds} s (started $(date +%H:%M:%S))"
  run_target "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
  # libFuzzer keeps every crash, leak, timeout or memory blow-up as a file in findings/.
  found=$(ls "$build/findings/$target")
  if [ -z "$found" ]; then result="no finding"; else result="FINDING: $found"; status=1; fi
  log="$build/$target.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  echo "$target: $result; ${runs:-?} executions in ${seconds} s; $cov; corpus $(ls "$build/corpus/$target" | wc -l) inputs"
done
exit $status
