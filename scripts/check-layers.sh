#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. Dependencies point down
# only; each folder below may include its own headers and those of the folders listed after it:
#   app -> ui, ui/win32 -> ui/logic -> pipeline -> install, convert/writers -> convert/records -> core
# Map pictures (preview) stand beside the pipeline: below ui, above convert/writers.
# The comparison of a map with a folder (compare) stands on both, below app.
# The map maker (the in-memory map builder) stands on core alone, and the test helpers on it.
# The windows' logic (ui/logic) is below both window faces, Qt (ui) and Win32 (ui/win32), and
# free of any toolkit: a Qt header or windows.h included there fails too.
# Every quoted include must name its header from the top of the tree ("core/text.hpp").
#   scripts/check-layers.sh [SOURCE_FOLDER]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A allowed=(
  [core]="core"
  [convert/records]="convert/records core"
  [convert/writers]="convert/writers convert/records core"
  [install]="install core"
  [pipeline]="pipeline install convert/writers convert/records core"
  [preview]="preview convert/writers convert/records core"
  [compare]="compare pipeline preview install convert/writers convert/records core"
  [ui/logic]="ui/logic pipeline install convert/writers convert/records core"
  [ui]="ui ui/logic pipeline preview install convert/writers convert/records core"
  [ui/win32]="ui/win32 ui/logic pipeline preview install convert/writers convert/records core"
  [app]="app ui ui/win32 ui/logic compare pipeline preview install convert/writers convert/records core"
  [mapmaker]="mapmaker core"
  [tests/support]="tests/support mapmaker core"
)

# The layer of a header or source path: the longest folder of the table it lies in.
layer_of() {
  local path=$1 best=""
  for folder in "${!allowed[@]}"; do
    if [[ $path == "$folder"/* && ${#folder} -gt ${#best} ]]; then best=$folder; fi
  done
  printf '%s' "$best"
}

status=0
checked=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r file; do
    own=$(layer_of "$file")
    [ "$own" = "$folder" ] || continue  # a file of a nested layer is checked as that layer
    checked=$((checked + 1))
    while IFS=: read -r line header; do
      target=$(layer_of "$header")
      if [ -z "$target" ]; then
        echo "$file:$line: \"$header\" is not named from the top of the tree by its layer's folder" >&2
        status=1
      elif [[ " ${allowed[$folder]} " != *" $target "* ]]; then
        echo "$file:$line: layer $folder includes \"$header\" of layer $target, which is not below it" >&2
        status=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
  done < <(find "$folder" -name '*.cpp' -o -name '*.hpp' | sort)
done

# The windows' logic stays toolkit-free, so that every face (Qt, Win32) builds on it.
if [ -d ui/logic ]; then
  while IFS= read -r hit; do
    echo "$hit: the windows' logic includes a toolkit header" >&2
    status=1
  done < <({ grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*|qt[a-z]*/[^>]*)>' \
                --include='*.cpp' --include='*.hpp' ui/logic
              grep -rniE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|winuser|commctrl)\.h>' \
                --include='*.cpp' --include='*.hpp' ui/logic; } | cut -d: -f1,2 || true)
fi

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $(pwd)" >&2
  exit 1
fi
[ "$status" -eq 0 ] && echo "layers: $checked files, every include points down"
exit $status
