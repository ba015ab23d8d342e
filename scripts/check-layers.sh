#!/usr/bin/env bash
# Fails when a core folder includes a header of a folder above it. The order, bottom first:
layers=(platform model graphics components diagrams report solver power io app cli gui)
set -euo pipefail
shopt -s extglob
cd "$(dirname "$0")/../src"
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done; echo -1; }
status=0
for dir in */; do
    dir=${dir%/}
    own=$(rank "$dir")
    if [ "$own" -lt 0 ]; then
        echo "check-layers: src/$dir is not in the layer order" >&2
        status=1
        continue
    fi
    while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"${hit#*:}")
        other=$(rank "$target")
        # The front ends go through the workbench, never round it.
        if { [ "$dir" = gui ] || [ "$dir" = cli ]; } && [[ "$target" != @(app|platform|gui) ]]; then
            echo "check-layers: src/$file includes $target/; the front ends use app/ and platform/ only" >&2
            status=1
        elif [ "$other" -gt "$own" ]; then
            echo "check-layers: src/$file includes $target/, which lies above $dir/" >&2
            status=1
        fi
    done < <(grep -rHE '^#include "[a-z]+/' "$dir" || true)
done
[ "$status" -eq 0 ] && echo "check-layers: no include runs up the layers"
exit "$status"
