#!/usr/bin/env bash
# Writes the element templates (the component and ground symbols) into data/elements with the
# generator; the components tests check that the committed files are its output.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_TOOLS=ON >/dev/null
cmake --build build-tools -j"$(nproc)" --target quorvel-elmgen
QT_QPA_PLATFORM=offscreen ./build-tools/src/quorvel-elmgen data/elements
