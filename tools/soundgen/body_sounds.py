#!/usr/bin/env python3
# Our synthesis of sounds people make: a laughing crowd, a cheering crowd, a raspberry, a
# snore, a kiss into a microphone and a slap, each built from its physical source and resonances.
# Usage: body_sounds.py KIND OUT.wav [SEED]   (16-bit stereo 44,100 Hz)
import sys

import numpy as np

from dsp import RATE, run_kind, Timeline, band, decay, envelope, formants, glottal, noise, resonance, room, seconds

# Vowel formants (frequency, bandwidth, gain) for a man's and a woman's tract: the open
# "a" of "ha", the "e" of "heh" and the rounded "o" of "ho".
A_MALE = [(730, 90, 1.0), (1090, 110, 0.6), (2440, 170, 0.5), (3400, 250, 0.3)]
A_FEMALE = [(850, 100, 1.0), (1220, 120, 0.6), (2810, 190, 0.5), (3800, 260, 0.3)]
E_MALE = [(530, 80, 1.0), (1840, 120, 0.7), (2480, 170, 0.5), (3500, 250, 0.3)]
E_FEMALE = [(610, 90, 1.0), (2330, 140, 0.7), (2990, 190, 0.5), (4000, 260, 0.3)]
O_MALE = [(570, 80, 1.0), (840, 100, 0.6), (2410, 170, 0.3), (3400, 250, 0.2)]
O_FEMALE = [(590, 90, 1.0), (920, 110, 0.6), (2710, 190, 0.3), (3800, 260, 0.2)]
VOWELS = {False: (A_MALE, E_MALE, O_MALE), True: (A_FEMALE, E_FEMALE, O_FEMALE)}
# A closed-mouth nasal murmur: the "hm" of a laugh held back.
NASAL = [(250, 60, 1.0), (1000, 200, 0.15), (2200, 300, 0.1)]


def breath(rng, n):
    """Air through the glottis and mouth: broad hiss with its air kept up to 14 kHz."""
    return band(noise(rng, n), 1500, 14000, order=2)


def ha(rng, f0, length_s, tract, breathiness, glide=0.12):
    """One laugh syllable: an aspirated 'h' sliding into a breathy voiced vowel whose
    pitch rises a little and falls away, as a laugh's pulse of breath does."""
    n = seconds(length_s)
    u = np.linspace(0.0, 1.0, n)
    pitch = f0 * (1 + glide * np.sin(np.pi * np.minimum(u * 1.6, 1.0))) * (1 - 0.15 * u)
    voiced = glottal(pitch, rng, jitter=0.025)
    aspiration = noise(rng, n)
    h_part = min(n, seconds(0.035))
    mix = np.ones(n)
    mix[:h_part] = np.linspace(0.0, 1.0, h_part)
    source = mix * voiced + (breathiness + (1 - mix) * 1.5) * aspiration * 0.3
    env = envelope(n, 0.012, length_s * 0.55, 1.5)
    hiss = breath(rng, n) * (breathiness + (1 - mix)) * 0.12
    return (formants(source, tract) + hiss) * env


def gasp(rng, length_s, gain):
    """The breath drawn in between bouts: a short rising hiss through an open tract."""
    n = seconds(length_s)
    air = formants(noise(rng, n), [(900, 300, 1.0), (1800, 400, 0.6), (3000, 600, 0.4)])
    return (air * 0.05 + breath(rng, n) * 0.08) * envelope(n, length_s * 0.6, length_s * 0.3, 1.5) * gain


def laugh_bout(rng, female, syllables, rate, f0):
    """A bout of breathy syllables at its own rate, each period jittered, the pitch and
    level falling through the bout; a voice keeps one vowel for the bout."""
    tract = VOWELS[female][int(rng.choice(3, p=[0.6, 0.25, 0.15]))]
    period = 1.0 / rate
    out = np.zeros(seconds(period * (syllables + 2)))
    at = 0.0
    for k in range(syllables):
        length = period * rng.uniform(0.45, 0.65)
        sig = ha(rng, f0 * (1 - 0.04 * k), length, tract, rng.uniform(0.2, 0.6),
                 glide=rng.uniform(0.05, 0.2))
        start = seconds(at)
        take = min(len(sig), len(out) - start)
        out[start:start + take] += sig[:take] * 0.88 ** k
        at += period * rng.uniform(0.85, 1.15)
    return out[:seconds(at + period)]


def kind_laughing_crowd(rng):
    """An audience breaking into laughter: 70 voices, men and women, a few near and most
    farther off, each starting at its own moment over the first 0.8-1.4 s and laughing in
    bouts of 3-9 syllables at 3.5-6 a second, drawing breath between bouts, the room
    settling by 4 s. No near voice stands far above the rest: a crowd's pulses blur."""
    t = Timeline(4.6)
    for voice in range(70):
        near = voice < 8
        female = voice % 3 != 0
        f0 = rng.uniform(200, 330) if female else rng.uniform(100, 170)
        start = rng.uniform(0, 0.8) if near else rng.uniform(0, 1.4)
        gain = rng.uniform(0.25, 0.35) if near else rng.uniform(0.15, 0.25)
        pan = rng.uniform(-0.8, 0.8)
        while start < LAUGH_LAST_BOUT_S:
            rate = rng.uniform(3.5, 6.0)
            room = int((LAUGH_ENDS_S - start) * rate) - 1
            syllables = min(int(rng.integers(3, 10)), room)
            if syllables < 2:
                break
            bout = laugh_bout(rng, female, syllables, rate, f0 * rng.uniform(0.9, 1.15))
            t.add(start, bout, gain, pan)
            start += len(bout) / RATE
            pause = rng.uniform(0.15, 0.5)
            t.add(start, gasp(rng, pause * 0.8, 0.5), gain, pan)
            start += pause
            gain *= rng.uniform(0.7, 0.9)
    return t


LAUGH_LAST_BOUT_S = 3.2     # no bout starts later, and none runs past the room settling
LAUGH_ENDS_S = 3.9


# The rounded "oo" of "woo" (lips nearly closed for the "w") and the open "eah" of "yeah"
# after its "y" glide, as (frequency, bandwidth, gain) for a man's and a woman's tract.
W_OO = {False: [(300, 70, 1.0), (700, 90, 0.45), (2250, 170, 0.15), (3300, 250, 0.08)],
        True: [(370, 80, 1.0), (850, 100, 0.45), (2650, 190, 0.15), (3700, 260, 0.08)]}
Y_EE = {False: [(290, 70, 1.0), (2200, 140, 0.6), (2900, 200, 0.4), (3600, 260, 0.2)],
        True: [(330, 80, 1.0), (2700, 160, 0.6), (3300, 220, 0.4), (4100, 280, 0.2)]}
EAH = {False: [(690, 100, 1.0), (1660, 130, 0.6), (2490, 170, 0.4), (3500, 250, 0.25)],
       True: [(860, 110, 1.0), (2050, 150, 0.6), (2850, 190, 0.4), (3900, 270, 0.25)]}


def glide_vowel(source, first, second, turn):
    """The source through one vowel's formants turning into another's (turn: 0..1 per sample)."""
    return formants(source, first) * (1 - turn) + formants(source, second) * turn


def cheer_call(rng, female, woo):
    """One voice's shout: a 'woooo!' swooping up to a held high note and falling off at its
    end, or a 'yeah!' gliding open and falling; breathy and a little rough, as a shout is."""
    length = rng.uniform(0.8, 1.6) if woo else rng.uniform(0.45, 0.75)
    n = seconds(length)
    u = np.linspace(0.0, 1.0, n)
    f0 = rng.uniform(300, 430) if female else rng.uniform(170, 260)
    if woo:
        contour = 0.8 + 0.45 * np.clip(u / 0.15, 0, 1) ** 0.6 - 0.55 * np.clip((u - 0.75) / 0.25, 0, 1) ** 2
    else:
        contour = 1.1 + 0.2 * np.sin(np.pi * np.clip(u / 0.4, 0, 1)) - 0.45 * u ** 2
    wobble = 1 + 0.015 * np.sin(2 * np.pi * rng.uniform(4.5, 6.5) * u * length + rng.uniform(0, 6.3))
    pitch = f0 * contour * wobble
    pulses = glottal(pitch, rng, jitter=0.03)
    # A shout closes the folds hard: its harmonics fall off less steeply than in speech.
    source = pulses + np.diff(pulses, prepend=0.0) * 6 + noise(rng, n) * 0.08
    if woo:
        opened = A_FEMALE if female else A_MALE
        voiced = glide_vowel(source, W_OO[female], opened, np.clip((u - 0.1) / 0.5, 0, 0.35))
    else:
        voiced = glide_vowel(source, Y_EE[female], EAH[female], np.clip(u / 0.3, 0, 1) ** 0.7)
    air = breath(rng, n) * 0.06
    return (voiced + air) * envelope(n, 0.04, length * 0.35, 1.2)


def cheering(rng, length_s, voices, spread_s):
    """A crowd cheering: VOICES men and women each shouting once or twice within SPREAD_S,
    near and far, in a hall."""
    t = Timeline(length_s)
    for voice in range(voices):
        female = voice % 2 == 1
        at = rng.uniform(0, spread_s)
        pan = rng.uniform(-0.85, 0.85)
        gain = rng.uniform(0.35, 1.0)
        for _ in range(int(rng.integers(1, 3))):
            call = cheer_call(rng, female, rng.random() < 0.65)
            t.add(at, call, gain, pan)
            at += len(call) / RATE + rng.uniform(0.1, 0.4)
            gain *= 0.7
    t.x = room(t.x, rng, 1.1, 0.35, predelay_s=0.015, dull_hz=5000)[:len(t.x)]
    return t


def kind_cheer(rng):
    return cheering(rng, 4.3, 16, 1.6)


def kind_cheer_long(rng):
    return cheering(rng, 5.6, 12, 3.0)


def kind_sly_laugh(rng):
    """A schemer's laugh: a held-back nasal 'hm-hm-hm' that breaks into a quick 'heh-heh-heh'
    and a rising, open 'ha-ha-haaa', then dies into a wheezy chuckle."""
    t = Timeline(3.9)
    f0, at = 118.0, 0.0
    for k in range(4):
        n = seconds(0.09)
        hum = formants(glottal(np.full(n, f0 * (1 + 0.03 * k)), rng, jitter=0.02), NASAL)
        puff = band(noise(rng, n), 500, 6000) * 0.15
        t.add(at, (hum + puff) * envelope(n, 0.01, 0.05, 1.5), 0.35 + 0.05 * k)
        at += 0.17
    at += 0.1
    for k in range(7):
        t.add(at, ha(rng, f0 * (1.05 + 0.02 * k), 0.08, E_MALE, 0.35, glide=0.06), 0.75)
        at += 0.115 * rng.uniform(0.92, 1.08)
    at += 0.08
    for k, (length, lift) in enumerate(((0.13, 1.25), (0.13, 1.35), (0.14, 1.45), (0.5, 1.6))):
        t.add(at, ha(rng, f0 * lift, length, A_MALE, 0.3, glide=0.1 if k < 3 else 0.05), 1.0)
        at += length + 0.07
    for k in range(3):
        t.add(at, ha(rng, f0 * 0.95, 0.1, E_MALE, 0.8, glide=0.04), 0.35 * 0.7 ** k)
        at += 0.16
    t.add(at, gasp(rng, 0.35, 0.15))
    return t


def kind_heartbeat(rng):
    """A heartbeat heard on the chest at 72 a minute: each 'lub' and the shorter, higher
    'dub' knock the chest wall, which rings in its own modes (60-350 Hz) over a soft valve
    click, so a small speaker still plays the beat."""
    t = Timeline(5.0)
    period = 60.0 / 72
    for k in range(6):
        at = k * period * rng.uniform(0.985, 1.015)
        for offset, low, gain in ((0.0, 52, 1.0), (0.29, 64, 0.75)):
            n = seconds(0.35)
            hit = np.zeros(n)
            hit[:seconds(0.003)] = np.hanning(seconds(0.003))
            wall = (resonance(hit, low, 40) * 1.2 + resonance(hit, low * 2.1, 60) * 1.0 +
                    resonance(hit, 185, 80) * 1.0 + resonance(hit, 320, 120) * 0.9 +
                    resonance(hit, 520, 200) * 0.4)
            click = band(noise(rng, n), 300, 2000) * decay(n, 0.006) * 0.04
            t.add(at + offset, (wall / np.abs(wall).max() + click) * decay(n, 0.12), gain * rng.uniform(0.9, 1.0))
    # Driven hard, as a film heartbeat is: the thump is felt for its length, not just its peak.
    t.x = np.tanh(4 * t.x / np.abs(t.x).max())
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
    """One breath of a sleeper: a long snore drawn in, the soft palate fluttering at 26-34 Hz
    through throat and nose resonances, then the breath let out through slack lips. The
    flutter rate itself is felt, not heard: it is kept out of the rumble below 70 Hz."""
    t = Timeline(2.4)
    n = seconds(1.3)
    u = np.linspace(0, 1, n)
    pitch = 28.0 + 6.0 * np.sin(np.pi * u) + 1.5 * np.sin(2 * np.pi * 3.1 * u)
    buzz = glottal(pitch, rng, jitter=0.1)
    air = noise(rng, n) * 0.35 * (0.4 + 0.6 * (np.sin(np.pi * np.cumsum(pitch) / RATE) ** 2))
    tract = [(320, 90, 1.0), (520, 120, 0.7), (1100, 200, 0.35), (2400, 400, 0.12)]
    # A snore is dull: the mouth and nose pass little above 3 kHz.
    sig = band(formants(buzz + air, tract), hi=3000) * envelope(n, 0.5, 0.35, 1.3)
    t.add(0.0, band(sig, lo=70, order=2))
    out_n = seconds(0.75)
    lips = band(formants(noise(rng, out_n), [(600, 250, 1.0), (1300, 400, 0.5)]), hi=2500)
    puff = lips * envelope(out_n, 0.06, 0.6, 2.0) * (1 + 0.3 * np.sin(2 * np.pi * 14 * np.arange(out_n) / RATE))
    t.add(1.38, puff, 0.06)
    return t


def smack(rng):
    """Lips parting off a seal: a sharp suction pop, then the lips ringing in their
    1-3 kHz resonances for a few milliseconds."""
    n = seconds(0.05)
    drive = np.zeros(n)
    for at, width, gain in ((0, 0.0006, 1.0), (0.0015, 0.0012, -0.7), (0.004, 0.001, 0.3)):
        first, w = seconds(at), max(2, seconds(width))
        drive[first:first + w] += gain * np.hanning(w)
    body = formants(drive, [(1500, 400, 1.0), (2600, 500, 0.7), (900, 300, 0.5), (4200, 800, 0.3)])
    return body / np.abs(body).max() * decay(n, 0.01)


def kind_kiss(rng):
    """Kisses blown close to a microphone: a quick pair, then a long 'mwah', each a soft
    nasal 'mm', the smack of the lips as the loudest part, and a little air after it."""
    t = Timeline(1.9)
    for start, hum_s, gain, pan in ((0.0, 0.1, 0.8, -0.15), (0.3, 0.08, 0.7, 0.1), (0.75, 0.22, 1.0, 0.0)):
        hum_n = seconds(hum_s)
        hum = formants(glottal(np.full(hum_n, 190.0 * rng.uniform(0.95, 1.05)), rng),
                       [(250, 60, 1.0), (1000, 200, 0.1)])
        t.add(start, hum / np.abs(hum).max() * envelope(hum_n, 0.04, 0.02), gain * 0.08, pan)
        t.add(start + hum_s, smack(rng), gain, pan)
        air_n = seconds(0.06)
        air = band(noise(rng, air_n), 1500, 9000) * envelope(air_n, 0.004, 0.05, 2.0)
        t.add(start + hum_s + 0.004, air, gain * 0.06, pan)
    return t


def kind_slap(rng):
    """A hand on a cheek: a sharp crack over a 200-400 Hz fleshy body, twice (back and forth),
    in a small room."""
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
    # A small room's diffuse tail: a comb reverb's first echo would be a second slap.
    t.x = room(t.x, rng, 0.35, 0.2, dull_hz=5000)[:len(t.x)]
    return t


if __name__ == '__main__':
    run_kind(globals(), sys.argv[1:])
