#!/usr/bin/env bash
# The first minutes of a new user: the package groups of scripts/setup-deps.sh, what `make run`,
# `make install` and `make package` build (the program only), and the time table of `make test`.
#   test-first-run.sh SOURCE_DIR
set -uo pipefail
source_dir=$(realpath "${1:?source folder}")
# shellcheck source=../tests/support/shell_checks.sh
source "$(dirname "$0")/../tests/support/shell_checks.sh"
in_list() { grep -qxF -- "$1" <<< "$2"; }
not_in_list() { ! in_list "$1" "$2"; }
subset() {  # every line of $1 is in $2
  local line
  while IFS= read -r line; do in_list "$line" "$2" || return 1; done <<< "$1"
}

# --- The package groups ---------------------------------------------------------------------
deps=$source_dir/scripts/setup-deps.sh
program=$("$deps" --list program)
package=$("$deps" --list package)
windows=$("$deps" --list windows)
everything=$("$deps" --list test)
check "the default group is test" [ "$("$deps" --list)" = "$everything" ]
for p in cmake g++ qt6-base-dev libcli11-dev libstb-dev; do check "program group has $p" in_list "$p" "$program"; done
for p in libgtest-dev wine wine64 chromium mingw-w64 nsis weston xvfb help2man; do
  check "program group lacks $p" not_in_list "$p" "$program"
done
for p in help2man dpkg-dev file; do check "package group has $p" in_list "$p" "$package"; done
for p in mingw-w64 libz-mingw-w64-dev nsis; do check "windows group has $p" in_list "$p" "$windows"; done
check "package group lacks wine" not_in_list wine "$package"
check "package group holds the program group" subset "$program" "$package"
check "windows group holds the program group" subset "$program" "$windows"
for group in "$program" "$package" "$windows"; do check "test group holds every group" subset "$group" "$everything"; done
for p in libgtest-dev lintian appstream chromium wine; do check "test group has $p" in_list "$p" "$everything"; done
check "groups list each package once" [ "$(sort <<< "$everything" | uniq -d)" = "" ]
# A mistyped group installs nothing and says why, with status 2.
"$deps" program nonsense > "$scratch/out" 2>&1
check "an unknown group exits with status 2" [ $? -eq 2 ]
check "an unknown group is named" grep -q "unknown group 'nonsense'" "$scratch/out"
check "an unknown group installs nothing" bash -c "! grep -q Installing '$scratch/out'"

# --- What the make targets build -------------------------------------------------------------
dry() { make -C "$source_dir" -n "$@" BUILD="$scratch/build" 2> /dev/null; }
run=$(dry run)
check "make run builds kartwerk_program" grep -q -- "--target kartwerk_program" <<< "$run"
check "make run installs the program group" grep -q "setup-deps.sh program" <<< "$run"
check "make run configures a first build without the suites" grep -q -- "-DKARTWERK_TESTS=OFF" <<< "$run"
for word in "setup-deps.sh test" windows ctest run-tests "cmake --build $scratch/build -j [0-9]*$"; do
  check "make run does not do '$word'" bash -c "! grep -qE -- '$word' <<< \"\$0\"" "$run"
done
mkdir -p "$scratch/build" && touch "$scratch/build/CMakeCache.txt"
check "a configured folder keeps its test setting" bash -c "! grep -q -- KARTWERK_TESTS=OFF <<< \"\$0\"" "$(dry run)"
for target in install package; do
  out=$(dry "$target")
  check "make $target builds kartwerk_program" grep -q -- "--target kartwerk_program" <<< "$out"
  check "make $target installs the package group" grep -q "setup-deps.sh package" <<< "$out"
  check "make $target builds no test or Windows target" bash -c "! grep -qE -- 'windows|edit3_stub|-DKARTWERK_TESTS=ON' <<< \"\$0\"" "$out"
done
test_plan=$(dry test)
for stage in "plain build" "sanitized build" "Windows build" "plain tests" "sanitized tests" "Windows suites" \
             "desktop suite" "installer"; do
  check "make test times the stage '$stage'" grep -q "timed-stage.sh .* \"$stage\"\\|timed-stage.sh .* $stage" <<< "$test_plan"
done

# --- The table of stage times ----------------------------------------------------------------
stage=$source_dir/scripts/timed-stage.sh
table=$scratch/stages.txt
"$stage" "$table" "first" sleep 1 > "$scratch/first.out"
check "a passing stage that is not the last prints nothing" [ ! -s "$scratch/first.out" ]
"$stage" "$table" "second" bash -c 'exit 3' > "$scratch/second.out"
check "a failing stage passes its status on" [ $? -eq 3 ]
check "a failing stage prints the table" grep -q "second .*FAILED" "$scratch/second.out"
"$stage" "$table" --last "third" true > "$scratch/third.out"
check "the last stage prints every stage" [ "$(grep -cE '^  (first|second|third) ' "$scratch/third.out")" -eq 3 ]
check "the table ends with the total" grep -qE '^  total +[0-9]+\.[0-9] s' "$scratch/third.out"
seconds=$(awk -F '\t' '$1 == "first" { print $2 }' "$table")
check "a stage's time is measured ($seconds s for sleep 1)" awk -v s="$seconds" 'BEGIN { exit !(s >= 0.9 && s < 5) }'
"$stage" "$table" "no command" > /dev/null 2>&1
check "a stage without a command is refused" [ $? -eq 2 ]

finish
