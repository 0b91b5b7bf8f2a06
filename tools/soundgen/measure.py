#!/usr/bin/env python3
# Prints onset, peak, loudness, DC and end level of bank entries, measured the same
# way as tests/assets checks them, and flags any entry outside the quality bar.
# Usage: measure.py sfx01.wav ...
import math
import statistics
import struct
import sys
from array import array

ONSET_LEVEL = 10 ** (-40 / 20)
BLOCK_S = 0.05
SOUNDING_DB = 30.0


def load(path):
    with open(path, 'rb') as f:
        data = f.read()
    ch, rate = struct.unpack_from('<HI', data, 22)
    bits = struct.unpack_from('<H', data, 34)[0]
    body = data[44:]
    if bits == 16:
        x = [v / 32768 for v in array('h', body)]
    else:
        x = [(v - 128) / 128 for v in body]
    return x, ch, rate


def measure(path):
    x, ch, rate = load(path)
    onset = next(i for i, v in enumerate(x) if abs(v) >= ONSET_LEVEL) // ch / rate * 1000
    peak = 20 * math.log10(max(map(abs, x)))
    block = int(BLOCK_S * rate) * ch
    e = [sum(v * v for v in x[s:s + block]) / block for s in range(0, len(x) - block + 1, block)]
    kept = [v for v in e if v >= max(e) * 10 ** (-SOUNDING_DB / 10)]
    loud = 10 * math.log10(sum(kept) / len(kept))
    dc = max(abs(sum(x[c::ch]) / (len(x) // ch)) for c in range(ch))
    end = max(map(abs, x[-ch * int(0.002 * rate):]))
    return onset, peak, loud, dc, end


def main():
    rows = [(p, *measure(p)) for p in sys.argv[1:]]
    median = statistics.median(r[3] for r in rows)
    print(f'{"entry":10} {"onset ms":>8} {"peak dB":>8} {"RMS dB":>8} {"DC":>8} {"end":>8}')
    for p, onset, peak, loud, dc, end in rows:
        bad = onset > 10 or peak > -1 or abs(loud - median) > 3 or dc > 0.002 or end > 0.01
        name = p.rsplit('/', 1)[-1]
        print(f'{name:10} {onset:8.2f} {peak:8.2f} {loud:8.2f} {dc:8.5f} {end:8.4f}{"  FAIL" if bad else ""}')
    print(f'median loudness {median:.2f} dB')


if __name__ == '__main__':
    main()
