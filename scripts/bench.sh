#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all (or the ones named: scripts/bench.sh
# solve_bench report_bench). Extra Google Benchmark flags go after "--".
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
all=(document_bench file_bench solver_bench report_bench editor_bench solve_bench page_bench)
names=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do names+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
[ ${#names[@]} -gt 0 ] || names=("${all[@]}")
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target "${names[@]}"
export QT_QPA_PLATFORM=offscreen
for b in "${names[@]}"; do
  echo "== $b"
  ./build-bench/bench/"$b" "$@"
done
