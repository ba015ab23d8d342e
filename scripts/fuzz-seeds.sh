#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets (tests/data/fuzz/*/seed-*) anew from the tests'
# fixtures, in the checked build of ./test. Regression cases (regress-*) stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
      -DQUORVEL_SANITIZE=ON >/dev/null
cmake --build build -j2 --target fuzz_seeds
rm -f tests/data/fuzz/*/seed-*
ASAN_OPTIONS=detect_leaks=0 build/tests/fuzz/fuzz_seeds
ls tests/data/fuzz
