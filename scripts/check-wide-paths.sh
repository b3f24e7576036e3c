#!/usr/bin/env bash
# Fails when code built for Windows makes a path from narrow text. On Windows a std::string given
# to std::filesystem::path is read in the ANSI code page, so a folder named "Jürgen" becomes
# another folder, or none; every UTF-8 text becomes a path through PathFromText, and wide text
# directly. The rule is plain text matching:
#   - std::filesystem::path(...) or fs::path(...) whose argument is not visibly wide;
#   - a command-line option that holds a path (options.map, .game, .winePrefix, .out, .output,
#     .cliffData) used as a path without PathFromText.
# The Qt face (ui/qt, app/qt) and *_posix.cpp files never build for
# Windows; a line of code that runs only elsewhere says so with the comment "// not on Windows".
#   scripts/check-wide-paths.sh [SOURCE_FOLDER]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

folders=$(for folder in app core platform format convert game desktop pipeline preview compare ui; do if [ -d "$folder" ]; then echo "$folder"; fi; done)
# shellcheck disable=SC2086
files=$(find $folders -name '*.cpp' -o -name '*.hpp' |
        grep -vE '_posix\.cpp$|^platform/path_text\.cpp$' |
        while read -r file; do
          case "$file" in ui/logic/* | ui/win32/*) echo "$file" ;; ui/* | app/qt/*) ;; *) echo "$file" ;; esac
        done | sort)
[ -n "$files" ] || { echo "no source files found under $(pwd)" >&2; exit 1; }

status=0
report() {
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    echo "$hit" >&2
    echo "  ^ $1" >&2
    status=1
  done
}

# A path constructor with an argument, where the argument is not wide text.
wide_argument='(\)|L"|Wide\(|std::wstring|std::move\((wide|buffer)\)|wide(\)|\[)|path\))'
# shellcheck disable=SC2086
report "a path made from narrow text: use PathFromText (UTF-8) or wide text" < <(
  grep -HnE '(std::filesystem|fs)::path\(' $files | grep -v 'not on Windows' |
    grep -vE "std::function<[^>]*(std::filesystem|fs)::path\(" |
    grep -vE "(std::filesystem|fs)::path\($wide_argument" || true)

# The command line's path options are UTF-8 text.
# shellcheck disable=SC2086
report "a path option used as a path without PathFromText" < <(
  grep -HnE '(path|folder|Folder|Map|File)[A-Za-z]* *=[^=]*\boptions(\.|->)(map|game|winePrefix|out|output|cliffData)\b *;' \
    $files | grep -v 'PathFromText' | grep -v 'not on Windows' || true)

count=$(echo "$files" | wc -l)
[ "$status" -eq 0 ] && echo "wide paths: $count files, no path made from narrow text"
exit $status
