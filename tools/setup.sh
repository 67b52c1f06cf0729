#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian 12, then
# configures and builds it in build/. Safe to run again: it installs only
# what is missing and rebuilds only what changed.
#   --packages-only   install, nothing more
#   --build-only      configure and build, nothing more
set -euo pipefail
cd "$(dirname "$0")/.."
step=${1:-all}

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev libfontconfig-dev libgl-dev libgtest-dev libzip-dev zip unzip
  python3 python3-fonttools python3-munkres
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth poppler-utils xdotool x11-utils
  # the screen reader's view of the editor (AT-SPI under Xvfb)
  at-spi2-core python3-pyatspi dbus
  libcurl4-openssl-dev python3-aiosmtpd openssl
  # the strict HTML5 parser the web page test reads the exported card with
  python3-html5lib
  # the sanitizer and fuzz build of run-tests.sh, and the tests of hostile
  # packages (zlib makes the ZIP bombs)
  clang libclang-rt-14-dev llvm lld zlib1g-dev
  # the Debian package (dpkg-shlibdeps) and the checks of what it installs
  dpkg-dev desktop-file-utils shared-mime-info
)

install_packages() {
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
}

[ "$step" = --build-only ] || install_packages
[ "$step" = --packages-only ] && exit 0

# Ninja for a new build folder (an existing one keeps its generator). The
# editor is optimised without debugging information, and the sources are
# compiled in batches (unity build): both roughly halve the build's time.
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build build -j"$(nproc)"
