#!/usr/bin/env bash
# The folders of src/ depend on each other in one direction only:
#   app (the Win32 shell) -> commands -> patch, files -> bytes; texts serves them all;
#   cli -> patch, files, bytes.
# Fails, naming the include, when a file includes a folder above its own.
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)"

declare -A allowed=(
    [app]="app commands patch files bytes texts"
    [commands]="commands patch files bytes texts"
    [cli]="cli patch files bytes"
    [patch]="patch bytes"
    [files]="files bytes texts"
    [bytes]="bytes"
    [texts]="texts"
)

status=0
for folder in "${!allowed[@]}"; do
    [ -d "$src/$folder" ] || continue
    while IFS= read -r line; do
        file="${line%%:*}"
        included="$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$line")"
        if [[ " ${allowed[$folder]} " != *" $included "* ]]; then
            echo "${file#"$src"/} includes $included/, which $folder/ must not depend on" >&2
            status=1
        fi
    done < <(grep -rHE '^#include "[^/"]+/' "$src/$folder" || true)
done
[ "$status" -eq 0 ] && echo "the folders of src/ depend on each other in one direction"
exit "$status"
