#!/usr/bin/env python3
# Finds isolated broadband clicks: 1 ms windows whose energy above 10 kHz stands at
# least 20 dB over the 20 ms around them (tests/assets/click_search.cpp does the same).
import numpy as np
from scipy.signal import butter, sosfilt

BAND_HZ = 10000
WINDOW_S = 0.001
AROUND_WINDOWS = 10         # ten windows either side: the surrounding 20 ms
NEAR_WINDOWS = 1            # a click may spill into the next window: not its surround
RISE_DB = 20.0
FLOOR_DB = -60.0            # quieter bursts than this are no audible click


def find(x, rate):
    """Times (s) of isolated clicks in frames x (frames, channels); none below 22,050 Hz,
    where nothing above 10 kHz can be carried."""
    if rate / 2 <= BAND_HZ:
        return []
    hf = sosfilt(butter(4, BAND_HZ, 'highpass', fs=rate, output='sos'), x, axis=0)
    width = int(WINDOW_S * rate)
    count = len(hf) // width
    energy = (hf[:count * width] ** 2).sum(axis=1).reshape(count, width).mean(axis=1)
    floor = 10 ** (FLOOR_DB / 10)
    found = []
    for i in np.nonzero(energy >= floor)[0]:
        around = [energy[j] for j in range(i - AROUND_WINDOWS, i + AROUND_WINDOWS + 1)
                  if 0 <= j < count and abs(j - i) > NEAR_WINDOWS]
        if around and energy[i] >= np.mean(around) * 10 ** (RISE_DB / 10):
            found.append(i * WINDOW_S)
    return found
