#!/usr/bin/env bash
# Tests the Windows installer under Wine, in a private prefix made for this run (wineboot -i) and
# removed at the end, with its wine server ended:
#   scripts/test-win32-installer.sh BUILD_FOLDER     (the folder of `make windows-installer`)
# The branding line under its pages (read from the installer's compressed script header: the
# silent run shows no page), then a silent install into a folder with a blank in its name, the
# installed files, the Start menu entry, the association and the "Add or remove programs" entry;
# the installed kartwerk.exe converts generated maps byte for byte as the reference does; a silent
# uninstall leaves none of it. Wine exits 0 when a program cannot start, so every step is judged by its effects.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/test-win32-installer.sh BUILD_FOLDER}" && pwd)
setups=("$build"/kartwerk-setup-*.exe)
setup=${setups[0]}
[ -f "$setup" ] || { echo "no kartwerk-setup-*.exe in $build (make windows-installer)" >&2; exit 1; }

started=$(date +%s)
. "$root/scripts/private-wine-prefix.sh" setup
failures=0
fail() { echo "windows installer: $*" >&2; failures=$((failures + 1)); }

folder_windows='C:\Map Tools\Kartwerk'
folder="$WINEPREFIX/drive_c/Map Tools/Kartwerk"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kartwerk.lnk"
backups_entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kartwerk backups.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kartwerk'
app_paths_key='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\kartwerk.exe'

# The default value of a key, or nothing when the key is missing.
default_value() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'
}
# Whether a key exists, by what `reg query` prints: its exit status was seen to differ from that under Wine.
key_present() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' | grep -qi "^HKEY_"
}
value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# The line under the installer's pages names the program and its version, not the installer's maker.
version=$(basename "$setup" .exe | sed 's/^kartwerk-setup-//')
if texts=$(python3 "$root/scripts/installer_texts.py" "$setup"); then
  grep -qx "Kartwerk $version" <<<"$texts" || fail "the installer's texts have no \"Kartwerk $version\""
  if grep -q "Nullsoft Install System" <<<"$texts"; then fail "the installer's pages keep the default branding"; fi
else
  fail "the installer's texts cannot be read"
fi

# Another program opens .qdm before Kartwerk is installed: cmd copies the opened map to C:\opened.qdm.
other_command='"C:\windows\system32\cmd.exe" /c copy "%1" "C:\opened.qdm"'
wine reg add 'HKCR\.qdm' /ve /d 'Other.Map' /f >/dev/null 2>&1
wine reg add 'HKCR\Other.Map' /ve /d 'Another program'"'"'s map' /f >/dev/null 2>&1
wine reg add 'HKCR\Other.Map\shell\open\command' /ve /d "$other_command" /f >/dev/null 2>&1
printf 'a map\r\n' >"$scratch/opened through the shell.qdm"
# Opens the map as a double-click does (ShellExecute); true when the other program received it.
other_program_opens() {
  rm -f "$WINEPREFIX/drive_c/opened.qdm"
  wine start /wait /unix "$scratch/opened through the shell.qdm" >/dev/null 2>&1 || true
  wineserver -w
  cmp -s "$WINEPREFIX/drive_c/opened.qdm" "$scratch/opened through the shell.qdm"
}
other_program_opens || fail "the other program does not open .qdm before the install (the test's own set-up)"

# The uninstaller runs on in a copy of itself after the command that started it has ended:
# `wineserver -w` waits until every program of the prefix has ended. NSIS takes /D= only unquoted
# and last, as a person types it; `wine` would quote an argument with a blank, so cmd starts it.
setup_windows="Z:$(echo "$setup" | tr / '\\')"
wine cmd /c "$setup_windows /S /D=$folder_windows"
wineserver -w
for file in kartwerk.exe cliffdata uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file is not installed in $folder_windows"
done
cmp -s "$folder/kartwerk.exe" "$build/kartwerk.exe" || fail "the installed kartwerk.exe is not the build's"
[ -f "$start_menu" ] || fail "no Start menu entry Kartwerk.lnk"
[ -f "$backups_entry" ] || fail "no Start menu entry \"Kartwerk backups.lnk\""
[ "$(default_value "$app_paths_key")" = "$folder_windows\kartwerk.exe" ] || fail "App Paths does not name kartwerk.exe"
[ "$(value "$uninstall_key" Publisher)" = "the Kartwerk developers" ] || fail "the Add/Remove Programs entry has no Publisher"
[ "$(value "$uninstall_key" PreviousHandler.qdm)" = "Other.Map" ] || fail "the installer did not remember .qdm's previous program"
[ -z "$(value "$uninstall_key" PreviousHandler.qdp)" ] || fail "the installer remembered a program for .qdp, which had none"

# The association as the program writes it, naming the installed program, before anything else
# has run it.
program="$folder_windows\\kartwerk.exe"
for type in qdm qdp qdc; do
  [ "$(default_value "HKCR\\.$type")" = "$type" ] || fail "HKCR\\.$type does not name $type"
  [ -n "$(default_value "HKCR\\$type")" ] || fail "HKCR\\$type has no description"
  [ "$(default_value "HKCR\\$type\\DefaultIcon")" = "$program,0" ] || fail "HKCR\\$type\\DefaultIcon is not $program,0"
  [ "$(default_value "HKCR\\$type\\Shell")" = "open" ] || fail "HKCR\\$type\\Shell does not make \"open\" the default verb"
  for verb in open Default_action; do
    [ "$(default_value "HKCR\\$type\\Shell\\$verb\\command")" = "\"$program\" \"%1\"" ] ||
      fail "HKCR\\$type $verb command: $(default_value "HKCR\\$type\\Shell\\$verb\\command")"
  done
done
[ "$(value "$uninstall_key" QuietUninstallString)" = "\"$folder_windows\\uninstall.exe\" /S" ] ||
  fail "the Add/Remove Programs entry has no quiet uninstall command"
[ "$(value "$uninstall_key" DisplayVersion)" = "$version" ] ||
  fail "the Add/Remove Programs entry names another version"

association_keys=('HKCR\.qdm' 'HKCR\qdm' 'HKCR\.qdp' 'HKCR\qdp' 'HKCR\.qdc' 'HKCR\qdc' "$uninstall_key")
for key in "${association_keys[@]}"; do key_present "$key" || fail "the key $key is missing after install"; done

# The installed program finds its own cliffdata and converts as the reference does.
python3 "$root/tests/reference/compare.py" --kartwerk "$folder/kartwerk.exe" --runner wine \
  --mode convert --count 6 --seed 7 --jobs 2 || fail "the installed kartwerk.exe converts differently"

# A portable copy (kartwerk.exe downloaded and started where it lies) leaves the association with the
# installed program; deleted, it leaves double-click working. Without a display its windows cannot
# open, but the association is settled before them.
downloads="$WINEPREFIX/drive_c/users/Public/Downloads"
mkdir -p "$downloads"
cp "$folder/kartwerk.exe" "$downloads/kartwerk.exe"
cp "$scratch/opened through the shell.qdm" "$downloads/portable.qdm"
timeout 60 wine "$downloads/kartwerk.exe" 'C:\users\Public\Downloads\portable.qdm' >/dev/null 2>&1 || true
wineserver -w
rm -f "$downloads/kartwerk.exe"
for type in qdm qdp qdc; do
  [ "$(default_value "HKCR\\$type\\Shell\\open\\command")" = "\"$program\" \"%1\"" ] ||
    fail "after a portable copy ran, .$type opens with $(default_value "HKCR\\$type\\Shell\\open\\command")"
done

wine "$folder/uninstall.exe" /S
wineserver -w
[ ! -e "$folder" ] || fail "left after uninstall: $(find "$folder" | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "the Start menu entry is left after uninstall"
[ ! -e "$backups_entry" ] || fail "the backups' Start menu entry is left after uninstall"
for key in 'HKCR\qdm' 'HKCR\.qdp' 'HKCR\qdp' 'HKCR\.qdc' 'HKCR\qdc' "$uninstall_key" "$app_paths_key"; do
  if key_present "$key"; then fail "the key $key is left after uninstall"; fi
done
# .qdm goes back to the program that had it, and a map opened through the shell reaches it.
[ "$(default_value 'HKCR\.qdm')" = "Other.Map" ] || fail "uninstalling left .qdm with \"$(default_value 'HKCR\.qdm')\""
[ "$(default_value 'HKCR\Other.Map\shell\open\command')" = "$other_command" ] || fail "the other program's command changed"
other_program_opens || fail "after uninstalling, a .qdm map no longer opens with the other program"

# With nothing working for .qdm (the other program gone), a portable copy does take it.
wine reg delete 'HKCR\Other.Map' /f >/dev/null 2>&1
cp "$build/kartwerk.exe" "$downloads/kartwerk.exe"
timeout 60 wine "$downloads/kartwerk.exe" 'C:\users\Public\Downloads\portable.qdm' >/dev/null 2>&1 || true
wineserver -w
[ "$(default_value 'HKCR\qdm\Shell\open\command')" = '"C:\users\Public\Downloads\kartwerk.exe" "%1"' ] ||
  fail "a portable copy did not take .qdm that no program opened: $(default_value 'HKCR\qdm\Shell\open\command')"

echo "windows installer ($(basename "$setup"), $(stat -c %s "$setup") bytes): install, conversion and" \
     "uninstall in $(( $(date +%s) - started )) s, $failures failure(s)"
[ "$failures" -eq 0 ]
