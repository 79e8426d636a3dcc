#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and test,
# but only when one of them is missing. Run as root (or with sudo available).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev sqlite3
  libopencc-dev
  libgtest-dev
  fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming
  fonts-hanazono
  xvfb xauth
)
# With --test: real readers the tests check exported and printed files with.
if [ "${1:-}" = "--test" ]; then
  packages+=(libreoffice-writer-nogui poppler-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
