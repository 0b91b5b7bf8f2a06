#!/usr/bin/env python3
# Prints the measures of every bank entry that tests/assets holds it to: onset, BS.1770
# loudness and true peak (ffmpeg's meter), DC, end level and, for smooth entries, clicks.
# Usage: measure.py BANK.tsv SOUNDS_DIR
import struct
import sys

import numpy as np

import clicks
import loudness

ONSET_LEVEL = 10 ** (-40 / 20)
TARGET_LUFS, TARGET_RANGE_LU, TRUE_PEAK_LIMIT_DB = -18.0, 1.5, -1.0
LATEST_ONSET_MS, LARGEST_DC, LARGEST_END = 10.0, 0.002, 0.01
HEADER_BYTES = 44


def load(path):
    with open(path, 'rb') as f:
        data = f.read()
    ch, rate = struct.unpack_from('<HI', data, 22)
    bits = struct.unpack_from('<H', data, 34)[0]
    body = data[HEADER_BYTES:]
    if bits == 16:
        x = np.frombuffer(body, '<i2') / 32768.0
    else:
        x = (np.frombuffer(body, np.uint8).astype(float) - 128) / 128.0
    return x.reshape(-1, ch), rate


def main():
    table, sounds = sys.argv[1], sys.argv[2]
    print(f'{"entry":8} {"onset ms":>8} {"LUFS":>6} {"dBTP":>6} {"DC":>8} {"end":>7}  clicks')
    for line in open(table):
        if line.startswith('#') or not line.strip():
            continue
        nn, *_, kind = line.split()
        path = f'{sounds}/sfx{nn}.wav'
        x, rate = load(path)
        onset = np.argmax(np.abs(x).max(axis=1) >= ONSET_LEVEL) / rate * 1000
        lufs, peak = loudness.measure(path)
        dc = np.abs(x.mean(axis=0)).max()
        end = np.abs(x[-int(0.002 * rate):]).max()
        found = clicks.find(x, rate) if kind == 'smooth' else []
        bad = (onset > LATEST_ONSET_MS or abs(lufs - TARGET_LUFS) > TARGET_RANGE_LU or
               peak > TRUE_PEAK_LIMIT_DB or dc > LARGEST_DC or end > LARGEST_END or found)
        where = ' '.join(f'{t:.3f}' for t in found[:5]) if kind == 'smooth' else '(hits)'
        print(f'sfx{nn}   {onset:8.2f} {lufs:6.1f} {peak:6.1f} {dc:8.5f} {end:7.4f}  {where}'
              f'{"  FAIL" if bad else ""}')


if __name__ == '__main__':
    main()
