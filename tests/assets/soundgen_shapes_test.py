#!/usr/bin/env python3
# Two measures the generator's sounds are built and judged by: the diffuse room leaves a
# hit no second burst after it (a comb reverb's first echo reads as a second slap), and the
# modulation depth tells a few pulsing voices from a blurred crowd.
# Usage: soundgen_shapes_test.py TOOLS_SOUNDGEN_DIR
import sys
import unittest

import numpy as np

SOUNDGEN = sys.argv.pop(1)
sys.path.insert(0, SOUNDGEN)
import dsp  # noqa: E402  (found through SOUNDGEN)
import modulation  # noqa: E402

RATE = dsp.RATE


def block_levels_db(x, block_s):
    width = int(block_s * RATE)
    count = len(x) // width
    return 10 * np.log10((x[:count * width] ** 2).reshape(count, width).mean(axis=1) + 1e-30)


def pulsed_noise(rng, voices, seconds=3.0):
    """VOICES noise sources, each switched on and off at its own 3.5-6 Hz."""
    t = np.arange(int(seconds * RATE)) / RATE
    out = np.zeros(len(t))
    for _ in range(voices):
        rate, phase = rng.uniform(3.5, 6.0), rng.uniform(0, 1)
        gate = (np.sin(2 * np.pi * (rate * t + phase)) > 0).astype(float)
        out += rng.uniform(-1, 1, len(t)) * np.convolve(gate, np.hanning(400) / 200, 'same')
    return out


class RoomTest(unittest.TestCase):
    def test_a_hits_tail_only_falls(self):
        rng = np.random.default_rng(7)
        hit = np.zeros(dsp.seconds(1.0))
        hit[:dsp.seconds(0.003)] = rng.uniform(-1, 1, dsp.seconds(0.003))
        wet = dsp.room(hit, rng, 0.35, 0.3)
        levels = block_levels_db(wet.sum(axis=1), 0.01)[1:40]
        # Allow the noise of the tail itself; any echo would stand several dB above its trend.
        rises = np.diff(levels)
        self.assertLess(rises.max(), 3.0, levels.round(1))

    def test_the_tail_dies_by_its_reverberation_time(self):
        rng = np.random.default_rng(8)
        hit = np.zeros(dsp.seconds(2.0))
        hit[0] = 1.0
        wet = dsp.room(hit, rng, 0.5, 1.0)[:, 0]
        early = (wet[dsp.seconds(0.01):dsp.seconds(0.06)] ** 2).mean()
        late = (wet[dsp.seconds(0.51):dsp.seconds(0.56)] ** 2).mean()
        self.assertLess(10 * np.log10(late / early), -50)
        self.assertGreater(10 * np.log10(late / early), -70)

    def test_the_dry_sound_passes_unchanged(self):
        rng = np.random.default_rng(9)
        dry = rng.uniform(-1, 1, 1000)
        wet = dsp.room(dry, rng, 0.3, 0.0)
        np.testing.assert_allclose(wet[:1000, 0], dry)
        np.testing.assert_allclose(wet[:1000, 1], dry)


class ModulationDepthTest(unittest.TestCase):
    def test_many_voices_pulse_less_than_a_few(self):
        rng = np.random.default_rng(3)
        few = modulation.depth_db(pulsed_noise(rng, 2))
        many = modulation.depth_db(pulsed_noise(rng, 60))
        self.assertGreater(few, many + 6, (few, many))

    def test_a_slow_swell_is_not_counted_as_pulsing(self):
        rng = np.random.default_rng(4)
        t = np.arange(dsp.seconds(4.0)) / RATE
        steady = rng.uniform(-1, 1, len(t))
        swelling = steady * (0.2 + np.sin(np.pi * t / 4.0))
        self.assertLess(abs(modulation.depth_db(swelling) - modulation.depth_db(steady)), 1.5)

    def test_silence_around_the_sound_is_no_trough(self):
        rng = np.random.default_rng(5)
        sound = rng.uniform(-1, 1, dsp.seconds(2.0))
        padded = np.concatenate([np.zeros(dsp.seconds(1.0)), sound, np.zeros(dsp.seconds(1.0))])
        self.assertLess(modulation.depth_db(padded) - modulation.depth_db(sound), 3.0)


if __name__ == '__main__':
    unittest.main()
