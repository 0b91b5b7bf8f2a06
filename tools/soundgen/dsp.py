#!/usr/bin/env python3
# Building blocks the numpy synthesis modules share: a stereo timeline to place
# events on, filters, resonances, a glottal source and writing 16-bit stereo WAV.
import wave

import numpy as np
from scipy.signal import butter, fftconvolve, lfilter, sosfilt

RATE = 44100
WRITE_PEAK = 0.7   # headroom left for the sox effects that follow


def seconds(n):
    return int(round(n * RATE))


class Timeline:
    """A stereo float buffer that events are added into."""

    def __init__(self, length_s):
        self.x = np.zeros((seconds(length_s), 2))

    def add(self, start_s, sig, gain=1.0, pan=0.0):
        # Equal-power pan: -1 left, +1 right; stereo signals keep their own image.
        if sig.ndim == 1:
            angle = (pan + 1) * np.pi / 4
            sig = np.outer(sig, [np.cos(angle), np.sin(angle)]) * np.sqrt(2)
        first = seconds(start_s)
        if first >= len(self.x):
            return
        take = min(len(sig), len(self.x) - first)
        self.x[first:first + take] += gain * sig[:take]

    def write(self, path):
        write(path, self.x)


def write(path, x):
    if x.ndim == 1:
        x = np.column_stack([x, x])
    peak = max(np.abs(x).max(), 1e-9)
    pcm = np.round(x * (WRITE_PEAK * 32767 / peak)).astype('<i2')
    with wave.open(path, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(pcm.tobytes())


def band(x, lo=None, hi=None, order=4):
    """Butterworth high-, low- or band-pass, as the given edges ask."""
    if lo and hi:
        sos = butter(order, [lo, hi], 'bandpass', fs=RATE, output='sos')
    elif lo:
        sos = butter(order, lo, 'highpass', fs=RATE, output='sos')
    else:
        sos = butter(order, hi, 'lowpass', fs=RATE, output='sos')
    return sosfilt(sos, x, axis=0)


def resonance(x, freq, bandwidth):
    """A band-pass resonance (a formant or a body mode): unity gain at its centre and
    none at DC, so a low pulse train does not leak through as rumble."""
    w = 2 * np.pi * freq / RATE
    alpha = np.sin(w) * bandwidth / (2 * freq)
    b = np.array([alpha, 0.0, -alpha]) / (1 + alpha)
    a = np.array([1.0, -2 * np.cos(w) / (1 + alpha), (1 - alpha) / (1 + alpha)])
    return lfilter(b, a, x)


def formants(x, table):
    """The sum of resonances (freq, bandwidth, gain) driven in parallel by x."""
    return sum(g * resonance(x, f, bw) for f, bw, g in table)


def glottal(f0, rng, jitter=0.01):
    """A glottal-like pulse train following the per-sample pitch f0 (an array, Hz):
    a sharp closure each period and a smooth opening, rich in harmonics like a voice."""
    inst = f0 * (1 + jitter * rng.standard_normal(len(f0)))
    phase = np.cumsum(inst) / RATE % 1.0
    open_phase = 0.6
    pulse = np.where(phase < open_phase, 0.5 - 0.5 * np.cos(np.pi * phase / open_phase),
                     np.cos(0.5 * np.pi * (phase - open_phase) / (1 - open_phase)))
    return np.diff(pulse, prepend=pulse[0]) * RATE / np.maximum(f0, 1) / 4


def envelope(n, attack_s, release_s, shape=1.0):
    """Rises over attack_s, holds, falls over release_s; n samples long."""
    t = np.arange(n) / RATE
    up = np.clip(t / max(attack_s, 1e-6), 0, 1)
    down = np.clip((n / RATE - t) / max(release_s, 1e-6), 0, 1)
    return (up * down) ** shape


def decay(n, tau_s):
    return np.exp(-np.arange(n) / (tau_s * RATE))


def noise(rng, n):
    return rng.uniform(-1, 1, n)


def room(x, rng, rt60_s, wet, predelay_s=0.004, dull_hz=6000):
    """A diffuse room: x (mono or stereo) convolved with exponentially decaying noise,
    a different tail per ear and duller as it dies. Unlike a comb reverb it has no
    discrete first echo, so a sharp hit gets no second burst after it."""
    if x.ndim == 1:
        x = np.column_stack([x, x])
    n = seconds(1.5 * rt60_s)
    fade = np.exp(-6.9 * np.arange(n) / seconds(rt60_s))
    tails = []
    for _ in range(2):
        ir = np.concatenate([np.zeros(seconds(predelay_s)), noise(rng, n) * fade])
        ir = band(ir, hi=dull_hz, order=2)
        tails.append(ir / np.sqrt((ir ** 2).sum()))
    out = np.zeros((len(x) + len(tails[0]) - 1, 2))
    out[:len(x)] = x
    for c in range(2):
        out[:, c] += wet * fftconvolve(x[:, c], tails[c])
    return out


def run_kind(namespace, args):
    """The synthesis modules' command line: KIND OUT.wav [SEED] renders kind_KIND."""
    kind, path = args[0], args[1]
    seed = int(args[2]) if len(args) > 2 else 1
    namespace['kind_' + kind](np.random.default_rng(seed)).write(path)
