#!/usr/bin/env bash
# Puts the native renders of all 33 skins on the real board, captions drawn in the
# layout's colours with the CJK font the board gets under Wine, into one contact sheet:
#   board_sheet.sh BOARD_SHEET_TOOL SKIN_DIR OUT_DIR   ->  OUT_DIR/board_sheet.png
set -euo pipefail
tool=${1:?} skins=${2:?} out=${3:?}
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -e "$font" ] || { echo "no CJK font at $font (fonts-wqy-microhei)"; exit 1; }
mkdir -p "$out/frames"
rm -f "$out/frames"/*
"$tool" "$skins" "$out/frames" "$font"
for ppm in "$out/frames"/skin*.ppm; do
    # Read here: the usual ImageMagick policy refuses "@file" arguments.
    convert "$ppm" -draw "$(cat "${ppm%.ppm}.mvg")" "${ppm%.ppm}.png"
done
count=$(ls "$out/frames"/skin*.png | wc -l)
[ "$count" -eq 33 ] || { echo "expected 33 frames, got $count"; exit 1; }
# No two skins may render the same.
[ "$(md5sum "$out/frames"/skin*.png | cut -d' ' -f1 | sort -u | wc -l)" -eq 33 ] || { echo "two skins render alike"; exit 1; }
montage -label '%t' "$out/frames"/skin*.png -tile 6x -geometry 566x457+4+4 "$out/board_sheet.png"
echo "contact sheet: $out/board_sheet.png"
