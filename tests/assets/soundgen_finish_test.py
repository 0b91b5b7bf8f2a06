#!/usr/bin/env python3
# The generator's last step (tools/soundgen/finish.py) on renders made here: every bank
# format comes out at its exact length and header, at -18 LUFS under -1 dBTP by ffmpeg's
# meter, without its lead-in and ending on silence, even when the render is all peaks.
# Usage: soundgen_finish_test.py TOOLS_SOUNDGEN_DIR
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import numpy as np

SOUNDGEN = sys.argv.pop(1)
sys.path.insert(0, SOUNDGEN)
import loudness  # noqa: E402  (found through SOUNDGEN)

TARGET_LUFS, SLACK_LU, TRUE_PEAK_LIMIT_DB = -18.0, 0.5, -1.0
ONSET_LEVEL, LATEST_ONSET_S = 0.01, 0.01
HEADER_BYTES = 44


def finish(render, channels, rate, bits, data_bytes, workdir):
    """Runs finish.py on float frames `render` (already at CHANNELS and RATE)."""
    raw = os.path.join(workdir, 'in.s32')
    out = os.path.join(workdir, 'out.wav')
    (np.clip(render, -1, 1) * 2147483647).astype('<i4').tofile(raw)
    subprocess.run([sys.executable, os.path.join(SOUNDGEN, 'finish.py'), raw, out, str(channels),
                    str(rate), str(bits), str(data_bytes), '0.2'], check=True, capture_output=True)
    with open(out, 'rb') as f:
        return out, f.read()


def tone_burst(channels, rate, lead_in_s=0.3, seconds=2.0, level=0.02):
    t = np.arange(int(seconds * rate)) / rate
    x = level * np.sin(2 * np.pi * 440 * t) * (t >= lead_in_s)
    return np.column_stack([x] * channels)


class FinishTest(unittest.TestCase):
    def check(self, render, channels, rate, bits, data_bytes):
        with tempfile.TemporaryDirectory() as d:
            path, data = finish(render, channels, rate, bits, data_bytes, d)
            lufs, peak = loudness.measure(path)
        self.assertEqual(len(data), HEADER_BYTES + data_bytes)
        self.assertEqual(data[:4] + data[8:16] + data[36:40], b'RIFFWAVEfmt data')
        fmt = struct.unpack_from('<IHHIIHH', data, 16)
        self.assertEqual(fmt, (16, 1, channels, rate, rate * channels * bits // 8, channels * bits // 8, bits))
        self.assertAlmostEqual(lufs, TARGET_LUFS, delta=SLACK_LU)
        self.assertLessEqual(peak, TRUE_PEAK_LIMIT_DB)
        body = data[HEADER_BYTES:]
        x = np.frombuffer(body, '<i2') / 32768 if bits == 16 else (np.frombuffer(body, np.uint8) - 128.0) / 128
        first = np.argmax(np.abs(x) >= ONSET_LEVEL) // channels
        self.assertLessEqual(first / rate, LATEST_ONSET_S, 'lead-in kept')
        self.assertEqual(np.abs(x[-channels:]).max(), 0.0, 'ends off silence')

    def test_stereo_44100_16_bit(self):
        self.check(tone_burst(2, 44100), 2, 44100, 16, 4 * 44100)

    def test_mono_22050_8_bit(self):
        self.check(tone_burst(1, 22050), 1, 22050, 8, 22050)

    def test_stereo_11025_16_bit_padded_to_length(self):
        self.check(tone_burst(2, 11025, seconds=1.0), 2, 11025, 16, 4 * 11025 * 2)

    def test_a_render_of_sharp_peaks_is_limited_under_the_ceiling(self):
        clicks = np.zeros((2 * 44100, 2))
        clicks[::4410] = 0.9
        clicks[:, 1] *= -1
        self.check(clicks + tone_burst(2, 44100, lead_in_s=0, level=0.001), 2, 44100, 16, 4 * 44100)


if __name__ == '__main__':
    unittest.main()
