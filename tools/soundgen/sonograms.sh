#!/usr/bin/env bash
# Writes a spectrogram of every bank entry to build/spectrograms/sfxNN.png, for
# judging the sounds by eye (nobody here can listen).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$ROOT/build/spectrograms"
for f in "$ROOT"/assets/sounds/sfx*.wav; do
  n=$(basename "$f" .wav)
  sox "$f" -n spectrogram -x 800 -y 257 -t "$n" -o "$ROOT/build/spectrograms/$n.png"
done
