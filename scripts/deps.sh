#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Safe to run repeatedly: only missing packages are installed.
set -euo pipefail

PACKAGES=(
  build-essential
  cmake
  ninja-build
  ccache
  clang-14
  libclang-rt-14-dev
  lld
  pkg-config
  qt6-base-dev
  qt6-base-dev-tools
  qt6-svg-dev
  # The interface's languages: lupdate and lrelease for translations/*.ts with their CMake
  # functions, and Qt's own Russian texts for its standard buttons.
  qt6-l10n-tools
  qt6-tools-dev
  qt6-translations-l10n
  libgl-dev
  zlib1g-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  fonts-liberation
  fonts-dejavu-core
  xvfb
  xauth
  clang-format-14
  ngspice
  # The Debian package (scripts/package.sh): the dependencies from the shared libraries, and
  # the checks of its desktop, file-type, metainfo and manual files (./test and
  # scripts/check-package.sh).
  dpkg-dev
  desktop-file-utils
  shared-mime-info
  appstream
  man-db
  xdg-utils
  libfile-mimeinfo-perl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
