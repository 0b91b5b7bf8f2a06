#!/bin/sh
# Post-link step: empties the base relocation directory of a linked image (ld
# always writes one for a DLL), so the image reads as one without relocations.
set -eu
image=$1
lfanew=$(od -An -t u4 -j 60 -N 4 "$image" | tr -d ' ')
directory=$((lfanew + 4 + 20 + 96 + 5 * 8))  # DataDirectory[5] in the optional header
dd if=/dev/zero of="$image" bs=1 seek="$directory" count=8 conv=notrunc status=none
