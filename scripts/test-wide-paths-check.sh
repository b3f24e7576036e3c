#!/usr/bin/env bash
# scripts/check-wide-paths.sh on small trees: each narrow path it must find, and the wide
# spellings and files never built for Windows it must let pass.
set -euo pipefail
check=$(cd "$(dirname "$0")/.." && pwd)/scripts/check-wide-paths.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# expect STATUS NAME: runs the check on $scratch/NAME and compares its exit status.
expect() {
  local want=$1 name=$2 got=0
  bash "$check" "$scratch/$name" >"$scratch/$name.out" 2>&1 || got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAILED: $name: status $got, expected $want" >&2
    sed 's/^/  /' "$scratch/$name.out" >&2
    failures=$((failures + 1))
  fi
}
# tree NAME FILE LINE: a tree holding one source file with one line.
tree() {
  mkdir -p "$scratch/$1/$(dirname "$2")"
  printf '%s\n' "$3" >"$scratch/$1/$2"
}

tree option-constructor app/setup.cpp 'session.WinePrefix = std::filesystem::path(options.winePrefix);'
expect 1 option-constructor
grep -q 'app/setup.cpp:1:' "$scratch/option-constructor.out" || { echo "FAILED: the line is not named" >&2; failures=$((failures + 1)); }
tree short-namespace game/find.cpp 'const fs::path found = fs::path(text) / name;'
expect 1 short-namespace
tree option-assigned app/gallery.cpp '  const std::filesystem::path folder = options.out;'
expect 1 option-assigned
tree win32-face ui/win32/window.cpp 'return std::filesystem::path(title);'
expect 1 win32-face

tree converted app/setup.cpp 'session.WinePrefix = PathFromText(options.winePrefix);'
expect 0 converted
tree wide game/registry.cpp 'return std::filesystem::path(Wide(folder)) / std::filesystem::path(L"x");'
expect 0 wide
tree empty core/files.cpp 'return ec ? std::filesystem::path() : self;'
expect 0 empty
tree qt-face ui/qt/browser_window.cpp 'return std::filesystem::path(text.toStdString());'
tree qt-face core/files.cpp 'int x = 0;'
expect 0 qt-face
tree posix-file game/wine_posix.cpp 'return std::filesystem::path(home);'
tree posix-file core/files.cpp 'int x = 0;'
expect 0 posix-file
tree marked desktop/tools.cpp 'auto p = std::filesystem::path(entry);  // not on Windows'
expect 0 marked

[ "$failures" -eq 0 ] && echo "wide path check: every case as expected"
exit $((failures > 0))
