#!/usr/bin/env bash
# Runs the Windows suites that show windows (*_win32_desktop_test, listed in
# BUILD_FOLDER/tests/win32-desktop-suites.txt) under Wine on an X server of their own, and takes the
# pictures of the real screen they ask for:
#   scripts/test-win32-desktop.sh BUILD_FOLDER        (the folder of `make windows-suites`)
# Xvfb on a free display number and the xcompmgr compositor are started here and ended by their
# process ids; Wine runs in a private prefix made for this run. The compositor blends a layered
# window's alpha over the flat grey desktop (brightness 0.502) as a desktop shows it, so a picture
# tells a window at the end of its fade from one still faint.
# A suite asks for a picture by writing NAME.want ("left top width height", screen pixels) into the
# folder $KARTWERK_SCREENSHOTS; this script saves the whole screen as NAME.png and answers with
# NAME.seen: the rectangle's mean brightness (0 to 1), or a line beginning with "error". The
# pictures stay in BUILD_FOLDER/screenshots/ for a person to look at. Wine exits 0 when a program
# cannot start at all, so a suite passes only by its own summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/test-win32-desktop.sh BUILD_FOLDER}" && pwd)
list="$build/tests/win32-desktop-suites.txt"
[ -f "$list" ] || { echo "no $list: build the Windows suites first (make windows-suites)" >&2; exit 1; }
# ImageMagick's own programs: another convert may come first in PATH.
import=/usr/bin/import
convert=/usr/bin/convert
for program in Xvfb xcompmgr wine "$import" "$convert"; do
  command -v "$program" >/dev/null || { echo "$program is missing (scripts/setup-deps.sh installs it)" >&2; exit 1; }
done
readonly screen_width=1280 screen_height=1024

shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"

started=$(date +%s)
. "$root/scripts/private-wine-prefix.sh" desktop
# The prefix was made without a display: its wine server and desktop end first (they save the
# registry as they go), so that the suites' programs start them again on the X server.
wineserver -k; wineserver -w

# The X server and its compositor end after Wine's programs (cleanup ends the prefix's wine server).
xvfb="" compositor=""
stop() {
  if [ -n "$1" ]; then
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}
trap 'cleanup; stop "$compositor"; stop "$xvfb"' EXIT

# -displayfd: the server takes the first free display number and writes it there once it listens.
Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp \
  3>"$scratch/display" 2>"$scratch/xvfb.log" </dev/null &
xvfb=$!
for _ in $(seq 200); do
  grep -q '^[0-9][0-9]*$' "$scratch/display" 2>/dev/null && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
grep -q '^[0-9][0-9]*$' "$scratch/display" || { echo "Xvfb named no display within 10 s" >&2; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"
xcompmgr 2>"$scratch/xcompmgr.log" </dev/null &
compositor=$!
# It composes from its first frame on; the suites' first window comes seconds later, with Wine.
sleep 0.3
kill -0 "$compositor" 2>/dev/null || { echo "xcompmgr did not start:" >&2; cat "$scratch/xcompmgr.log" >&2; exit 1; }
echo "wine prefix, X server $DISPLAY (${screen_width}x${screen_height}) and compositor ready in $(( $(date +%s) - started )) s"

milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

# Answers one request: the picture, then the answer under its final name, so the suite never reads half of it.
answer() {
  local want=$1 name left="" top="" width="" height="" begin mean
  name=$(basename "$want" .want)
  begin=$(milliseconds)
  read -r left top width height _ <"$want" || true
  rm -f "$want"
  [[ $name =~ ^[A-Za-z0-9_-]+$ ]] || { echo "a picture request with an odd name ignored: $name" >&2; return 0; }
  local seen="$shots/$name.seen"
  if ! [[ "$left $top $width $height" =~ ^[0-9]+\ [0-9]+\ [0-9]+\ [0-9]+$ ]] || [ "$width" -eq 0 ] ||
     [ "$height" -eq 0 ] || [ $((left + width)) -gt $screen_width ] || [ $((top + height)) -gt $screen_height ]; then
    echo "error: the rectangle \"$left $top $width $height\" is not on the ${screen_width}x${screen_height} screen" >"$seen.part"
    echo "  picture $name refused: \"$left $top $width $height\" is not on the screen"
  elif "$import" -window root "$shots/$name.png" 2>>"$scratch/imagemagick.log" &&
       mean=$("$convert" "$shots/$name.png" -crop "${width}x${height}+${left}+${top}" +repage \
                -format '%[fx:mean]' info: 2>>"$scratch/imagemagick.log"); then
    echo "$mean" >"$seen.part"
    echo "  picture $name.png: brightness $mean in ${width}x${height}+${left}+${top}, $(( $(milliseconds) - begin )) ms"
  else
    echo "error: ImageMagick could not take or measure the picture" >"$seen.part"
    echo "  picture $name FAILED:" >&2
    cat "$scratch/imagemagick.log" >&2
  fi
  mv "$seen.part" "$seen"
}

status=0
count=0
# run_suite NAME [ARGUMENT...] [--as LABEL]: one suite run to its end, its picture requests answered.
run_suite() {
  local name=$1 label=$1
  shift
  local arguments=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --as ]; then label=$2; shift 2; else arguments+=("$1"); shift; fi
  done
  count=$((count + 1))
  local log="$scratch/$label.log" begin suite code
  begin=$(date +%s)
  KARTWERK_SCREENSHOTS="$shots" wine "$build/tests/$name.exe" --gtest_brief=1 "${arguments[@]}" >"$log" 2>&1 </dev/null &
  suite=$!
  while kill -0 "$suite" 2>/dev/null; do
    for want in "$shots"/*.want; do
      if [ -e "$want" ]; then answer "$want"; fi
    done
    sleep 0.05
  done
  if wait "$suite"; then code=0; else code=$?; fi
  if [ "$code" -eq 0 ] && grep -q '^\[  PASSED  \] [0-9]* test' "$log" && ! grep -q '^\[  FAILED  \]' "$log"; then
    echo "desktop suite $label: $(grep '^\[  PASSED  \]' "$log" | tr -d '\r'), $(( $(date +%s) - begin )) s"
  else
    echo "desktop suite $label FAILED (status $code):" >&2
    tr -d '\r' <"$log" | tail -n 60 >&2
    status=1
  fi
  # Requests a suite left unanswered (it ended or gave up waiting) are no pictures.
  find "$shots" -mindepth 1 -maxdepth 1 ! -name '*.png' -delete
}

while read -r name; do
  [ -n "$name" ] || continue
  run_suite "$name"
done <"$list"

# The windows again at 150 % (144 dots per inch), in the same prefix and on the same screen:
# Wine takes the resolution from the user's registry as each program starts. The suite's tests
# of sizes and texts, the slot titles' and map names' tips, its whole conversion, an Explorer
# start, the focus after an error box and the prompts' buttons run; their pictures are named "...-144dpi".
face=window_face_win32_desktop_test
if grep -qx "$face" "$list"; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  run_suite "$face" "--gtest_filter=Win32Face.TheWindowsFit*:Win32Face.AConversionDrivenBy*:Win32Face.TheVersionPickerOffersSix*:Win32Face.TheSlotRowUnderThePointer*:Win32Face.TheMapRowUnderThePointer*:Win32Face.AnExplorerStart*:Win32Face.TheFocusComesBack*:Win32Face.TheEditorPromptAndNotices*" --as "$face at 144 dpi"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
fi

echo "windows desktop suites: $count suite(s), $(find "$shots" -name '*.png' | wc -l) picture(s) in $shots," \
     "$(( $(date +%s) - started )) s in all"
exit $status
