#!/usr/bin/env python3
# How deeply a sound's envelope pulses in 300-1,500 Hz, where laughter's syllables sit:
# a few voices pulse deeply, a crowd smooths the pulses out. Compares our laughter with
# the real crowd recordings under it.
# Usage: modulation.py FILE ...   prints "FILE DEPTH_dB" for each (any format sox reads).
import subprocess
import sys

import numpy as np
from scipy.ndimage import uniform_filter1d
from scipy.signal import butter, sosfilt

RATE = 44100
BAND_HZ = (300, 1500)
FRAME_S = 0.02              # syllables come at 3.5-6 a second: frames well inside one
TREND_S = 0.3               # the crowd's slow swell and settling is not the pulsing
LIVE_DB = 30.0              # frames this far under the loudest are silence, not troughs
SPREAD = (5, 95)            # percentiles: the typical peak against the typical trough


def load(path):
    """Any sound file as mono floats at 44,100 Hz."""
    raw = subprocess.run(['sox', path, '-t', 'f64', '-r', str(RATE), '-c', '1', '-'],
                         capture_output=True, check=True).stdout
    return np.frombuffer(raw, '<f8')


def depth_db(x):
    """Spread (dB) of the band's frame levels around their slow trend."""
    y = sosfilt(butter(4, BAND_HZ, 'bandpass', fs=RATE, output='sos'), x)
    width = int(FRAME_S * RATE)
    count = len(y) // width
    level = 10 * np.log10((y[:count * width] ** 2).reshape(count, width).mean(axis=1) + 1e-20)
    live = level > level.max() - LIVE_DB
    # The trend of the live frames alone: silence beside a sound would drag it down.
    span = int(TREND_S / FRAME_S)
    weight = uniform_filter1d(live.astype(float), span)
    trend = uniform_filter1d(np.where(live, level, 0.0), span) / np.maximum(weight, 1e-9)
    low, high = np.percentile((level - trend)[live], SPREAD)
    return high - low


def main():
    for path in sys.argv[1:]:
        print(f'{path} {depth_db(load(path)):.1f}')


if __name__ == '__main__':
    main()
