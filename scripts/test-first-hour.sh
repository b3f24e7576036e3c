#!/bin/bash
# The first hour of a new user, mistakes included, in a scratch HOME: each case takes a snapshot of
# HOME before and after and checks that nothing the case did not ask Kartwerk to replace has
# changed or gone. Usage: test-first-hour.sh KARTWERK MAKE_SAMPLES KILL_AT_RENAME_LIBRARY
set -u
kartwerk=$1
make_samples=$2
kill_library=$3

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kartwerk-first-hour-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home TMPDIR=$scratch/tmp
unset XDG_DATA_HOME WINEPREFIX DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$TMPDIR"
data=$HOME/.local/share/kartwerk
backups=$data/replaced-slots
failures=()

fail() {
  echo "FAIL [$case_name]: $*" >&2
  failures+=("$case_name")
}

# Every path under HOME with its type and mode, and every file's digest; the paths given are left
# out (what the case asks Kartwerk to replace, and Kartwerk's own data folder).
snapshot() {
  local prune=(-false) path
  for path in "$@"; do prune+=(-o -path "$path"); done
  find "$HOME" \( "${prune[@]}" \) -prune -o -printf '%p %y %m\n' | sort
  find "$HOME" \( "${prune[@]}" \) -prune -o -type f -print0 | sort -z | xargs -0 -r md5sum
}

# One digest for the names and bytes of everything in a folder ("absent" when there is none).
tree_digest() {
  [ -d "$1" ] || { echo absent; return; }
  (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum && find . -type d | sort) | md5sum | cut -d' ' -f1
}

expect_unchanged() {  # BEFORE-FILE [EXCLUDED...]
  local before=$1
  shift
  if ! diff <(cat "$before") <(snapshot "$@") >"$scratch/diff"; then
    fail "files changed or went that nobody asked to replace:"
    head -20 "$scratch/diff" >&2
  fi
}

make_game() {  # FOLDER: a game folder with its editor
  mkdir -p "$1/editor/maps.src"
  printf 'MZ' >"$1/editor/scridll.dll"
}

make_slot() {  # FOLDER TEXT: a slot as a map maker leaves it
  mkdir -p "$1/mis.000"
  printf '%s\nmy own map\n' "$2" >"$1/desc"
  printf 'players of %s\n' "$2" >"$1/mis.000/players"
}

mkdir -p "$HOME/Downloads"
"$make_samples" "$HOME/Downloads" >/dev/null || { echo "cannot make the sample maps" >&2; exit 1; }
map=$HOME/Downloads/frontier.qdm

# --out ~/Documents twelve times, as a shell loop over maps does: refused every time, nothing moves.
case_documents_loop() {
  case_name=documents-loop
  mkdir -p "$HOME/Documents/letters"
  echo "taxes" >"$HOME/Documents/2025.txt"
  echo "dear" >"$HOME/Documents/letters/a.txt"
  snapshot >"$scratch/before"
  local refused=0 run status lines
  for run in $(seq 12); do
    "$kartwerk" convert "$map" --out "$HOME/Documents" --quiet 2>"$scratch/err"
    status=$?
    lines=$(wc -l <"$scratch/err")
    if [ "$status" = 1 ] && [ "$lines" = 1 ] && grep -q "choose a new or empty folder" "$scratch/err" &&
      grep -q "2025.txt" "$scratch/err"; then
      refused=$((refused + 1))
    fi
  done
  echo "documents-loop: $refused of 12 runs refused"
  [ "$refused" = 12 ] || fail "only $refused of 12 runs into ~/Documents were refused: $(cat "$scratch/err")"
  expect_unchanged "$scratch/before"
  rm -rf "$HOME/Documents"
}

# A batch result folder, then one map converted into it alone: the batch's folders stay.
case_batch_folder_then_one_map() {
  case_name=batch-folder-then-one-map
  "$kartwerk" convert "$HOME/Downloads/frontier.qdm" "$HOME/Downloads/islands.qdp" --out "$HOME/results" --quiet ||
    fail "the batch failed"
  snapshot "$data" >"$scratch/before"
  "$kartwerk" convert "$map" --out "$HOME/results" --quiet 2>"$scratch/err"
  [ $? = 1 ] || fail "one map into a batch's folder was not refused"
  expect_unchanged "$scratch/before" "$data"
  # Each map's own folder is a converted map, so converting again into it is fine.
  "$kartwerk" convert "$map" --out "$HOME/results/frontier" --quiet 2>/dev/null || fail "reconverting a converted folder failed"
  rm -rf "$HOME/results"
}

# Slot 7 of two installations: eleven conversions into one keep the other's only backup.
case_two_installations_slot_7() {
  case_name=two-installations-slot-7
  make_game "$HOME/games/A"
  make_game "$HOME/games/B"
  make_slot "$HOME/games/B/editor/maps.src/map.007" "B's own"
  "$kartwerk" convert "$map" --slot 7 --game "$HOME/games/B" --quiet 2>/dev/null || fail "conversion into B failed"
  local b_backups run
  b_backups=$(grep -l "games/B/" "$backups"/.about/* 2>/dev/null | wc -l)
  [ "$b_backups" = 1 ] || fail "B's slot 7 has $b_backups backups, not 1"
  snapshot "$HOME/games/A/editor/maps.src" "$data" >"$scratch/before"
  for run in $(seq 11); do
    "$kartwerk" convert "$map" --slot 7 --game "$HOME/games/A" --quiet 2>/dev/null || fail "conversion $run into A failed"
  done
  expect_unchanged "$scratch/before" "$HOME/games/A/editor/maps.src" "$data"
  b_backups=$(grep -l "games/B/" "$backups"/.about/* 2>/dev/null | wc -l)
  echo "two-installations-slot-7: after 11 conversions into A, B keeps $b_backups backup(s)"
  [ "$b_backups" = 1 ] || fail "B's backup went"
  grep -rqs "B's own" "$backups" || fail "B's own map is no longer in the backups"
  "$kartwerk" backups --slot 7 --game "$HOME/games/B" | grep -q "games/B/editor/maps.src/map.007" ||
    fail "kartwerk backups --slot 7 --game B does not show B's backup"
  # A's ten newest are all unchanged conversions; B's backup is the map maker's own, kept.
  "$kartwerk" backups --json | python3 -c '
import json, sys
backups = json.load(sys.stdin)
a = [b for b in backups if "/games/A/" in b["origin"]]
b = [b for b in backups if "/games/B/" in b["origin"]]
assert len(a) == 10 and all(x["unchangedConversion"] and x["bytes"] > 0 for x in a), a
assert len(b) == 1 and not b[0]["unchangedConversion"] and b[0]["installation"].endswith("/games/B"), b
assert all(x["time"].endswith(" UTC") for x in backups)
' || fail "kartwerk backups --json does not list A's ten conversions and B's own map"
}

# A hand-edited slot replaced twenty times is still in the backups, and can be put back.
case_hand_edited_slot() {
  case_name=hand-edited-slot
  make_game "$HOME/games/C"
  local slot=$HOME/games/C/editor/maps.src/map.003 run
  "$kartwerk" convert "$map" --slot 3 --game "$HOME/games/C" --quiet 2>/dev/null || fail "first conversion failed"
  echo "a unit I placed by hand" >>"$slot/mis.000/mapunits"
  local edited
  edited=$(tree_digest "$slot")
  for run in $(seq 20); do
    "$kartwerk" convert "$map" --slot 3 --game "$HOME/games/C" --quiet 2>/dev/null || fail "conversion $run failed"
  done
  local found="" backup
  for backup in "$backups"/map.003*; do
    [ "$(tree_digest "$backup")" = "$edited" ] && found=$backup
  done
  echo "hand-edited-slot: after 20 replacements the edited slot is ${found:+still in the backups: $(basename "$found")}${found:-gone}"
  [ -n "$found" ] || { fail "the hand-edited slot is gone"; return; }
  "$kartwerk" restore "$(basename "$found")" 2>/dev/null || fail "restore failed"
  [ "$(tree_digest "$slot")" = "$edited" ] || fail "restore did not put the edited slot back"
}

# A run killed just before and just after each of its renames leaves the slot old or new (or moved
# aside, which the next run puts back or keeps); after the next run nothing is left behind and the
# old map is in the backups.
case_killed_at_every_rename() {
  case_name=killed-at-every-rename
  make_game "$HOME/games/K"
  local src=$HOME/games/K/editor/maps.src slot=$HOME/games/K/editor/maps.src/map.009
  "$kartwerk" convert "$map" --slot 10 --game "$HOME/games/K" --quiet 2>/dev/null || fail "reference conversion failed"
  local new old renames k mode status digest
  new=$(tree_digest "$src/map.010")
  rm -rf "$src/map.010" "$data"
  make_slot "$slot" "Old"
  old=$(tree_digest "$slot")
  KARTWERK_RENAME_LOG=$scratch/renames LD_PRELOAD=$kill_library \
    "$kartwerk" convert "$map" --slot 9 --game "$HOME/games/K" --quiet 2>/dev/null || fail "counting run failed"
  renames=$(wc -l <"$scratch/renames")
  local kills=0 left_old=0 left_new=0 left_aside=0
  for k in $(seq "$renames"); do
    for mode in before after; do
      rm -rf "$slot" "$data" "$TMPDIR"/*
      make_slot "$slot" "Old"
      if [ $mode = after ]; then export KARTWERK_KILL_AFTER_RENAME=1; else unset KARTWERK_KILL_AFTER_RENAME; fi
      KARTWERK_KILL_AT_RENAME=$k LD_PRELOAD=$kill_library \
        "$kartwerk" convert "$map" --slot 9 --game "$HOME/games/K" --quiet 2>/dev/null
      status=$?
      unset KARTWERK_KILL_AFTER_RENAME
      [ $status = 137 ] && kills=$((kills + 1))
      digest=$(tree_digest "$slot")
      if [ "$digest" = "$old" ]; then
        left_old=$((left_old + 1))
      elif [ "$digest" = "$new" ]; then
        left_new=$((left_new + 1))
      elif [ "$digest" = absent ] && compgen -G "$src/.map.009.kartwerk-aside-*" >/dev/null; then
        left_aside=$((left_aside + 1))
      else
        fail "killed $mode rename $k: the slot is neither old nor new"
      fi
      "$kartwerk" convert "$map" --slot 9 --game "$HOME/games/K" --quiet 2>/dev/null || fail "the next run failed"
      [ "$(tree_digest "$slot")" = "$new" ] || fail "after rename $k ($mode) and the next run the slot is not new"
      [ "$(ls -A "$src")" = "map.009" ] || fail "after rename $k ($mode) maps.src holds: $(ls -A "$src" | tr '\n' ' ')"
      [ -z "$(ls -A "$TMPDIR")" ] || fail "after rename $k ($mode) TMPDIR holds: $(ls -A "$TMPDIR" | tr '\n' ' ')"
      if [ -n "$(find "$backups" -name '.kartwerk-*' 2>/dev/null)" ]; then
        fail "after rename $k ($mode) the backups hold: $(find "$backups" -name '.kartwerk-*')"
      fi
      local kept=0 backup
      for backup in "$backups"/map.009*; do
        [ "$(tree_digest "$backup")" = "$old" ] && kept=1
      done
      [ $kept = 1 ] || [ "$digest" = "$old" ] || fail "after rename $k ($mode) the old map is lost"
    done
  done
  echo "killed-at-every-rename: $renames renames, $kills kills; left old $left_old, new $left_new," \
    "moved aside $left_aside; nothing behind after the next run"
  [ "$kills" = $((2 * renames)) ] || fail "only $kills of $((2 * renames)) runs were killed"
}

# --- Every writing command against every hostile target ---
# Each command x target runs in a HOME of its own user (an unprivileged one when this script runs
# as root, who ignores permissions), with a snapshot of that HOME before and after: nothing that
# was there may change or go, anything new may appear only inside the named target or as a
# recorded backup, and no hidden work folder may be left. Expected: every run refused with status
# 1 or 2 (diff's trouble), except a batch into a folder of the user's files (or one holding another
# user's file), which only adds a folder per map beside them.
table_user_run() {  # COMMAND...: runs as the table's user in its HOME
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$thome" TMPDIR="$thome/tmp" "$@"
  else
    env HOME="$thome" TMPDIR="$thome/tmp" "$@"
  fi
}

table_snapshot() {
  {
    find "$thome" -path "$thome/tmp" -prune -o -printf '%p %y %m %u\n'
    find "$thome" -path "$thome/tmp" -prune -o -type f -print0 | xargs -0 -r md5sum
  } | LC_ALL=C sort
}

# Lines of AFTER that BEFORE lacks must lie inside TARGET or be a recorded backup; every line of
# BEFORE must still be there.
table_check() {  # CASE BEFORE AFTER TARGET
  local gone added line
  gone=$(LC_ALL=C comm -23 "$2" "$3")
  [ -z "$gone" ] || { table_fail "$1" "changed or went: $(echo "$gone" | head -3 | tr '\n' ' ')"; return; }
  added=$(LC_ALL=C comm -13 "$2" "$3")
  while read -r line; do
    [ -z "$line" ] && continue
    case "$line" in
      "$4"/*|*" $4"/*|"$tbackups/.about/"*|*" $tbackups/.about/"*|"$tbackups/.written"*|*" $tbackups/.written"*) ;;
      *) table_fail "$1" "appeared: $line"; return ;;
    esac
  done <<<"$added"
  if find "$thome" -name '*.kartwerk-*' | grep -q .; then
    table_fail "$1" "left behind: $(find "$thome" -name '*.kartwerk-*' | head -3 | tr '\n' ' ')"
  fi
}

table_fail() {
  echo "FAIL [hostile-targets $1]: $2" >&2
  failures+=("hostile-targets")
  table_failed=$((table_failed + 1))
}

# The arguments of COMMAND aimed at TARGET, into the array args.
table_command() {  # COMMAND TARGET
  case $1 in
    convert) args=(convert "$tmap" --out "$2" --quiet) ;;
    batch) args=(convert "$tmap" "$tmaps/islands.qdp" --out "$2" --quiet) ;;
    restore) args=(restore "crafted") ;;
    preview-o) args=(preview "$tmap" -o "$2" --quiet) ;;
    preview-out) args=(preview "$tmap" --out "$2" --quiet) ;;
    diff-picture) args=(diff "$tmap" --out "$thome/converted" --picture "$2") ;;
    slot) args=(convert "$tmap" --slot 7 --game "$thome/game" --quiet) ;;
  esac
}

case_hostile_targets() {
  case_name=hostile-targets
  thome=$scratch/table-home
  tmaps=$thome/maps
  tbackups=$thome/.local/share/kartwerk/replaced-slots
  tmap=$tmaps/frontier.qdm
  table_failed=0
  mkdir -p "$thome/tmp" "$tmaps" "$thome/Documents/letters" "$tbackups/.about"
  cp "$HOME/Downloads/frontier.qdm" "$HOME/Downloads/islands.qdp" "$tmaps/"
  echo "taxes" >"$thome/Documents/2025.txt"
  echo "dear" >"$thome/Documents/letters/a.txt"
  echo "my notes" >"$thome/notes.txt"
  ln -s "$thome/Documents" "$thome/docs-link"
  make_game "$thome/game"
  # A backup to aim at, and one whose record is rewritten to name each target for restore.
  make_slot "$tbackups/map.003 2026-12-07 10-00-00.000Z-01 Kept" "Kept"
  make_slot "$tbackups/crafted 2026-12-07 11-00-00.000Z-01 Crafted" "Crafted"
  local other_owner=yes
  chmod 755 "$scratch"
  if [ "$(id -u)" = 0 ]; then
    chown -R nobody:nogroup "$thome"
  fi
  table_user_run "$kartwerk" convert "$tmap" --out "$thome/converted" --quiet || table_fail setup "conversion failed"
  table_user_run "$kartwerk" convert "$tmap" --out "$thome/readonly" --quiet || table_fail setup "conversion failed"
  chmod 555 "$thome/readonly"
  mkdir -p "$thome/mixed"
  echo "theirs" >"$thome/mixed/desc"
  if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$thome/mixed"  # the folder is the user's, one file in it root's
  else
    other_owner=no  # only root can give a file to another user
  fi

  local targets=(map text-file documents link-to-documents inside-backups read-only other-owner home root)
  local commands=(convert batch restore preview-o preview-out diff-picture slot)
  declare -A path=(
    [map]=$tmap [text-file]=$thome/notes.txt [documents]=$thome/Documents [link-to-documents]=$thome/docs-link
    [inside-backups]="$tbackups/map.003 2026-12-07 10-00-00.000Z-01 Kept" [read-only]=$thome/readonly
    [other-owner]=$thome/mixed [home]=$thome [root]=/)
  local command target cell status runs=0 refused=0 allowed=0 row
  printf '%-18s' "target" >"$scratch/table"
  printf ' %-12s' "${commands[@]}" >>"$scratch/table"
  echo >>"$scratch/table"
  for target in "${targets[@]}"; do
    row=$(printf '%-18s' "$target")
    for command in "${commands[@]}"; do
      local t=${path[$target]}
      [ "$target" = other-owner ] && [ "$other_owner" = no ] && { row+=$(printf ' %-12s' skipped); continue; }
      # The pictures' read-only case is a new file in the read-only folder.
      case $command/$target in preview-o/read-only|diff-picture/read-only) t=$t/new.png ;; esac
      if [ "$command" = restore ]; then
        printf 'origin %s\nwhen 2026-12-07 11-00-00.000Z-01\ntitle Crafted\n' "$t" \
          >"$tbackups/.about/crafted 2026-12-07 11-00-00.000Z-01 Crafted"
        [ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$tbackups/.about"
      fi
      if [ "$command" = slot ]; then
        # The window's and --slot's target: the game's slot 7 is this target, as a link to it.
        rm -rf "$thome/game/editor/maps.src/map.007"
        ln -s "$t" "$thome/game/editor/maps.src/map.007"
      fi
      table_snapshot >"$scratch/tbefore"
      table_command "$command" "$t"
      table_user_run "$kartwerk" "${args[@]}" >/dev/null 2>"$scratch/terr"
      status=$?
      table_snapshot >"$scratch/tafter"
      runs=$((runs + 1))
      cell=$status
      if [ "$command/$target" = batch/documents ] || [ "$command/$target" = batch/other-owner ]; then
        [ "$status" = 0 ] && allowed=$((allowed + 1)) || table_fail "$command x $target" "status $status: $(head -1 "$scratch/terr")"
      elif [ "$status" = 0 ]; then
        table_fail "$command x $target" "was not refused"
      else
        refused=$((refused + 1))
      fi
      table_check "$command x $target" "$scratch/tbefore" "$scratch/tafter" "$t"
      row+=$(printf ' %-12s' "$cell")
    done
    echo "$row" >>"$scratch/table"
  done
  rm -f "$thome/game/editor/maps.src/map.007"
  echo "hostile-targets: exit status of each command (columns) at each target (rows):"
  sed 's/^/  /' "$scratch/table"
  echo "hostile-targets: $runs runs, $refused refused, $allowed allowed as expected, $table_failed failures"
  chmod -R u+w "$thome"
}

# --- A read-only --out folder, as its user: refused, no backup, nothing hidden; then the next
# conversion elsewhere adds exactly one backup. A leftover its user cannot move is reported and
# never copied, however many runs follow.
case_read_only_out_folder() {
  case_name=read-only-out-folder
  thome=$scratch/ro-home
  tbackups=$thome/.local/share/kartwerk/replaced-slots
  mkdir -p "$thome/tmp" "$thome/out"
  cp "$map" "$thome/frontier.qdm"
  chmod 755 "$scratch"
  [ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$thome"
  table_user_run "$kartwerk" convert "$thome/frontier.qdm" --out "$thome/out/ro" --quiet || fail "first conversion failed"
  table_user_run "$kartwerk" convert "$thome/frontier.qdm" --out "$thome/out/other" --quiet || fail "first conversion failed"
  chmod 555 "$thome/out/ro"
  local status backups_before backups_after
  backups_before=$(find "$tbackups" -mindepth 1 -maxdepth 1 -not -name '.*' 2>/dev/null | wc -l)
  table_user_run "$kartwerk" convert "$thome/frontier.qdm" --out "$thome/out/ro" --quiet 2>"$scratch/err"
  status=$?
  local said
  said=$(wc -l <"$scratch/err")
  [ "$status" = 1 ] || fail "a read-only --out folder gave status $status"
  [ "$said" = 1 ] || fail "a read-only --out folder said: $(cat "$scratch/err")"
  [ -z "$(find "$thome/out" -name '.*')" ] || fail "hidden folders left: $(find "$thome/out" -name '.*')"
  # An aside folder an interrupted run of old left, which this user cannot move.
  mkdir -p "$thome/out/.ro.kartwerk-aside-999999-abcdefghij/mis.000"
  echo old >"$thome/out/.ro.kartwerk-aside-999999-abcdefghij/desc"
  [ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$thome/out/.ro.kartwerk-aside-999999-abcdefghij"
  chmod 555 "$thome/out/.ro.kartwerk-aside-999999-abcdefghij/mis.000"
  local run reported=0
  for run in 1 2 3; do
    table_user_run "$kartwerk" convert "$thome/frontier.qdm" --out "$thome/out/other" --quiet 2>"$scratch/err" ||
      fail "conversion $run beside the read-only folder failed: $(cat "$scratch/err")"
    grep -q "left \".*kartwerk-aside-999999-abcdefghij\" alone: .*may not change" "$scratch/err" && reported=$((reported + 1))
  done
  backups_after=$(find "$tbackups" -mindepth 1 -maxdepth 1 -not -name '.*' | wc -l)
  echo "read-only-out-folder: status $status, $said line(s), no backup, nothing hidden; backups $backups_before before," \
    "$backups_after after 3 conversions beside it; the unmovable leftover reported $reported of 3 times"
  [ $((backups_after - backups_before)) = 3 ] || fail "3 conversions added $((backups_after - backups_before)) backups"
  [ "$reported" = 3 ] || fail "the unmovable leftover was reported $reported of 3 times"
  [ -d "$thome/out/.ro.kartwerk-aside-999999-abcdefghij/mis.000" ] || fail "the unmovable leftover was moved"
  local about
  about=$(find "$tbackups/.about" -type f | wc -l)
  [ "$about" = "$backups_after" ] || fail "$backups_after backups but $about records"
  chmod -R u+w "$thome"
}

# --- Cases whose behaviour comes with the installations work (they fail before it lands) ---

write_registry() {  # PREFIX NAME...: installations C:\Games\NAME registered in PREFIX
  local prefix=$1 name
  shift
  mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
  ln -sfn ../drive_c "$prefix/dosdevices/c:"
  {
    printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n'
    for name in "$@"; do
      printf '[Software\\\\Brannox\\\\Vornmark II\\\\%s] 1700000000\n#time=1da0c1f2e3d4c5b\n' "$name"
      printf '"language"="English"\n"target folder"="C:\\\\Games\\\\%s"\n"version"="2.2"\n\n' "$name"
      make_game "$prefix/drive_c/Games/$name"
    done
  } >"$prefix/system.reg"
}

# A typo without a display: status 2, one line, nothing written anywhere in HOME.
case_installs_typo_without_display() {
  case_name=installs-typo-without-display
  snapshot >"$scratch/before"
  "$kartwerk" convrt "$map" >/dev/null 2>"$scratch/err"
  local status=$?
  echo "typo-without-display: status $status, $(wc -l <"$scratch/err") line(s) on standard error"
  [ $status = 2 ] || fail "kartwerk convrt exited $status"
  [ "$(wc -l <"$scratch/err")" = 1 ] || fail "kartwerk convrt said $(wc -l <"$scratch/err") lines"
  expect_unchanged "$scratch/before"
}

# A map in the seventh of seven installations goes into the seventh's slot.
case_installs_seventh_installation() {
  case_name=installs-seventh-installation
  rm -rf "$HOME/.wine"
  write_registry "$HOME/.wine" VM1 VM2 VM3 VM4 VM5 VM6 VM7
  mkdir -p "$HOME/.wine/drive_c/Games/VM7/maps"
  cp "$map" "$HOME/.wine/drive_c/Games/VM7/maps/"
  snapshot "$HOME/.wine/drive_c/Games/VM7/editor/maps.src" "$data" >"$scratch/before"
  "$kartwerk" convert "$HOME/.wine/drive_c/Games/VM7/maps/frontier.qdm" --slot 7 --quiet 2>/dev/null ||
    fail "the conversion failed"
  [ -f "$HOME/.wine/drive_c/Games/VM7/editor/maps.src/map.007/desc" ] || fail "the seventh's slot 7 was not written"
  expect_unchanged "$scratch/before" "$HOME/.wine/drive_c/Games/VM7/editor/maps.src" "$data"
  rm -rf "$HOME/.wine"
}

# Two installations with a slot 5 each: the map's installation's slot is replaced, the other's stays.
case_installs_same_slot_number() {
  case_name=installs-same-slot-number
  rm -rf "$HOME/.wine"
  write_registry "$HOME/.wine" First Second
  make_slot "$HOME/.wine/drive_c/Games/First/editor/maps.src/map.005" "First's five"
  make_slot "$HOME/.wine/drive_c/Games/Second/editor/maps.src/map.005" "Second's five"
  mkdir -p "$HOME/.wine/drive_c/Games/Second/maps"
  cp "$map" "$HOME/.wine/drive_c/Games/Second/maps/"
  snapshot "$HOME/.wine/drive_c/Games/Second/editor/maps.src" "$data" >"$scratch/before"
  "$kartwerk" convert "$HOME/.wine/drive_c/Games/Second/maps/frontier.qdm" --slot 5 --quiet 2>/dev/null ||
    fail "the conversion failed"
  grep -q "Second's five" "$HOME/.wine/drive_c/Games/Second/editor/maps.src/map.005/desc" &&
    fail "the second installation's slot 5 was not replaced"
  expect_unchanged "$scratch/before" "$HOME/.wine/drive_c/Games/Second/editor/maps.src" "$data"
  grep -rqs "Second's five" "$backups" || fail "the second's slot 5 is not in the backups"
  rm -rf "$HOME/.wine"
}

case_documents_loop
case_hostile_targets
case_read_only_out_folder
case_batch_folder_then_one_map
case_two_installations_slot_7
case_hand_edited_slot
case_killed_at_every_rename
case_installs_typo_without_display
case_installs_seventh_installation
case_installs_same_slot_number

if [ ${#failures[@]} -gt 0 ]; then
  echo "first hour: failed cases: $(printf '%s\n' "${failures[@]}" | sort -u | tr '\n' ' ')" >&2
  exit 1
fi
echo "first hour: every case passed"
