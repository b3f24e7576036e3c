#!/usr/bin/env bash
# Installs the Debian packages a job needs, when any is missing. The packages come in groups:
#   program   building the program, its Qt module and the samples (`make run`)
#   package   program, plus the manual page and the Debian package tools (`make install`, `make package`)
#   windows   the cross-build of kartwerk.exe and its installer (`make windows`)
#   test      everything above, plus what the test suites run (`make test`, the default)
# Safe to run again: it does nothing when everything is present.
# `setup-deps.sh --list GROUP...` prints the packages of the groups instead of installing them.
set -euo pipefail

group_packages() {
  case $1 in
  program)
    echo cmake g++ make pkg-config zlib1g-dev libdeflate-dev libxxhash-dev libcli11-dev nlohmann-json3-dev \
         qt6-base-dev libgl-dev libxcb1-dev libstb-dev ;;
  package)
    group_packages program
    echo help2man dpkg-dev file ;;
  windows)
    group_packages program
    echo mingw-w64 libz-mingw-w64-dev nsis ;;
  test)
    group_packages package
    group_packages windows
    echo libgtest-dev libgmock-dev libbenchmark-dev \
         xvfb xauth openbox xcompmgr xdotool x11-utils imagemagick weston qt6-wayland \
         shared-mime-info desktop-file-utils appstream lintian locales \
         python3 python3-html5lib python3-jsonschema chromium wine wine64 clang-format ;;
  *)
    echo "setup-deps.sh: unknown group '$1' (program, package, windows, test)" >&2
    return 1 ;;
  esac
}

list_only=false
if [ "${1:-}" = --list ]; then
  list_only=true
  shift
fi
[ $# -gt 0 ] || set -- test
for group in "$@"; do
  group_packages "$group" > /dev/null || exit 2
done
packages=()
for group in "$@"; do
  read -r -a more <<< "$(group_packages "$group" | tr '\n' ' ')"
  packages+=("${more[@]}")
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | sort -u)
if $list_only; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
