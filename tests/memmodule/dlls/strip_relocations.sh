#!/bin/sh
# Post-link step: empties the base relocation directory of a linked image (ld
# always writes one for a DLL), so the image reads as one without relocations.
# The data directories start 96 bytes into a PE32 optional header, 112 into PE32+.
set -eu
image=$1
lfanew=$(od -An -t u4 -j 60 -N 4 "$image" | tr -d ' ')
optional=$((lfanew + 4 + 20))
magic=$(od -An -t u2 -j "$optional" -N 2 "$image" | tr -d ' ')
if [ "$magic" -eq 523 ]; then  # 0x20B, PE32+
    directories=$((optional + 112))
else
    directories=$((optional + 96))
fi
dd if=/dev/zero of="$image" bs=1 seek=$((directories + 5 * 8)) count=8 conv=notrunc status=none
