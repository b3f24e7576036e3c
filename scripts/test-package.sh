#!/usr/bin/env bash
# The Debian package and `make install`, checked as a user meets them.
#   scripts/test-package.sh build BUILD       makes the package (cpack) into BUILD/package-test/
#   scripts/test-package.sh runs BUILD        the extracted program converts and reads maps with its own
#                                     data and module, also after its tree has been moved
#   scripts/test-package.sh checks BUILD      lintian (no errors), desktop-file-validate, appstreamcli,
#                                     the manual page (FILES, EXIT STATUS of every subcommand, the rules
#                                     for --out and the backups), the README, and the map types opening
#                                     with Kartwerk
#   scripts/test-package.sh install BUILD     `make install DESTDIR=...` installs the same files
set -euo pipefail
step=${1:?step}
build=$(cd "${2:?build folder}" && pwd)
area="$build/package-test"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
the_deb() { find "$area/out" -maxdepth 1 -name 'kartwerk_*.deb' | head -n 1; }
extract() {  # extract ROOT: the package's files under ROOT
  dpkg-deb -x "$(the_deb)" "$1"
}

case $step in
build)
  rm -rf "$area" && mkdir -p "$area/out"
  cpack -G DEB -B "$area/out" --config "$build/CPackConfig.cmake" > "$area/cpack.log" 2>&1 ||
    { cat "$area/cpack.log" >&2; fail "cpack could not make the package"; }
  deb=$(the_deb)
  [ -n "$deb" ] || fail "cpack made no .deb in $area/out"
  # Computed from the linked libraries, not written by hand.
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libc6 libstdc++6 zlib1g libqt6widgets6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
  done
  # The completion needs bash-completion to be loaded at all.
  recommends=$(dpkg-deb -f "$deb" Recommends)
  [[ $recommends == *bash-completion* ]] || fail "Recommends lacks bash-completion: $recommends"
  echo "package $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $depends; Recommends: $recommends"
  ;;

runs)
  root="$scratch/root"
  extract "$root"
  for f in usr/bin/kartwerk usr/lib/kartwerk/modules/kartwerk-qt.so usr/share/kartwerk/cliffdata \
           usr/share/applications/kartwerk.desktop usr/share/mime/packages/kartwerk.xml \
           usr/share/icons/hicolor/16x16/apps/kartwerk.png usr/share/icons/hicolor/256x256/apps/kartwerk.png \
           usr/share/metainfo/org.kartwerk.kartwerk.metainfo.xml usr/share/man/man1/kartwerk.1.gz \
           usr/share/bash-completion/completions/kartwerk usr/share/doc/kartwerk/copyright \
           usr/share/doc/kartwerk/README.md; do
    [ -f "$root/$f" ] || fail "the package has no $f"
  done
  "$build/tools/make_samples" "$scratch/maps" > "$scratch/maps.txt"
  campaign=$(grep -i '\.qdc$' "$scratch/maps.txt" | head -n 1)
  # Run from a tree as installed, then from the same tree moved elsewhere.
  mkdir -p "$scratch/moved/somewhere"
  for prefix in "$root/usr" "$scratch/moved/somewhere/usr"; do
    [ "$prefix" = "$root/usr" ] || mv "$root/usr" "$prefix"
    program="$prefix/bin/kartwerk"
    [[ $("$program" --version) =~ ^kartwerk\ [0-9]+\.[0-9]+ ]] || fail "--version from $prefix"
    out="$scratch/slot-$RANDOM"
    "$program" convert "$campaign" --out "$out" --quiet || fail "the converted campaign from $prefix"
    [ -s "$out/cflags" ] && [ -s "$out/rhombs" ] && [ -s "$out/mis.000/scripts2" ] || fail "no slot files from $prefix"
    [[ $("$program" info "$campaign") == *"kind:     Campaign"* ]] || fail "info from $prefix"
    # The windows module loads (and its libraries resolve): Qt itself then refuses the platform.
    set +e
    windows=$(HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" QT_QPA_PLATFORM=no-such-platform \
              DISPLAY= WAYLAND_DISPLAY= "$program" 2>&1)
    set -e
    [[ $windows == *no-such-platform* ]] || fail "the windows module from $prefix: $windows"
  done
  # The moved tree's conversion equals the build folder's program's.
  "$build/kartwerk" convert "$campaign" --out "$scratch/reference" --quiet
  diff -r "$scratch/reference" "$out" > /dev/null || fail "the packaged program converts differently"
  echo "the extracted program converts, reads and opens its windows module, also moved"
  ;;

checks)
  root="$scratch/root"
  extract "$root"
  # Pedantic: every error, warning and pedantic tag counts; the tags that are right for this package
  # are overridden, with the reason, in the package's own overrides (packaging/kartwerk.lintian-overrides).
  TMPDIR="$scratch" lintian --pedantic --fail-on none --tag-display-limit 0 "$(the_deb)" > "$scratch/lintian.txt" 2>&1 ||
    { cat "$scratch/lintian.txt" >&2; fail "lintian did not run"; }
  tags=$(grep -E '^[EWP]: kartwerk' "$scratch/lintian.txt" || true)
  [ -z "$tags" ] || { echo "$tags" >&2; fail "lintian --pedantic reports $(wc -l <<< "$tags") tags"; }
  control=$(dpkg-deb --ctrl-tarfile "$(the_deb)" | tar -t)
  for script in postinst postrm preinst prerm; do
    grep -qx "./$script" <<< "$control" && fail "the package has a $script script"
  done
  # The hardening lintian checks for, read from the program itself.
  # (Read whole before grep, which would end the pipe early under pipefail.)
  for binary in usr/bin/kartwerk usr/lib/kartwerk/modules/kartwerk-qt.so; do
    elf=$(readelf -W --dynamic --program-headers --section-headers --dyn-syms "$root/$binary")
    [[ $elf == *BIND_NOW* ]] || fail "$binary is not linked with -z now"
    [[ $elf == *GNU_RELRO* ]] || fail "$binary has no RELRO segment"
    [[ $elf =~ __[a-z]+_chk@ ]] || fail "no fortified calls in $binary"
    [[ $elf == *" .comment "* ]] && fail "$binary keeps its .comment section"
  done
  echo "lintian --pedantic: 0 tags; no maintainer scripts; bindnow, relro, fortify"
  desktop-file-validate "$root/usr/share/applications/kartwerk.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.kartwerk.kartwerk.metainfo.xml" ||
    fail "appstreamcli validate"
  # The manual page is the program's help, every subcommand included.
  man=$(gzip -dc "$root/usr/share/man/man1/kartwerk.1.gz")
  for text in '.TH KARTWERK "1"' 'SUBCOMMANDS' 'kartwerk convert' 'kartwerk installs' '\-\-version' \
              '.SH FILES' 'replaced\-slots/.about/' 'replaced\-slots/.written/' '.SH "REPLACING A FOLDER"' \
              '.SH BACKUPS' '.SH "EXIT STATUS"'; do
    [[ $man == *"$text"* ]] || fail "the manual page lacks $text"
  done
  # EXIT STATUS names every subcommand --help lists.
  statuses=$(sed -n '/^\.SH "EXIT STATUS"/,/^\.SH/p' <<< "$man")
  for sub in $("$root/usr/bin/kartwerk" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }'); do
    [[ $statuses == *".B kartwerk $sub"* ]] || fail "EXIT STATUS lacks kartwerk $sub"
  done
  # The README in the package is the project's, opening with its quick start.
  cmp -s "$root/usr/share/doc/kartwerk/README.md" "$(dirname "$0")/../README.md" || fail "the packaged README differs"
  head -n 20 "$root/usr/share/doc/kartwerk/README.md" | grep -q 'make run' || fail "the README does not open with make run"
  # What the triggers of shared-mime-info and desktop-file-utils do when the package is
  # installed; then the desktop (GIO, as file managers use it) opens each map type with Kartwerk.
  share="$root/usr/share"
  update-mime-database "$share/mime" > /dev/null 2>&1
  update-desktop-database "$share/applications"
  desktop() {
    PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$share" XDG_DATA_HOME="$scratch/none" XDG_CONFIG_HOME="$scratch/none" "$@"
  }
  echo "compressed" | gzip > "$scratch/Frontier.QDM"
  type=$(desktop gio info -a standard::content-type "$scratch/Frontier.QDM" | sed -n 's/.*standard::content-type: //p')
  [ "$type" = application/x-vornmark-ii-singleplayer-map ] || fail "Frontier.QDM is taken for \"$type\""
  for type in singleplayer multiplayer campaign; do
    handler=$(desktop gio mime "application/x-vornmark-ii-$type-map")
    [[ $handler == "Default application"*": kartwerk.desktop"$'\n'* ]] ||
      fail "the $type map type does not open with Kartwerk: $handler"
  done
  echo "desktop entry, metainfo and manual page valid; the map types open with kartwerk.desktop"
  ;;

install)
  DESTDIR="$scratch/staged" cmake --install "$build" --prefix /usr > /dev/null
  extract "$scratch/root"
  (cd "$scratch/staged" && find . -type f | LC_ALL=C sort) > "$scratch/installed.txt"
  (cd "$scratch/root" && find . -type f | LC_ALL=C sort) > "$scratch/packaged.txt"
  diff "$scratch/packaged.txt" "$scratch/installed.txt" || fail "make install and the package differ"
  "$scratch/staged/usr/bin/kartwerk" --version > /dev/null || fail "the installed program does not run"
  echo "make install DESTDIR=... installs the package's $(wc -l < "$scratch/installed.txt") files"
  ;;

*) fail "unknown step $step" ;;
esac
