#!/usr/bin/env python3
# Places many copies of short sounds on a timeline (crowds, bursts of shots, typing).
# Usage: mix.py OUT.wav SECONDS FILE@START[@GAIN[@PAN]] ...
#   every FILE is 16-bit 44,100 Hz (mono or stereo); PAN -1 left .. +1 right.
import math
import sys
import wave
from array import array

RATE = 44100


def read(path, cache={}):
    if path not in cache:
        with wave.open(path, 'rb') as w:
            assert w.getframerate() == RATE and w.getsampwidth() == 2, path
            ch = w.getnchannels()
            s = array('h', w.readframes(w.getnframes()))
        if ch == 1:
            cache[path] = (s, s)
        else:
            cache[path] = (s[0::2], s[1::2])
    return cache[path]


def main():
    out, seconds = sys.argv[1], float(sys.argv[2])
    n = int(seconds * RATE)
    left = array('d', bytes(8 * n))
    right = array('d', bytes(8 * n))
    for placement in sys.argv[3:]:
        parts = placement.split('@')
        path, start = parts[0], float(parts[1])
        gain = float(parts[2]) if len(parts) > 2 else 1.0
        pan = float(parts[3]) if len(parts) > 3 else 0.0
        gl = gain * math.cos((pan + 1) * math.pi / 4) * math.sqrt(2)
        gr = gain * math.sin((pan + 1) * math.pi / 4) * math.sqrt(2)
        sl, sr = read(path)
        first = int(start * RATE)
        count = min(len(sl), n - first)
        for i in range(max(0, -first), max(0, count)):
            left[first + i] += sl[i] * gl
            right[first + i] += sr[i] * gr
    peak = max(max(map(abs, left)), max(map(abs, right)), 1.0)
    scale = min(1.0, 0.9 * 32767 / peak)
    pcm = array('h', bytes(4 * n))
    for i in range(n):
        pcm[2 * i] = int(left[i] * scale)
        pcm[2 * i + 1] = int(right[i] * scale)
    with wave.open(out, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(pcm.tobytes())


if __name__ == '__main__':
    main()
