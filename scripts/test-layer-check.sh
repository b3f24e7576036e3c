#!/usr/bin/env bash
# The include check against includes that break the layer map: a copy of the tree's sources and
# its map passes, and each face, the logic below them and the bottom layers fail on one wrong include
# each, and a hand-written link between layers in CMake fails, with a message that names the file,
# the line and the layers. A broken or missing map fails too.
# The tree itself is left as it was.
#   scripts/test-layer-check.sh [SOURCE_FOLDER]
set -euo pipefail
source_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
check=$source_dir/scripts/check-layers.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The folders the map names (the sources the check reads), and the map itself.
folders=$(sed -n 's/^\([a-z0-9_/]*\):.*/\1/p' "$source_dir/layers.txt" | while read -r f; do
            [ -d "$source_dir/$f" ] && echo "$f"; done)
sources() { (cd "$source_dir" && find $folders -maxdepth 1 \( -name '*.cpp' -o -name '*.hpp' \) -print0 &&
             printf 'layers.txt\0CMakeLists.txt\0'); }
snapshot() { (cd "$source_dir" && sources | xargs -0 sha256sum) >"$1"; }
snapshot "$scratch/before"

# A fresh copy of the layered folders' sources and the map, so each case starts from the tree.
fresh_copy() {
  rm -rf "$scratch/tree"
  mkdir -p "$scratch/tree"
  (cd "$source_dir" && sources | tar --null -T - -cf -) | tar -xf - -C "$scratch/tree"
}

# expect_failure FILE INCLUDE_LINE MESSAGE_PART: the check fails, naming FILE and MESSAGE_PART.
expect_failure() {
  local file=$1 include=$2 message=$3 out status
  fresh_copy
  [ -f "$scratch/tree/$file" ] || { fail "$file is not in the tree"; return; }
  printf '%s\n' "$include" >>"$scratch/tree/$file"
  local line
  line=$(wc -l <"$scratch/tree/$file")
  set +e
  out=$(bash "$check" "$scratch/tree" 2>&1)
  status=$?
  set -e
  [ "$status" -eq 1 ] || fail "$file with $include: status $status, not 1"
  [[ $out == *"$file:$line: "*"$message"* ]] || fail "$file with $include: the report does not say \"$file:$line: ... $message\": $out"
}

fresh_copy
out=$(bash "$check" "$scratch/tree" 2>&1) || fail "the unchanged copy fails: $out"
[[ $out == "layers: "*" files, every include points down; links between layers from layers.txt alone" ]] || fail "the unchanged copy reports: $out"

# Each face includes only the logic and the layers below it: not the other face, not app.
expect_failure ui/qt/browser_window.cpp '#include "ui/win32/browser_window.hpp"' \
  'layer ui/qt includes "ui/win32/browser_window.hpp" of layer ui/win32'
expect_failure ui/qt/window_base.cpp '#include "app/commands.hpp"' 'layer ui/qt includes "app/commands.hpp" of layer app'
expect_failure ui/qt/window_set.cpp '#include <windows.h>' 'layer ui/qt includes a win32 header'
# The Win32 face does not link the map pictures, so it may not include them.
expect_failure ui/win32/browser_window.cpp '#include "mapmaker/map_builder.hpp"' \
  'layer ui/win32 includes "mapmaker/map_builder.hpp" of layer mapmaker'
expect_failure ui/win32/window_base.cpp '#include "ui/qt/window_base.hpp"' \
  'layer ui/win32 includes "ui/qt/window_base.hpp" of layer ui/qt'
expect_failure ui/win32/window_set.cpp '#include <QWidget>' 'layer ui/win32 includes a qt header'
# The logic below both faces knows neither face nor toolkit.
expect_failure ui/logic/browser.cpp '#include "ui/qt/browser_window.hpp"' \
  'layer ui/logic includes "ui/qt/browser_window.hpp" of layer ui/qt'
expect_failure ui/logic/prompts.hpp '#include <QString>' 'layer ui/logic includes a qt header'
expect_failure ui/logic/browser.hpp '#  include <windows.h>' 'layer ui/logic includes a win32 header'
# The bottom and the middle: core knows no records, records no writers.
expect_failure core/byte_stream.cpp '#include "convert/records/units.hpp"' \
  'layer core includes "convert/records/units.hpp" of layer convert/records'
expect_failure convert/records/units.cpp '#include "convert/writers/objects_file.hpp"' \
  'layer convert/records includes "convert/writers/objects_file.hpp" of layer convert/writers'
expect_failure pipeline/slot_commit.cpp '#include "slot_commit.hpp"' 'is not named from the top of the tree'
# The split subjects: files and folders know nothing of maps, finding the game nothing of the desktop.
expect_failure platform/whole_file.cpp '#include "format/map_kind.hpp"' \
  'layer platform includes "format/map_kind.hpp" of layer format'
expect_failure game/slot_store.cpp '#include "desktop/association.hpp"' \
  'layer game includes "desktop/association.hpp" of layer desktop'
# A link between layers written into CMake by hand, beside the map's.
expect_failure CMakeLists.txt 'target_link_libraries(kartwerk_format PUBLIC kartwerk_convert_records)' \
  'kartwerk_format links kartwerk_convert_records by hand'

# The map is the only source of the rules: a map that lets ui/win32 see mapmaker lets it pass.
fresh_copy
echo '#include "mapmaker/map_builder.hpp"' >>"$scratch/tree/ui/win32/browser_window.cpp"
sed -i 's#^ui/win32:\( *\)ui/logic#ui/win32:\1mapmaker ui/logic#' "$scratch/tree/layers.txt"
grep -q '^ui/win32: *mapmaker' "$scratch/tree/layers.txt" || fail "the map's ui/win32 line was not found to widen"
bash "$check" "$scratch/tree" >/dev/null 2>&1 || fail "a widened map does not allow what it names"

# A map naming a layer it does not define, a line that is no rule, and no map at all all fail.
fresh_copy
sed -i 's#^ui/win32:\( *\)ui/logic#ui/win32:\1ui/gtk ui/logic#' "$scratch/tree/layers.txt"
out=$(bash "$check" "$scratch/tree" 2>&1) && fail "a map naming an unknown layer passes"
[[ $out == *"layer ui/win32 names ui/gtk, which is no layer of the map"* ]] || fail "unknown layer reported as: $out"
fresh_copy
echo 'ui/win32 ui/logic' >>"$scratch/tree/layers.txt"
out=$(bash "$check" "$scratch/tree" 2>&1) && fail "a map line without a colon passes"
[[ $out == *'cannot read the line "ui/win32 ui/logic"'* ]] || fail "an unreadable line reported as: $out"
fresh_copy
rm "$scratch/tree/layers.txt"
out=$(bash "$check" "$scratch/tree" 2>&1) && fail "a tree without its map passes"
[[ $out == *"no layer map layers.txt"* ]] || fail "a missing map reported as: $out"

snapshot "$scratch/after"
cmp -s "$scratch/before" "$scratch/after" || fail "the source tree changed: $(diff "$scratch/before" "$scratch/after" | head -5)"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "layer check: the tree passes; 14 wrong includes, a hand-written link and 3 broken maps fail as they should"
