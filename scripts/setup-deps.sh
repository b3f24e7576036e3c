#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run again: it does nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  zlib1g-dev libdeflate-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev libgl-dev libxcb1-dev
  xvfb xauth openbox xcompmgr xdotool x11-utils imagemagick weston qt6-wayland
  shared-mime-info desktop-file-utils locales
  help2man
  python3 python3-html5lib
  libstb-dev chromium
  mingw-w64 libz-mingw-w64-dev wine wine64 nsis
)

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
