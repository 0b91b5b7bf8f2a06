#!/usr/bin/env python3
# BS.1770 loudness and true peak of a sound file, read from ffmpeg's ebur128 meter,
# and the true-peak limiter that keeps a loud entry under the bank's ceiling.
# Usage: loudness.py FILE.wav ...   prints "FILE LUFS dBTP" for each.
import re
import subprocess
import sys

import numpy as np
from scipy.ndimage import minimum_filter1d
from scipy.signal import resample_poly

OVERSAMPLE = 4              # what BS.1770 asks of a true-peak meter
LOOKAHEAD_S = 0.004         # the gain is down before a peak arrives, slowly enough not to click
RELEASE_S = 0.08            # and comes back slowly enough not to pump audibly


def measure(path):
    """(integrated LUFS, true peak dBTP) of a file, as ffmpeg's ebur128 filter reports them."""
    run = subprocess.run(['ffmpeg', '-nostats', '-hide_banner', '-i', path, '-filter_complex',
                          'ebur128=peak=true', '-f', 'null', '-'],
                         capture_output=True, text=True, check=True)
    summary = run.stderr[run.stderr.rindex('Summary:'):]
    lufs = float(re.search(r'I:\s+(-?[\d.]+|-inf) LUFS', summary).group(1))
    peak = re.search(r'Peak:\s+(-?[\d.]+|-inf) dBFS', summary).group(1)
    return lufs, float(peak)


def true_peak_envelope(x):
    """Per frame, the largest magnitude of any channel between samples (4x oversampled)."""
    up = resample_poly(x, OVERSAMPLE, 1, axis=0)
    frames = x.shape[0]
    env = np.abs(up[:frames * OVERSAMPLE]).reshape(frames, OVERSAMPLE, -1)
    return env.max(axis=(1, 2))


def limit(x, rate, ceiling):
    """Rides the gain of frames x (frames, channels) so no true peak passes `ceiling`."""
    need = np.minimum(1.0, ceiling / np.maximum(true_peak_envelope(x), 1e-12))
    span = max(1, int(LOOKAHEAD_S * rate))
    width = 2 * span + 1
    # A minimum over the window followed by a mean over the same window never rises
    # above what any frame needs, yet ramps into each peak instead of stepping.
    held = minimum_filter1d(need, width, mode='nearest')
    smooth = np.convolve(np.pad(held, span, mode='edge'), np.ones(width) / width, 'valid')
    step = 1.0 / (RELEASE_S * rate)
    gain = smooth.copy()
    for i in range(1, len(gain)):
        gain[i] = min(smooth[i], gain[i - 1] + step)
    x *= gain[:, None]


def main():
    for path in sys.argv[1:]:
        lufs, peak = measure(path)
        print(f'{path} {lufs:.1f} {peak:.1f}')


if __name__ == '__main__':
    main()
