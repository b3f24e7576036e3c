#!/usr/bin/env bash
# The bundled samples, converted by kartwerk and by the independent reference converter, give the
# same slot folders byte for byte.
#   test-reference-samples.sh KARTWERK MAKE_SAMPLES CLIFFDATA
set -euo pipefail
kartwerk=${1:?kartwerk}
make_samples=${2:?make_samples}
cliffdata=${3:?cliffdata}
reference=$(dirname "$0")/../tests/reference/kartwerk_ref.py
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$make_samples" "$scratch/maps" > "$scratch/maps.txt"
[ "$(wc -l < "$scratch/maps.txt")" -eq 3 ] || { echo "FAIL: make_samples wrote $(wc -l < "$scratch/maps.txt") maps" >&2; exit 1; }
compared=0
while read -r map; do
  name=$(basename "$map")
  python3 "$reference" convert "$map" --out "$scratch/reference/$name" --cliffdata "$cliffdata" > /dev/null
  "$kartwerk" convert "$map" --out "$scratch/kartwerk/$name" --cliffdata "$cliffdata" --quiet
  files=$(find "$scratch/kartwerk/$name" -type f | wc -l)
  [ "$files" -gt 10 ] || { echo "FAIL: $name converted into $files files" >&2; exit 1; }
  diff -r "$scratch/reference/$name" "$scratch/kartwerk/$name" ||
    { echo "FAIL: $name converts differently from the reference" >&2; exit 1; }
  echo "$name: $files files, equal to the reference"
  compared=$((compared + 1))
done < "$scratch/maps.txt"
echo "$compared passed, 0 failed"
