#!/usr/bin/env bash
# A longer fuzz run by hand: each named target (all when none is named) for SECONDS (600 by
# default), two at a time. The corpus grows in build/fuzz/long/NAME/corpus from the seeds in
# tests/data/fuzz/NAME; a crash, hang or sanitizer report leaves its input in build/fuzz/long/NAME
# (crash-*, timeout-*, oom-*, leak-*), the log in build/fuzz/long/NAME.log. Copy a finding into
# tests/data/fuzz/NAME as regress-WHAT once it is fixed: ./test replays it from then on.
#   scripts/fuzz.sh [--time SECONDS] [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=600
if [ "${1:-}" = "--time" ]; then seconds=$2; shift 2; fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  # Every target has its corpus folder.
  for d in tests/data/fuzz/*/; do targets+=("$(basename "$d")"); done
fi
bin=${QUORVEL_FUZZ_BIN:-build/fuzz}
if [ -z "${QUORVEL_FUZZ_BIN:-}" ]; then
  ./scripts/deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
        -DQUORVEL_SANITIZE=ON >/dev/null
  cmake --build build -j2 --target fuzz_targets
fi
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local name=$1 work=build/fuzz/long/$1
  mkdir -p "$work/corpus"
  local dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=(-dict="fuzz/dict/$name.dict")
  "$bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -print_final_stats=1 -artifact_prefix="$work/" "${dict[@]}" "$work/corpus" "tests/data/fuzz/$name" \
    >"$work.log" 2>&1 && echo "$name: done" || echo "$name: FOUND SOMETHING (see $work.log)"
  grep -E '^#[0-9]+.*(DONE|pulse)|^stat::' "$work.log" | tail -6 | sed "s/^/  $name: /"
}
export -f run
export bin seconds
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run {}'
