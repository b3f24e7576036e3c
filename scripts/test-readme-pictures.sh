#!/usr/bin/env bash
# The README's pictures are those the current program draws from the current samples:
# scripts/make-readme-pictures.py remakes them into a copy of docs/, which must then differ from
# the committed docs/ nowhere (the screenshot aside, whose tooltip the script compares pixel for
# pixel with the map's picture), and write nothing but its four pictures.
#   test-readme-pictures.sh BUILD SOURCE_DIR
set -uo pipefail
build=$(realpath "${1:?build folder}")
source_dir=$(realpath "${2:?source folder}")
# shellcheck source=../tests/support/shell_checks.sh
source "$(dirname "$0")/../tests/support/shell_checks.sh"
make_pictures="$source_dir/scripts/make-readme-pictures.py"
pictures=(previews/frontier.png previews/007-mission-003.png previews/frontier-diff.png
  screenshots/map-browser-picture.png)

snapshot() {  # snapshot FOLDER [FILE...]: every file under FOLDER with its checksum, the FILEs left out
  local folder=$1 leave_out=()
  shift
  for file in "$@"; do leave_out+=(! -path "./$file"); done
  (cd "$folder" && find . -type f "${leave_out[@]}" -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}

# A build folder without the program: refused with status 2, nothing written.
cp -r "$source_dir/docs" "$scratch/untouched"
before=$(snapshot "$scratch/untouched")
python3 "$make_pictures" "$scratch/no-build" --docs "$scratch/untouched" > /dev/null 2> "$scratch/err"
check "a build folder without kartwerk is usage error 2" [ $? -eq 2 ]
check "the missing program is named" grep -q "kartwerk is missing" "$scratch/err"
check "nothing written without the program" [ "$(snapshot "$scratch/untouched")" = "$before" ]

# Remade into a copy of docs/ that holds one file of someone else's besides.
cp -r "$source_dir/docs" "$scratch/docs"
echo "notes" > "$scratch/docs/previews/notes.txt"
rm "$scratch/docs/screenshots/map-browser-picture.png"
before=$(snapshot "$scratch/docs" "${pictures[@]}")
python3 "$make_pictures" "$build" --docs "$scratch/docs" > "$scratch/out" 2>&1
status=$?
check "the pictures are remade (status $status: $(tail -3 "$scratch/out"))" [ "$status" -eq 0 ]
check "the diff picture's edits are said" grep -q "moved from 790,601 to 600,540" "$scratch/out"
check "the snapshot sees the other files" grep -q "previews/notes.txt" <<< "$before"
check "nothing else in docs/ changed" [ "$(snapshot "$scratch/docs" "${pictures[@]}")" = "$before" ]
for picture in previews/frontier.png previews/007-mission-003.png previews/frontier-diff.png; do
  check "docs/$picture is drawn from the current samples (run scripts/make-readme-pictures.py)" \
    cmp -s "$scratch/docs/$picture" "$source_dir/docs/$picture"
done
check "the browser's screenshot is made again" \
  bash -c "file '$scratch/docs/screenshots/map-browser-picture.png' | grep -q 'PNG image data, 4[2-9][0-9] x [2-9][0-9][0-9]'"
finish
