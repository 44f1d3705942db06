#!/usr/bin/env bash
# Installs the build dependencies on Debian 12 when any of them is missing.
# Sourced by run.sh and test.sh; does nothing when everything is there.
set -euo pipefail
VRS_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev)
missing=()
for p in "${VRS_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
