#!/usr/bin/env bash
# One fuzz test of ./test: replays the corpus, then tries RUNS more inputs from a fixed seed, so
# that a failure repeats (the time limit only cuts a run short on a slow machine: what it tries
# is the same sequence). New inputs go to a scratch folder, never into the corpus.
#   run.sh PROGRAM CORPUS WORK RUNS [DICTIONARY]
set -euo pipefail
program=$1 corpus=$2 work=$3 runs=$4 dict=${5:-}
# The checks ./test sets, also for a run of ctest alone.
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
rm -rf "$work"
mkdir -p "$work/new"
args=(-seed=1 -runs="$runs" -max_total_time=15 -timeout=10 -rss_limit_mb=1536 -malloc_limit_mb=256
      -print_final_stats=1 -artifact_prefix="$work/")
[ -n "$dict" ] && args+=(-dict="$dict")
exec "$program" "${args[@]}" "$work/new" "$corpus"
