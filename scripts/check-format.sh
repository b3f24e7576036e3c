#!/usr/bin/env bash
# Fails when a C++ file of the tree does not follow .clang-format, naming each such file and its
# first differing lines (clang-format --dry-run -Werror); `clang-format -i FILE` mends one.
#   scripts/check-format.sh [SOURCE_FOLDER]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
command -v clang-format >/dev/null || { echo "clang-format is not installed (scripts/setup-deps.sh test)" >&2; exit 1; }
[ -f .clang-format ] || { echo "no .clang-format under $(pwd)" >&2; exit 1; }
mapfile -d '' files < <(find . -path './build*' -prune -o -path './.git' -prune -o \
                          \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' \) -print0 | sort -z)
[ ${#files[@]} -gt 0 ] || { echo "no C++ files under $(pwd)" >&2; exit 1; }
if ! out=$(printf '%s\0' "${files[@]}" | xargs -0 -n 40 clang-format --style=file --dry-run -Werror 2>&1); then
  printf '%s\n' "$out" | grep -E '^[^ ].*: error:' | sed -E 's/:[0-9]+:[0-9]+: error: .*//' | sort -u |
    sed 's/^/not formatted: /' >&2
  printf '%s\n' "$out" | head -20 >&2
  exit 1
fi
echo "format: ${#files[@]} files follow .clang-format"
