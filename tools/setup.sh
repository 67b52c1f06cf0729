#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian 12, then
# configures and builds it in build/. Safe to run again: it installs only
# what is missing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev libgtest-dev libzip-dev zip unzip
  python3 python3-fonttools python3-munkres
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth poppler-utils xdotool x11-utils
  # the screen reader's view of the editor (AT-SPI under Xvfb)
  at-spi2-core python3-pyatspi dbus
  libcurl4-openssl-dev python3-aiosmtpd openssl
  # the sanitizer and fuzz builds of run-tests.sh, and the tests of hostile
  # packages (zlib makes the ZIP bombs)
  clang libclang-rt-14-dev llvm zlib1g-dev
  # the Debian package (dpkg-shlibdeps) and the checks of what it installs
  dpkg-dev desktop-file-utils shared-mime-info
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo: need ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
