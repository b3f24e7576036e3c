#!/usr/bin/env bash
# Writes the manual page kartwerk(1) from the program's own help texts with help2man: the page
# is `kartwerk --help` and `--version` (its "Files:" block becoming FILES), one section per
# subcommand holding that subcommand's --help, and sections gathered from those texts: the rule
# for replacing a folder (convert's "Replacing a folder:"), the backups (backups' "Keeping
# backups:") and EXIT STATUS (every subcommand's "Exit status:"), so the page and the program
# never disagree.
#   packaging/man-page.sh KARTWERK OUTPUT
set -euo pipefail
program=${1:?usage: man-page.sh KARTWERK OUTPUT}
output=${2:?usage: man-page.sh KARTWERK OUTPUT}
include=$(mktemp)
trap 'rm -f "$include"' EXIT

# Text shown as it stands: backslashes and minus signs escaped, lines starting with a control
# character protected.
roff_verbatim() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\&&/"; }
# The indented lines under a heading line ("Replacing a folder:"), up to the next blank line.
block() { awk -v heading="$1" '$0 == heading { on = 1; next } on && NF == 0 { exit } on { sub(/^ +/, ""); print }'; }
# A paragraph that starts with "Exit status:", as one line without that label.
exit_status() { awk '/^Exit status:/ { on = 1; sub(/^Exit status: */, "") } on && NF == 0 { exit } on { printf "%s ", $0 }'; }
# A section made of one block of a subcommand's help; fails when the block is missing.
help_section() {  # help_section TITLE SUBCOMMAND HEADING
  local text
  text=$("$program" "$2" --help | block "$3")
  [ -n "$text" ] || { echo "man-page.sh: \"kartwerk $2 --help\" has no \"$3\" block" >&2; exit 1; }
  echo "[$1]"
  roff_verbatim <<< "$text"
}

subcommands=$("$program" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
{
  echo "[SUBCOMMANDS]"
  for sub in $subcommands; do
    echo ".SS \"kartwerk $sub\""
    echo ".nf"
    "$program" "$sub" --help | roff_verbatim
    echo ".fi"
  done
  help_section "REPLACING A FOLDER" convert "Replacing a folder:"
  help_section "BACKUPS" backups "Keeping backups:"
  echo "[EXIT STATUS]"
  for sub in $subcommands; do
    status=$("$program" "$sub" --help | exit_status)
    [ -n "$status" ] || { echo "man-page.sh: \"kartwerk $sub --help\" states no exit status" >&2; exit 1; }
    echo ".TP"
    echo ".B kartwerk $sub"
    roff_verbatim <<< "$status"
  done
} > "$include"

help2man --no-info --section=1 --source=Kartwerk --manual="User Commands" \
  --name="convert compiled Vornmark II maps back into editor source" \
  --include="$include" --output="$output" "$program"
