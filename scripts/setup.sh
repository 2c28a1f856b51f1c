#!/usr/bin/env bash
# Installs the Debian 12 packages Velmar builds and tests with, if any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-svg-dev libgl-dev libxcb1-dev
  libemf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libqcustomplot-dev
  xvfb xauth x11-utils xdotool openbox fonts-liberation fonts-dejavu-core
  # the Debian package and the tools that check it (tests/package)
  dpkg-dev lintian desktop-file-utils appstream file devscripts
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
