#!/usr/bin/env bash
# The main job on the bundled samples: writes the sample maps, converts each into a slot
# folder under the build folder and lists the files written there.
set -euo pipefail
build=${1:-build}
samples="$build/samples"
slots="$build/sample-slots"
"$build/tools/make_samples" "$samples" > "$build/sample-list.txt"
rm -rf "$slots"
while read -r map; do
  file=$(basename "$map")
  slot="$slots/${file%.*}"
  echo "$file -> $slot"
  "$build/kartwerk" convert "$map" --out "$slot" --quiet
  (cd "$slot" && find . -type f -printf '%P\t%s\n' | LC_ALL=C sort) |
    while IFS=$'\t' read -r name size; do
      printf '  %-24s %9d bytes\n' "$name" "$size"
    done
done < "$build/sample-list.txt"
