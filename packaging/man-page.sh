#!/usr/bin/env bash
# Writes the manual page kartwerk(1) from the program's own help texts with help2man: the page
# is `kartwerk --help` and `--version`, followed by one section per subcommand holding that
# subcommand's --help, so the page and the program never disagree.
#   packaging/man-page.sh KARTWERK OUTPUT
set -euo pipefail
program=${1:?usage: man-page.sh KARTWERK OUTPUT}
output=${2:?usage: man-page.sh KARTWERK OUTPUT}
include=$(mktemp)
trap 'rm -f "$include"' EXIT

# Text shown as it stands: backslashes and minus signs escaped, lines starting with a control
# character protected.
roff_verbatim() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\&&/"; }

subcommands=$("$program" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
{
  echo "[SUBCOMMANDS]"
  for sub in $subcommands; do
    echo ".SS \"kartwerk $sub\""
    echo ".nf"
    "$program" "$sub" --help | roff_verbatim
    echo ".fi"
  done
} > "$include"

help2man --no-info --section=1 --source=Kartwerk --manual="User Commands" \
  --name="convert compiled Vornmark II maps back into editor source" \
  --include="$include" --output="$output" "$program"
