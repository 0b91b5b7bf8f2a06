#!/usr/bin/env python3
# Prints the measures of every bank entry that tests/assets holds it to: onset, BS.1770
# loudness and true peak (ffmpeg's meter), DC, end level, the share of energy above
# 150 Hz, the last 50 ms against the loudest 50 ms and, for smooth entries, clicks.
# Usage: measure.py BANK.tsv SOUNDS_DIR [NN ...]   (all entries, or only those given)
import struct
import sys

import numpy as np

import clicks
import loudness

ONSET_LEVEL = 10 ** (-40 / 20)
TARGET_LUFS, TARGET_RANGE_LU, TRUE_PEAK_LIMIT_DB = -18.0, 1.5, -1.0
LATEST_ONSET_MS, LARGEST_DC, LARGEST_END = 10.0, 0.002, 0.01
SMALL_SPEAKER_HZ, LEAST_SHARE_ABOVE, HIGHEST_TAIL_DB = 150.0, 0.25, -30.0
POINTS = 8192               # as tests/assets/band_energy.cpp: Hann, half overlap
BLOCK_S = 0.05
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


def share_above(x, rate, hz):
    """Fraction of all channels' energy at or above hz."""
    window = 0.5 - 0.5 * np.cos(2 * np.pi * np.arange(POINTS) / POINTS)
    above = np.arange(POINTS // 2 + 1) >= np.ceil(hz * POINTS / rate)
    padded = np.vstack([x, np.zeros((POINTS, x.shape[1]))])
    total = high = 0.0
    for start in range(0, len(x), POINTS // 2):
        power = np.abs(np.fft.rfft(padded[start:start + POINTS] * window[:, None], axis=0)) ** 2
        total += power.sum()
        high += power[above].sum()
    return high / total if total else 0.0


def tail_db(x, rate):
    """Energy of the last 50 ms against the loudest 50 ms block, dB."""
    block = int(BLOCK_S * rate)
    blocks = len(x) // block
    top = (x[:blocks * block] ** 2).reshape(blocks, -1).mean(axis=1).max()
    return 10 * np.log10(max((x[-block:] ** 2).mean(), 1e-30) / max(top, 1e-30))


def main():
    table, sounds, only = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    print(f'{"entry":8} {"onset ms":>8} {"LUFS":>6} {"dBTP":>6} {"DC":>8} {"end":>7} {">150Hz":>6} '
          f'{"tail dB":>7}  clicks')
    for line in open(table):
        if line.startswith('#') or not line.strip():
            continue
        nn, *_, kind, ending = line.split()
        if only and nn not in only:
            continue
        path = f'{sounds}/sfx{nn}.wav'
        x, rate = load(path)
        onset = np.argmax(np.abs(x).max(axis=1) >= ONSET_LEVEL) / rate * 1000
        lufs, peak = loudness.measure(path)
        dc = np.abs(x.mean(axis=0)).max()
        end = np.abs(x[-int(0.002 * rate):]).max()
        found = clicks.find(x, rate) if kind == 'smooth' else []
        share = share_above(x, rate, SMALL_SPEAKER_HZ)
        tail = tail_db(x, rate)
        bad = (onset > LATEST_ONSET_MS or abs(lufs - TARGET_LUFS) > TARGET_RANGE_LU or
               peak > TRUE_PEAK_LIMIT_DB or dc > LARGEST_DC or end > LARGEST_END or found or
               share < LEAST_SHARE_ABOVE or (ending != 'cut' and tail > HIGHEST_TAIL_DB))
        where = ' '.join(f'{t:.3f}' for t in found[:5]) if kind == 'smooth' else '(hits)'
        print(f'sfx{nn}   {onset:8.2f} {lufs:6.1f} {peak:6.1f} {dc:8.5f} {end:7.4f} {100 * share:5.1f}% '
              f'{tail:7.1f}  {where}'
              f'{"  FAIL" if bad else ""}')


if __name__ == '__main__':
    main()
