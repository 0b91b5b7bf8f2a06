#!/usr/bin/env bash
# Every committed skin is exactly what the skin compiler makes of its source, and
# carries the fixed header: ".SHE", 00 03, the payload size, LZMA props 5D, dict 8 MiB.
set -euo pipefail
source_dir=${1:?usage: skins_compiled_test.sh SOURCE_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
count=0
for skin in "$source_dir"/assets/skins/skin*.skin; do
    built=${skin%.skin}.she
    name=$(basename "$built")
    count=$((count + 1))
    python3 "$source_dir/tools/skinc/skinc.py" "$skin" "$work/$name"
    cmp -s "$work/$name" "$built" || { echo "FAIL: $name differs from what skinc makes of its source"; failures=$((failures + 1)); }
    header=$(head -c 15 "$built" | od -An -tx1 | tr -d ' \n')
    [[ $header == 2e5348450003????????5d00008000 ]] || { echo "FAIL: $name header $header"; failures=$((failures + 1)); }
done
[ "$count" -eq 33 ] || { echo "FAIL: expected 33 skin sources, found $count"; failures=$((failures + 1)); }
[ $failures -eq 0 ] && echo "skins: all $count compiled from their sources"
exit $((failures > 0))
