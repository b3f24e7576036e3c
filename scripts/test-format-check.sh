#!/usr/bin/env bash
# The format check against a badly formatted file: a copy of the tree's C++ files passes, the same
# copy with one file's indentation broken fails naming that file, and the tree is left as it was.
#   scripts/test-format-check.sh [SOURCE_FOLDER]
set -euo pipefail
source_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$source_dir" && git ls-files -z -- '*.cpp' '*.hpp' .clang-format 2>/dev/null || \
   find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.hpp' -o -name .clang-format \) -print0) |
  (cd "$source_dir" && tar --null -T - -cf -) | tar -xf - -C "$scratch"
check=$source_dir/scripts/check-format.sh
bash "$check" "$scratch" >/dev/null || { echo "FAIL: the unchanged copy does not pass" >&2; exit 1; }
victim=core/text.cpp
sed -i '0,/^  /s/^  /      /' "$scratch/$victim"
if out=$(bash "$check" "$scratch" 2>&1); then
  echo "FAIL: a file indented by hand passes" >&2; exit 1
fi
[[ $out == *"not formatted: ./$victim"* ]] || { echo "FAIL: the report does not name $victim: $out" >&2; exit 1; }
echo "format check: the tree passes, a misformatted file fails by name"
