#!/usr/bin/env python3
# Turns a recipe's raw render into a bank entry: strips lead-in silence, removes DC,
# fits the exact length at the tail, brings loudness to the bank's target under a
# -1 dBFS ceiling, fades the end, and writes exactly the 44-byte RIFF/WAVE layout.
# Usage: finish.py IN.s32 OUT.wav CHANNELS RATE BITS DATA_BYTES TAIL_FADE_S
#   IN.s32 is raw signed 32-bit little-endian, already at CHANNELS and RATE (sox makes it).
import math
import struct
import sys
from array import array

FULL = 2147483648.0
TARGET_DB = -20.0        # RMS over the sounding part, dBFS
CEILING = 10 ** (-1.2 / 20)  # a little under -1 dBFS, room for rounding and 8-bit steps
ONSET_REL = 0.05         # lead-in ends where the signal first reaches 5% of its peak
BLOCK_S = 0.05           # loudness blocks
SOUNDING_DB = 30.0       # blocks within this of the loudest block count as sounding
END_FADE_S = 0.01


def sounding_rms(x, channels, rate):
    block = int(BLOCK_S * rate) * channels
    energies = []
    for s in range(0, len(x) - block + 1, block):
        seg = x[s:s + block]
        energies.append(sum(v * v for v in seg) / block)
    top = max(energies)
    floor = top * 10 ** (-SOUNDING_DB / 10)
    kept = [e for e in energies if e >= floor]
    return math.sqrt(sum(kept) / len(kept))


def limit(x, channels, rate, ceiling):
    """Block-wise gain riding so no sample passes `ceiling`: instant on loud blocks,
    a 1 ms ramp into them and a 60 ms recovery after."""
    block = max(1, int(0.001 * rate)) * channels
    nb = (len(x) + block - 1) // block
    need = []
    for b in range(nb):
        p = max(abs(v) for v in x[b * block:(b + 1) * block])
        need.append(min(1.0, ceiling / p) if p > 0 else 1.0)
    req = [min(need[max(0, b - 1):b + 2]) for b in range(nb)]
    rel = math.exp(-1.0 / 60)
    g = [1.0] * nb
    cur = 1.0
    for b in range(nb):
        cur = min(req[b], 1 - (1 - cur) * rel)
        g[b] = cur
    for b in range(nb - 2, -1, -1):
        g[b] = min(g[b], g[b + 1] * 1.5)
    for b in range(nb):
        g0, g1 = g[b], g[min(b + 1, nb - 1)]
        lo = b * block
        hi = min(len(x), lo + block)
        span = hi - lo
        for i in range(lo, hi):
            x[i] *= g0 + (g1 - g0) * (i - lo) / span


def main():
    src, out, channels, rate, bits, data_bytes, tail_fade = sys.argv[1:8]
    channels, rate, bits, data_bytes = int(channels), int(rate), int(bits), int(data_bytes)
    tail_fade = float(tail_fade)
    raw = array('i')
    with open(src, 'rb') as f:
        raw.frombytes(f.read())
    x = array('d', (v / FULL for v in raw))
    frames_wanted = data_bytes // (channels * bits // 8)

    for c in range(channels):
        mean = sum(x[c::channels]) / (len(x) // channels)
        for i in range(c, len(x), channels):
            x[i] -= mean

    peak = max(map(abs, x))
    first = next(i for i, v in enumerate(x) if abs(v) >= ONSET_REL * peak) // channels
    first = max(0, first - int(0.0005 * rate))
    x = x[first * channels:]
    ramp = max(1, int(0.0005 * rate))
    for f in range(min(ramp, len(x) // channels)):
        for c in range(channels):
            x[f * channels + c] *= f / ramp

    want = frames_wanted * channels
    if len(x) > want:
        del x[want:]
        fade = min(int(tail_fade * rate), frames_wanted)
    else:
        x.extend([0.0] * (want - len(x)))
        fade = 0
    fade = max(fade, int(END_FADE_S * rate))
    for f in range(frames_wanted - fade, frames_wanted):
        g = 0.5 + 0.5 * math.cos(math.pi * (f - (frames_wanted - fade)) / fade)
        for c in range(channels):
            x[f * channels + c] *= g
    for c in range(channels):
        x[(frames_wanted - 1) * channels + c] = 0.0

    target = 10 ** (TARGET_DB / 20)
    for _ in range(4):
        gain = target / sounding_rms(x, channels, rate)
        for i in range(len(x)):
            x[i] *= gain
        if max(map(abs, x)) > CEILING:
            limit(x, channels, rate, CEILING)

    if bits == 16:
        pcm = array('h', (max(-32767, min(32767, round(v * 32768))) for v in x))
        body = pcm.tobytes()
    else:
        pcm = array('B', (max(1, min(255, 128 + round(v * 128))) for v in x))
        body = pcm.tobytes()
    assert len(body) == data_bytes, (len(body), data_bytes)
    block_align = channels * bits // 8
    header = b'RIFF' + struct.pack('<I', 36 + data_bytes) + b'WAVE' + b'fmt ' + struct.pack(
        '<IHHIIHH', 16, 1, channels, rate, rate * block_align, block_align, bits) + b'data' + \
        struct.pack('<I', data_bytes)
    with open(out, 'wb') as f:
        f.write(header + body)


if __name__ == '__main__':
    main()
