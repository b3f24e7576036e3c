# Sourced by the scripts that run Windows programs under Wine: makes a scratch folder with a
# private Wine prefix in it (wineboot -i), and at the shell's exit ends the prefix's wine server
# and removes the scratch folder.
#   . scripts/private-wine-prefix.sh NAME      (sets $scratch and $WINEPREFIX)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kartwerk-$1-XXXXXX")
# Debian's Wine puts its server's socket folder under TMPDIR: inside the scratch folder, it goes with it.
mkdir "$scratch/tmp"
export TMPDIR="$scratch/tmp"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The programs take their temporary folder from the prefix (GetTempPathW), not from this shell.
unset DISPLAY WAYLAND_DISPLAY TEMP TMP
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
