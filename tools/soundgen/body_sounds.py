#!/usr/bin/env python3
# Our synthesis of sounds people make: a laughing crowd, a raspberry, a snore, a kiss
# into a microphone and a slap, each built from its physical source and resonances.
# Usage: body_sounds.py KIND OUT.wav [SEED]   (16-bit stereo 44,100 Hz)
import sys

import numpy as np

from dsp import RATE, run_kind, Timeline, band, decay, envelope, formants, glottal, noise, resonance, seconds

# Formants of an open "a" (frequency, bandwidth, gain) for a man's and a woman's tract.
A_MALE = [(730, 90, 1.0), (1090, 110, 0.6), (2440, 170, 0.5), (3400, 250, 0.3)]
A_FEMALE = [(850, 100, 1.0), (1220, 120, 0.6), (2810, 190, 0.5), (3800, 260, 0.3)]


def ha(rng, f0, length_s, tract, breath):
    """One laugh syllable: an aspirated 'h' sliding into a breathy voiced 'a'."""
    n = seconds(length_s)
    pitch = f0 * np.linspace(1.0, 0.9, n)
    voiced = glottal(pitch, rng, jitter=0.02)
    aspiration = noise(rng, n)
    h_part = seconds(0.035)
    mix = np.ones(n)
    mix[:h_part] = np.linspace(0.0, 1.0, h_part)
    source = mix * voiced + (breath + (1 - mix) * 1.5) * aspiration * 0.3
    env = envelope(n, 0.012, length_s * 0.55, 1.5)
    # Air rushing past the vocal folds: the hiss above the formants that makes it breathy.
    hiss = band(aspiration, 2500, 7000) * (breath + (1 - mix)) * 0.15
    return (formants(source, tract) + hiss) * env


def laugh_bout(rng, female, syllables, rate):
    """A bout of breathy 'ha's, each a little lower and softer than the one before."""
    f0 = rng.uniform(210, 320) if female else rng.uniform(105, 165)
    tract = A_FEMALE if female else A_MALE
    period = 1.0 / rate
    out = np.zeros(seconds(period * (syllables + 1)))
    for k in range(syllables):
        length = period * rng.uniform(0.45, 0.6)
        sig = ha(rng, f0 * (1 - 0.05 * k), length, tract, rng.uniform(0.2, 0.5))
        start = seconds(k * period * rng.uniform(0.95, 1.05))
        out[start:start + len(sig)] += sig * 0.86 ** k
    return out


def kind_laughing_crowd(rng):
    """An audience breaking into laughter together: a few near voices over a crowd of
    farther ones, every voice in bouts of 4-8 syllables at 4-6 a second. The near voices
    burst out on the same beat, as people do at a punch line, so the 'ha's stay distinct."""
    t = Timeline(4.6)
    shared_rate = rng.uniform(4.8, 5.4)
    for voice in range(14):
        near = voice < 4
        start = rng.uniform(0, 0.03) if near else rng.uniform(0, 2.4)
        rate = shared_rate * rng.uniform(0.97, 1.03) if near else rng.uniform(4.0, 6.0)
        gain = rng.uniform(0.7, 1.0) if near else rng.uniform(0.05, 0.12)
        # Alternate sides, so the room stays balanced however the voices fall.
        pan = rng.uniform(0.1, 0.7) * (1 if voice % 2 else -1)
        female = rng.random() < 0.5
        while start < 3.6:
            bout = laugh_bout(rng, female, int(rng.integers(4, 9)), rate)
            t.add(start, bout, gain, pan)
            start += len(bout) / RATE + rng.uniform(0.1, 0.6)
            rate = rng.uniform(4.0, 6.0)
            gain *= 0.7
    return t


def kind_raspberry(rng):
    """Blown lips flapping at about 50 Hz: a pulse train through lip and mouth resonances."""
    t = Timeline(0.8)
    n = seconds(0.7)
    pitch = 52 * (1 + 0.08 * np.sin(np.linspace(0, 3 * np.pi, n))) * np.linspace(1.05, 0.9, n)
    flaps = glottal(pitch, rng, jitter=0.06)
    air = band(noise(rng, n), 300, 4000) * 0.15
    source = flaps + air * (0.5 + 0.5 * np.abs(np.sin(np.pi * np.cumsum(pitch) / RATE)))
    sig = formants(source, [(250, 120, 1.0), (700, 200, 0.7), (1500, 300, 0.35), (2800, 400, 0.15)])
    # The flap rate itself is felt more than heard: keep it from turning into rumble.
    t.add(0.0, band(sig, lo=90, order=2) * envelope(n, 0.02, 0.2, 1.0))
    return t


def kind_snore(rng):
    """Two snores: the soft palate fluttering at about 30 Hz on each breath in, a resonant
    buzz with air noise, then a softer breath out."""
    t = Timeline(2.4)
    for start, length, flutter in ((0.0, 0.95, 31.0), (1.35, 0.9, 27.0)):
        n = seconds(length)
        pitch = flutter * (1 + 0.15 * np.sin(np.linspace(0, np.pi, n)))
        buzz = glottal(pitch, rng, jitter=0.08)
        air = noise(rng, n) * 0.4 * (0.4 + 0.6 * (np.sin(np.pi * np.cumsum(pitch) / RATE) ** 2))
        tract = [(320, 90, 1.0), (520, 120, 0.6), (1100, 200, 0.25), (2400, 400, 0.08)]
        # A snore is dull: the mouth and nose pass little above 3 kHz.
        sig = band(formants(buzz + air, tract), hi=3000) * envelope(n, length * 0.35, length * 0.35, 1.2)
        t.add(start, sig, 1.0)
        exhale_n = seconds(0.35)
        exhale = band(noise(rng, exhale_n), 400, 2500) * envelope(exhale_n, 0.1, 0.2, 1.5)
        t.add(start + length + 0.02, exhale, 0.12)
    return t


def smack(rng):
    """Lips parting off a seal: two 2-4 ms impulses ringing in 1-3 kHz lip resonances."""
    n = seconds(0.04)
    drive = np.zeros(n)
    for at, width, gain in ((0, 0.003, 1.0), (0.0025, 0.002, 0.6)):
        first, w = seconds(at), seconds(width)
        drive[first:first + w] += gain * np.hanning(w)
    body = formants(drive, [(1500, 300, 1.0), (2400, 400, 0.6), (1000, 250, 0.4)])
    return body * decay(n, 0.008)


def kind_kiss(rng):
    """A kiss close to a microphone: a soft nasal 'mm', the lip smack, a breath of air."""
    t = Timeline(1.9)
    for start, gain in ((0.0, 0.8), (0.55, 1.0)):
        hum_n = seconds(0.16)
        hum = formants(glottal(np.full(hum_n, 190.0), rng), [(250, 60, 1.0), (1000, 200, 0.1)])
        t.add(start, hum * envelope(hum_n, 0.05, 0.03), gain * 0.05)
        t.add(start + 0.16, smack(rng), gain)
        air_n = seconds(0.08)
        air = band(noise(rng, air_n), 1200, 4500) * envelope(air_n, 0.005, 0.07, 1.5)
        t.add(start + 0.165, air, gain * 0.05)
    return t


def kind_slap(rng):
    """A hand on a cheek: a sharp crack over a 200-400 Hz fleshy body, twice (back and forth)."""
    t = Timeline(2.0)
    for start, gain, pan in ((0.0, 1.0, -0.2), (0.42, 0.85, 0.2)):
        n = seconds(0.25)
        crack = band(noise(rng, n), 1500, 9000) * decay(n, 0.006)
        hit = np.zeros(n)
        hit[:seconds(0.002)] = np.hanning(seconds(0.002))
        body = resonance(hit, 280, 45) * 0.9 + resonance(hit, 420, 70) * 0.5 + resonance(hit, 850, 160) * 0.3
        flesh = band(noise(rng, n), 200, 1200) * decay(n, 0.03) * 0.5
        sig = crack * 1.2 + body / np.abs(body).max() + flesh
        t.add(start, sig * envelope(n, 0.0003, 0.05), gain, pan)
    return t


if __name__ == '__main__':
    run_kind(globals(), sys.argv[1:])
