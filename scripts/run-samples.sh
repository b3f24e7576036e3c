#!/usr/bin/env bash
# The main job on the bundled samples: writes the sample maps and shows what each holds.
set -euo pipefail
build=${1:-build}
samples="$build/samples"
"$build/tools/make_samples" "$samples" > "$build/sample-list.txt"
while read -r map; do
  "$build/kartwerk" info "$map"
done < "$build/sample-list.txt"
