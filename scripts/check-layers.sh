#!/usr/bin/env bash
# Fails when a source file includes a header of a layer that is not below its own, or a toolkit
# header its layer must stay free of, and when a CMake file links one layer's library to another's
# by hand (CMakeLists.txt reads those links from the map). The rules come from the layer map (layers.txt at the top of
# the tree) and from nowhere else. Every quoted include must name its header from the top of the
# tree ("core/text.hpp").
#   scripts/check-layers.sh [SOURCE_FOLDER [LAYER_MAP]]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
map=${2:-layers.txt}
[ -f "$map" ] || { echo "no layer map $map under $(pwd)" >&2; exit 1; }

declare -A allowed=() forbidden=()
while IFS= read -r line; do
  line=${line%%#*}
  [[ $line =~ ^[[:space:]]*$ ]] && continue
  if [[ ! $line =~ ^([a-z0-9_/]+):(.*)$ ]]; then
    echo "$map: cannot read the line \"$line\"" >&2
    exit 1
  fi
  layer=${BASH_REMATCH[1]}
  below="" toolkits=""
  for word in ${BASH_REMATCH[2]}; do
    if [[ $word == !* ]]; then toolkits+=" ${word#!}"; else below+=" $word"; fi
  done
  allowed[$layer]="$layer$below"
  forbidden[$layer]=$toolkits
done <"$map"
for layer in "${!allowed[@]}"; do
  for below in ${allowed[$layer]}; do
    if [ -z "${allowed[$below]+set}" ]; then
      echo "$map: layer $layer names $below, which is no layer of the map" >&2
      exit 1
    fi
  done
done

# The layer of a header or source path, into $layer: the deepest folder of the map it lies in.
# (A variable rather than output: a subshell per include is slow on a busy machine.)
layer_of() {
  layer=${1%/*}
  [[ $1 == */* ]] || layer=""
  while [ -n "$layer" ] && [ -z "${allowed[$layer]+set}" ]; do
    if [[ $layer == */* ]]; then layer=${layer%/*}; else layer=""; fi
  done
}

# The include lines naming a toolkit's headers, as extended regular expressions.
declare -A toolkit_pattern=(
  [qt]='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*|qt[a-z]*/[^>]*)>'
  [win32]='^[[:space:]]*#[[:space:]]*include[[:space:]]*<([Ww]indows|[Ww]inuser|[Cc]ommctrl)\.h>'
)

# Every source file of a layer, with its layer (a file of a nested layer belongs to that layer).
declare -A layer_of_file=()
existing=()
for folder in "${!allowed[@]}"; do [ -d "$folder" ] && existing+=("$folder"); done
checked=0
if [ ${#existing[@]} -gt 0 ]; then
  while IFS= read -r file; do
    layer_of "$file"
    layer_of_file[$file]=$layer
    checked=$((checked + 1))
  done < <(find "${existing[@]}" \( -name '*.cpp' -o -name '*.hpp' \) -print | sort -u)
fi

status=0
if [ "$checked" -gt 0 ]; then
  # One pass over every include line: FILE:LINE:TEXT.
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    own=${layer_of_file[$file]}
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]]; then
      header=${BASH_REMATCH[1]}
      layer_of "$header"
      target=$layer
      if [ -z "$target" ]; then
        echo "$file:$line: \"$header\" is not named from the top of the tree by its layer's folder" >&2
        status=1
      elif [[ " ${allowed[$own]} " != *" $target "* ]]; then
        echo "$file:$line: layer $own includes \"$header\" of layer $target, which is not below it" >&2
        status=1
      fi
    else
      for toolkit in ${forbidden[$own]}; do
        if [[ $text =~ ${toolkit_pattern[$toolkit]} ]]; then
          echo "$file:$line: layer $own includes a $toolkit header" >&2
          status=1
        fi
      done
    fi
  done < <(printf '%s\0' "${!layer_of_file[@]}" | sort -z |
           xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' || true)
fi

# A layer's library is kartwerk_ and its folder with "_" for "/": no CMake file names another
# layer's library in a target_link_libraries of a layer's library.
declare -A layer_library=()
for layer in "${!allowed[@]}"; do layer_library[kartwerk_${layer//\//_}]=$layer; done
while IFS=$'\t' read -r where from to; do
  if [ -n "${layer_library[$from]+set}" ] && [ -n "${layer_library[$to]+set}" ]; then
    echo "$where: $from links $to by hand; the links between layers come from $map" >&2
    status=1
  fi
done < <(find . -path ./build\* -prune -o \( -name CMakeLists.txt -o -name '*.cmake' \) -print 2>/dev/null | sort |
         xargs -r perl -0777 -ne 'while (/target_link_libraries\(\s*(kartwerk_\w+)([^)]*)\)/g) {
           my ($from, $args, $at) = ($1, $2, $-[0]); (my $file = $ARGV) =~ s{^\./}{}; my $line = 1 + (substr($_, 0, $at) =~ tr/\n//);
           print "$file:$line\t$from\t$_\n" for ($args =~ /\b(kartwerk_\w+)/g) }')

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $(pwd)" >&2
  exit 1
fi
[ "$status" -eq 0 ] && echo "layers: $checked files, every include points down; links between layers from $map alone"
exit $status
