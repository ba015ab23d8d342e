#!/usr/bin/env bash
# Builds the workbench in Release (build-package/) and writes the Debian package
# dist/quorvel_VERSION_ARCH.deb with CPack; its dependencies come from the shared libraries the
# programs link. Prints the package's path last. scripts/check-package.sh installs and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF -DQUORVEL_BUILD_TOOLS=OFF >/dev/null
cmake --build build-package -j2
rm -rf build-package/cpack
(cd build-package && cpack -G DEB -B "$PWD/cpack")
debs=(build-package/cpack/quorvel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package: CPack wrote no single quorvel_*.deb" >&2
  exit 1
fi
mkdir -p dist
mv -f "${debs[0]}" dist/
echo "dist/$(basename "${debs[0]}")"
