#!/usr/bin/env python3
# Our own pure-Python synthesis of claps, whistles and chimes:
# `synth.py KIND OUT.wav [SEED]` writes 16-bit stereo 44,100 Hz for the sox recipes.
import math
import random
import sys
import wave
from array import array

RATE = 44100


class Track:
    """A stereo float buffer that events are added into."""

    def __init__(self, seconds):
        self.n = int(seconds * RATE)
        self.left = array('d', bytes(8 * self.n))
        self.right = array('d', bytes(8 * self.n))

    def add(self, start, samples, pan=0.0, gain=1.0):
        # Equal-power pan: -1 left, +1 right.
        gl = gain * math.cos((pan + 1) * math.pi / 4)
        gr = gain * math.sin((pan + 1) * math.pi / 4)
        first = int(start * RATE)
        for i, v in enumerate(samples):
            j = first + i
            if j >= self.n:
                break
            if j >= 0:
                self.left[j] += v * gl
                self.right[j] += v * gr

    def write(self, path):
        peak = max(max(map(abs, self.left)), max(map(abs, self.right)), 1e-9)
        scale = 0.7 * 32767 / peak
        out = array('h', bytes(4 * self.n))
        for i in range(self.n):
            out[2 * i] = int(self.left[i] * scale)
            out[2 * i + 1] = int(self.right[i] * scale)
        with wave.open(path, 'wb') as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(out.tobytes())


def noise_burst(rng, seconds, decay, attack=0.0005):
    """White noise with a fast attack and an exponential decay (time constant `decay`)."""
    n = int(seconds * RATE)
    a = max(1, int(attack * RATE))
    return [rng.uniform(-1, 1) * min(1.0, i / a) * math.exp(-i / (decay * RATE)) for i in range(n)]


def tone(freqs, seconds, decay, partials=((1, 1.0),), phase_noise=0.0, rng=None):
    """A decaying tone; `freqs` is a function of time giving the fundamental."""
    n = int(seconds * RATE)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * freqs(t) / RATE
        if phase_noise:
            phase += rng.uniform(-phase_noise, phase_noise)
        v = sum(g * math.sin(k * phase) for k, g in partials)
        env = min(1.0, i / 40) * math.exp(-t / decay)
        out.append(v * env)
    return out


def claps(rng, seconds, rate_per_s, tail=0.4):
    """An audience clapping: many independent hands, each clap a short noise burst."""
    t = Track(seconds)
    hands = max(1, int(rate_per_s / 3.5))
    for _ in range(hands):
        pan = rng.uniform(-0.9, 0.9)
        period = rng.uniform(0.2, 0.32)
        when = rng.uniform(0, period)
        level = rng.uniform(0.3, 1.0)
        stop = seconds - rng.uniform(0, tail)
        while when < stop:
            fade = min(1.0, (stop - when) / tail) if tail else 1.0
            t.add(when, noise_burst(rng, 0.03, rng.uniform(0.003, 0.008)), pan, level * fade)
            when += period * rng.uniform(0.9, 1.1)
    return t


def kind_claps(rng):
    return claps(rng, 4.3, 160)


def kind_claps_fast(rng):
    return claps(rng, 5.6, 260, tail=0.3)


def kind_claps_far(rng):
    """The back of a large audience: hundreds of hands too many to tell apart, the room's
    air behind the near clappers."""
    return claps(rng, 5.6, 700, tail=0.5)


def kind_whistles(rng):
    """Two-finger whistles of a cheering crowd: rising and falling glides near 2.5 kHz."""
    t = Track(4.3)
    for when in (0.15, 0.9, 1.6, 2.4, 3.0):
        base = rng.uniform(2200, 2900)
        length = rng.uniform(0.35, 0.7)
        up = rng.random() < 0.5
        wobble = rng.uniform(5, 8)
        # A lip or finger whistle is never steady: it wavers a little as the breath does.
        glide = lambda x, b=base, l=length, u=up, w=wobble: b * (1 + (0.25 if u else -0.2) * min(1, x / l)) * (
            1 + 0.012 * math.sin(2 * math.pi * w * x))
        sig = tone(glide, length, length * 2, phase_noise=0.02, rng=rng)
        n = len(sig)
        sig = [v * min(1, (n - i) / 800) for i, v in enumerate(sig)]
        t.add(when, sig, rng.uniform(-0.7, 0.7), rng.uniform(0.5, 0.9))
    return t


def midi(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def bell_note(freq, seconds, decay):
    n = int(seconds * RATE)
    ratios = ((1, 1.0, 1.0), (2.0, 0.5, 0.7), (3.0, 0.25, 0.5), (4.2, 0.2, 0.3), (5.4, 0.1, 0.2))
    out = []
    for i in range(n):
        x = i / RATE
        v = sum(g * math.sin(2 * math.pi * freq * r * x) * math.exp(-x / (decay * d))
                for r, g, d in ratios)
        out.append(v * min(1.0, i / 20))
    return out


def kind_light_on(rng):
    """A bright rising chime: a major arpeggio of bells ending on a held chord with sparkles."""
    t = Track(5.5)
    notes = [72, 76, 79, 84, 88]
    for k, note in enumerate(notes):
        t.add(k * 0.09, bell_note(midi(note), 3.0, 0.9), -0.6 + 0.3 * k, 0.8)
    for note in (84, 88, 91, 96):
        t.add(0.5, bell_note(midi(note), 5.0, 1.6), rng.uniform(-0.5, 0.5), 0.6)
    for k in range(24):
        t.add(0.6 + k * 0.12 + rng.uniform(0, 0.05),
              bell_note(midi(rng.choice([96, 100, 103, 108])), 0.6, 0.12), rng.uniform(-1, 1),
              0.25 * (1 - k / 24))
    return t


KINDS = {name[5:]: fn for name, fn in globals().items() if name.startswith('kind_')}


def main():
    kind, path = sys.argv[1], sys.argv[2]
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    KINDS[kind](random.Random(seed)).write(path)


if __name__ == '__main__':
    main()
