#!/usr/bin/env python3
# Turns a recipe's raw render into a bank entry: strips lead-in silence, removes DC,
# fits the exact length at the tail, then sets the BS.1770 loudness of the finished
# file (its own format and length) to the bank's target under a true-peak ceiling.
# Usage: finish.py IN.s32 OUT.wav CHANNELS RATE BITS DATA_BYTES TAIL_FADE_S
#   IN.s32 is raw signed 32-bit little-endian, already at CHANNELS and RATE (sox makes it).
import os
import struct
import sys
import tempfile

import numpy as np

import loudness

FULL = 2147483648.0
HEADER_BYTES = 44
TARGET_LUFS = -18.0
TARGET_SLACK_LU = 0.3        # close enough to stop iterating
TRUE_PEAK_CEILING_DB = -1.5  # the limiter's; the bank allows -1.0, the rest is 8-bit and rounding room
TRUE_PEAK_LIMIT_DB = -1.0
ROUNDS = 8
ONSET_REL = 0.05             # lead-in ends where the signal first reaches 5% of its peak
ONSET_MARGIN_S = 0.0005
END_FADE_S = 0.01


def fit(x, rate, frames_wanted, tail_fade):
    """Drops DC and lead-in, then cuts or pads to the exact length with a clean end."""
    x = x - x.mean(axis=0)
    loud = np.nonzero(np.abs(x).max(axis=1) >= ONSET_REL * np.abs(x).max())[0][0]
    x = x[max(0, loud - int(ONSET_MARGIN_S * rate)):]
    ramp = max(1, int(ONSET_MARGIN_S * rate))
    x[:ramp] *= (np.arange(ramp) / ramp)[:, None]
    fade = 0
    if len(x) > frames_wanted:
        x = x[:frames_wanted]
        fade = min(int(tail_fade * rate), frames_wanted)
    else:
        x = np.vstack([x, np.zeros((frames_wanted - len(x), x.shape[1]))])
    fade = max(fade, int(END_FADE_S * rate))
    x[-fade:] *= (0.5 + 0.5 * np.cos(np.pi * np.arange(fade) / fade))[:, None]
    x[-1] = 0.0
    return x


def encode(x, channels, rate, bits):
    """The exact 44-byte RIFF/WAVE header and PCM body of frames x."""
    if bits == 16:
        body = np.clip(np.round(x * 32768), -32767, 32767).astype('<i2').tobytes()
    else:
        body = np.clip(128 + np.round(x * 128), 1, 255).astype(np.uint8).tobytes()
    block_align = channels * bits // 8
    header = b'RIFF' + struct.pack('<I', 36 + len(body)) + b'WAVE' + b'fmt ' + struct.pack(
        '<IHHIIHH', 16, 1, channels, rate, rate * block_align, block_align, bits) + b'data' + \
        struct.pack('<I', len(body))
    return header + body


def measure_encoded(data):
    with tempfile.NamedTemporaryFile(suffix='.wav', delete=False) as f:
        f.write(data)
    try:
        return loudness.measure(f.name)
    finally:
        os.unlink(f.name)


def level(x, channels, rate, bits):
    """Gain and limiting rounds until the encoded file meets the target and the ceiling."""
    ceiling = 10 ** (TRUE_PEAK_CEILING_DB / 20)
    for _ in range(ROUNDS):
        lufs, peak = measure_encoded(encode(x, channels, rate, bits))
        if abs(lufs - TARGET_LUFS) <= TARGET_SLACK_LU and peak <= TRUE_PEAK_LIMIT_DB:
            return lufs, peak
        x *= 10 ** ((TARGET_LUFS - lufs) / 20)
        loudness.limit(x, rate, ceiling)
    lufs, peak = measure_encoded(encode(x, channels, rate, bits))
    sys.exit(f'could not bring the entry to {TARGET_LUFS} LUFS under {TRUE_PEAK_LIMIT_DB} dBTP: '
             f'{lufs} LUFS, {peak} dBTP')


def main():
    src, out, channels, rate, bits, data_bytes, tail_fade = sys.argv[1:8]
    channels, rate, bits, data_bytes = int(channels), int(rate), int(bits), int(data_bytes)
    raw = np.fromfile(src, dtype='<i4').astype(np.float64) / FULL
    frames_wanted = data_bytes // (channels * bits // 8)
    x = fit(raw.reshape(-1, channels), rate, frames_wanted, float(tail_fade))
    lufs, peak = level(x, channels, rate, bits)
    data = encode(x, channels, rate, bits)
    assert len(data) == HEADER_BYTES + data_bytes, (len(data), data_bytes)
    with open(out, 'wb') as f:
        f.write(data)
    print(f'{os.path.basename(out)}: {lufs:.1f} LUFS, {peak:.1f} dBTP')


if __name__ == '__main__':
    main()
