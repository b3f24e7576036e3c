#!/usr/bin/env bash
# The bash completion, driven as bash drives it: COMP_WORDS and COMP_CWORD set, the completion
# function called, COMPREPLY checked.
#   test-completion.sh KARTWERK COMPLETION_FILE
set -uo pipefail
program=$(realpath "${1:?kartwerk}")
completion=$(realpath "${2:?completion file}")
# shellcheck source=../tests/support/shell_checks.sh
source "$(dirname "$0")/../tests/support/shell_checks.sh"

# A folder with maps of every kind and letter case, other files and a sub-folder, and a Wine
# prefix whose registry names one installation.
mkdir -p "$scratch/work/sub folder" "$scratch/prefix/dosdevices" "$scratch/prefix/drive_c/Games/Vornmark II/game"
touch "$scratch/work/a.qdm" "$scratch/work/B.QDP" "$scratch/work/c.Qdc" "$scratch/work/notes.txt" \
      "$scratch/work/shot.png" "$scratch/work/fake.qdmx"
ln -s ../drive_c "$scratch/prefix/dosdevices/c:"
cat > "$scratch/prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Brannox\\Vornmark II\\1] 1700000000
"language"="English"
"target folder"="C:\\Games\\Vornmark II"
"version"="1.02"
REG
export WINEPREFIX="$scratch/prefix" HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data"
cd "$scratch/work" || exit 1

# shellcheck source=/dev/null
source "$completion"
# complete_at WORD...: the completion of the last word (the one under the cursor), one per line, sorted.
complete_at() {
  COMP_WORDS=("$program" "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _kartwerk 2> "$scratch/stderr"
  [ -s "$scratch/stderr" ] && fail "the completion of '$*' wrote to stderr: $(cat "$scratch/stderr")"
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}
has() {  # has WHAT LIST: LIST (lines) holds the line WHAT
  grep -qxF -- "$1" <<< "$2"
}
expect_has() {  # expect_has CONTEXT LIST WHAT...
  local context=$1 list=$2 what
  shift 2
  for what in "$@"; do
    if has "$what" "$list"; then pass; else fail "$context offers no '$what': $(echo $list)"; fi
  done
}
expect_lacks() {
  local context=$1 list=$2 what
  shift 2
  for what in "$@"; do
    if has "$what" "$list"; then fail "$context offers '$what': $(echo $list)"; else pass; fi
  done
}

# The top level: the subcommands, and its own options only.
top=$(complete_at "")
expect_has "kartwerk <TAB>" "$top" convert info preview installs slots register backups restore
expect_lacks "kartwerk <TAB>" "$top" --slot a.qdm
top_options=$(complete_at --)
expect_has "kartwerk --<TAB>" "$top_options" --help --version --game --wine-prefix
expect_lacks "kartwerk --<TAB>" "$top_options" --out --slot --quiet --json --command-tree
expect_has "kartwerk con<TAB>" "$(complete_at con)" convert

# Every subcommand --help lists is completed, and every option of its --help.
help_subcommands=$("$program" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
[ -n "$help_subcommands" ] || fail "kartwerk --help lists no subcommands"
for sub in $help_subcommands; do
  expect_has "kartwerk <TAB>" "$top" "$sub"
  # The options as --help shows them: the first column of the Options: block.
  options=$("$program" "$sub" --help | sed -n '/^Options:/,/^$/p' | grep -oE '^ +(-[a-z],)?--[a-z][a-z-]*' | tr ',' '\n' | tr -d ' ')
  offered=$(complete_at "$sub" -)
  for option in $options; do expect_has "kartwerk $sub -<TAB>" "$offered" "$option"; done
done

# The table comes from the program, whose help does not show the option that prints it.
tree=$("$program" --command-tree)
check "--command-tree exits with status 0" [ $? -eq 0 ]
check "--help does not show --command-tree" bash -c "! \"\$0\" --help | grep -q command-tree" "$program"
check "the table names each subcommand once" \
  [ "$(grep -c '^command ' <<< "$tree")" -eq "$(wc -w <<< "$help_subcommands")" ]
check "the table's lines have three or two fields" \
  bash -c "! awk '!((\$1 == \"command\" && NF == 2) || (\$2 ~ /^(flag|option|argument)\$/ && NF == 3))' <<< \"\$0\" | grep -q ." "$tree"

# Options of one subcommand only.
convert_options=$(complete_at convert --)
expect_has "kartwerk convert --<TAB>" "$convert_options" --out --slot --quiet --cliffdata --jobs --game
expect_lacks "kartwerk convert --<TAB>" "$convert_options" --output --scale --version --json
expect_has "kartwerk preview -<TAB>" "$(complete_at preview -)" -o --output --scale --mission
expect_has "kartwerk slots --js<TAB>" "$(complete_at slots --js)" --json
expect_has "kartwerk backups --<TAB>" "$(complete_at backups --)" --slot --out --json
expect_lacks "kartwerk restore --<TAB>" "$(complete_at restore --)" --slot --out --json

# Slots 0 to 254.
all_slots=$(complete_at convert a.qdm --slot "")
[ "$(wc -l <<< "$all_slots")" -eq 255 ] && pass || fail "--slot offers $(wc -l <<< "$all_slots") slots, not 255"
expect_has "--slot <TAB>" "$all_slots" 0 7 254
expect_lacks "--slot <TAB>" "$all_slots" 255 -1
slots_from_2=$(complete_at convert a.qdm --slot 2)
[ "$(wc -l <<< "$slots_from_2")" -eq 66 ] && pass || fail "--slot 2<TAB> offers $(wc -l <<< "$slots_from_2"), not 66"
expect_lacks "--slot 2<TAB>" "$slots_from_2" 3 12

# Maps for MAP (every letter case), folders, nothing else.
maps=$(complete_at convert "")
expect_has "kartwerk convert <TAB>" "$maps" a.qdm B.QDP c.Qdc "sub folder"
expect_lacks "kartwerk convert <TAB>" "$maps" notes.txt shot.png fake.qdmx
expect_has "kartwerk info --json <TAB>" "$(complete_at info --json "")" a.qdm c.Qdc
expect_has "kartwerk <map>" "$(complete_at a)" a.qdm
expect_has "kartwerk --game DIR convert <TAB>" "$(complete_at --game "sub folder" convert "")" a.qdm

# Folders for DIR options, pictures for -o.
out_dirs=$(complete_at convert a.qdm --out "")
expect_has "--out <TAB>" "$out_dirs" "sub folder"
expect_lacks "--out <TAB>" "$out_dirs" a.qdm notes.txt
pictures=$(complete_at preview a.qdm -o "")
expect_has "preview -o <TAB>" "$pictures" shot.png "sub folder"
expect_lacks "preview -o <TAB>" "$pictures" a.qdm notes.txt

# The installations' folders for --game, and the folders here.
games=$(complete_at slots --game "")
expect_has "slots --game <TAB>" "$games" "$scratch/prefix/drive_c/Games/Vornmark II" "sub folder"
expect_lacks "slots --game <TAB>" "$games" a.qdm
expect_lacks "slots --game /x<TAB>" "$(complete_at slots --game /x)" "$scratch/prefix/drive_c/Games/Vornmark II"

# restore's BACKUP: the backups kept (none yet, then one), and the folders here; never maps.
expect_has "restore <TAB> without backups" "$(complete_at restore "")" "sub folder"
check "listing the backups creates no backup folder" [ ! -e "$XDG_DATA_HOME/kartwerk" ]
kept="$XDG_DATA_HOME/kartwerk/replaced-slots/map.007 2026-12-07 14-30-21.042Z-01 Dunes"
mkdir -p -m 700 "$XDG_DATA_HOME/kartwerk" && mkdir -p -m 700 "$kept"
backups=$(complete_at restore "")
expect_has "restore <TAB>" "$backups" "$kept" "sub folder"
expect_lacks "restore <TAB>" "$backups" a.qdm notes.txt
expect_has "restore /<TAB>" "$(complete_at restore /)" "$kept"
expect_lacks "restore su<TAB>" "$(complete_at restore su)" "$kept"
expect_has "restore su<TAB>" "$(complete_at restore su)" "sub folder"
# diff --backup takes the same backups.
diff_backups=$(complete_at diff a.qdm --backup "")
expect_has "diff --backup <TAB>" "$diff_backups" "$kept" "sub folder"
expect_lacks "diff --backup <TAB>" "$diff_backups" a.qdm notes.txt

# Values the completion cannot know: nothing is offered.
[ -z "$(complete_at convert a.qdm --out x --jobs "")" ] && pass || fail "--jobs offers values"

finish
