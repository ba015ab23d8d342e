#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it with the project's
# .clang-format. `scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=clang-format-14
command -v "$tool" >/dev/null || { echo "check-format: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench tools -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
    "$tool" -i "${files[@]}"
    exit 0
fi
if ! "$tool" --dry-run --Werror "${files[@]}" 2>/tmp/check-format.$$; then
    grep -E '^[^ ]+:[0-9]+:[0-9]+: error' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/check-format: differs: /' >&2
    rm -f /tmp/check-format.$$
    echo "check-format: run scripts/check-format.sh --fix" >&2
    exit 1
fi
rm -f /tmp/check-format.$$
echo "check-format: ${#files[@]} files as clang-format writes them"
