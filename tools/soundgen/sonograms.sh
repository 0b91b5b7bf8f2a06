#!/usr/bin/env bash
# Writes a spectrogram of every bank entry to build/spectrograms/sfxNN.png and all of
# them on one contact sheet, contact-sheet.png, for judging the sounds by eye.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DIR=$ROOT/build/spectrograms
TILE=640x   # contact-sheet tile width; the single spectrograms keep their full size
mkdir -p "$DIR"
for f in "$ROOT"/assets/sounds/sfx*.wav; do
  n=$(basename "$f" .wav)
  sox "$f" -n spectrogram -x 800 -y 257 -t "$n" -o "$DIR/$n.png"
done
if command -v montage >/dev/null; then
  montage "$DIR"/sfx??.png -tile 4x -geometry "$TILE+4+4" -depth 8 "$DIR/contact-sheet.png"
else
  echo "sonograms: no montage (imagemagick), so no contact sheet" >&2
fi
