#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12 (apt-get).  Does
# nothing when everything is already there.
set -euo pipefail
packages=(cmake g++ make pkg-config googletest libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev binutils ser2net
          poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
