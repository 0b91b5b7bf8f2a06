#!/usr/bin/env python3
# Our own synthesis for the sound effects no freely licensed recording covers:
# `synth.py KIND OUT.wav [SEED]` writes 16-bit stereo 44,100 Hz; filtering,
# reverb and mixing are left to the sox recipes in soundgen.sh.
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


def kind_whistles(rng):
    """Two-finger whistles of a cheering crowd: rising and falling glides near 2.5 kHz."""
    t = Track(4.3)
    for when in (0.15, 0.9, 1.6, 2.4, 3.0):
        base = rng.uniform(2200, 2900)
        length = rng.uniform(0.35, 0.7)
        up = rng.random() < 0.5
        glide = lambda x, b=base, l=length, u=up: b * (1 + (0.25 if u else -0.2) * min(1, x / l))
        sig = tone(glide, length, length * 2, phase_noise=0.02, rng=rng)
        n = len(sig)
        sig = [v * min(1, (n - i) / 800) for i, v in enumerate(sig)]
        t.add(when, sig, rng.uniform(-0.7, 0.7), rng.uniform(0.5, 0.9))
    return t


def kind_heartbeat(rng):
    """Lub-dub at 75 beats a minute: low thumps whose pitch drops as they decay."""
    t = Track(5.0)
    beat = 0.8
    for k in range(7):
        start = k * beat
        for offset, f0, gain in ((0.0, 58, 1.0), (0.28, 72, 0.7)):
            thump = tone(lambda x, f=f0: f * (1 - 0.35 * min(1, x / 0.12)), 0.22, 0.05,
                         partials=((1, 1.0), (2, 0.25), (3, 0.08)))
            t.add(start + offset, thump, 0.0, gain)
    return t


def one_pole(samples, cutoff):
    a = math.exp(-2 * math.pi * cutoff / RATE)
    out, y = [], 0.0
    for v in samples:
        y = (1 - a) * v + a * y
        out.append(y)
    return out


def kind_snore(rng):
    """One snore: an inhaled rattle (noise chopped by a 28 Hz palate flutter), then a breath out."""
    t = Track(2.4)
    n = int(1.25 * RATE)
    inhale = []
    for i in range(n):
        x = i / n
        env = math.sin(math.pi * min(1, x * 1.1)) ** 1.5
        flutter = 0.5 + 0.5 * math.sin(2 * math.pi * (24 + 8 * x) * i / RATE)
        flutter = flutter ** 3
        inhale.append(rng.uniform(-1, 1) * env * (0.15 + flutter))
    inhale = one_pole(one_pole(inhale, 700), 900)
    t.add(0.0, inhale, 0.0, 1.0)
    m = int(0.85 * RATE)
    exhale = [rng.uniform(-1, 1) * math.sin(math.pi * i / m) ** 2 for i in range(m)]
    exhale = one_pole(one_pole(exhale, 1200), 1200)
    t.add(1.35, exhale, 0.0, 0.08)
    return t


def kind_kiss(rng):
    """A kiss close to a microphone: a lip smack (click and air) on a low plosive pop, twice."""
    t = Track(1.9)
    for when, gain in ((0.0, 1.0), (0.62, 0.8)):
        hum = tone(lambda x: 170 * (1 + 0.3 * x), 0.09, 0.2, partials=((1, 1.0), (2, 0.4), (3, 0.2)))
        hum = [v * 0.15 * (i / len(hum)) for i, v in enumerate(hum)]
        t.add(when, hum, 0.0, gain)
        pop = tone(lambda x: 90 - 200 * x, 0.08, 0.025)
        t.add(when + 0.09, pop, 0.0, gain * 0.8)
        smack = noise_burst(rng, 0.05, 0.006, attack=0.0002)
        t.add(when + 0.09, smack, 0.0, gain * 0.9)
        air = [v * 0.2 for v in noise_burst(rng, 0.18, 0.05)]
        t.add(when + 0.1, one_pole(air, 3000), 0.0, gain)
    return t


def kind_slap(rng):
    """A hand on a cheek: a very sharp broadband crack over a short fleshy body."""
    t = Track(2.0)
    crack = noise_burst(rng, 0.12, 0.012, attack=0.0001)
    t.add(0.0, crack, 0.0, 1.0)
    body = tone(lambda x: 220 - 400 * x, 0.1, 0.02, partials=((1, 1.0), (2, 0.3)))
    t.add(0.0, body, 0.0, 0.6)
    return t


def kind_raspberry(rng):
    """A 'pfft' of contempt: blown lips flapping at about 45 Hz."""
    t = Track(0.7)
    n = int(0.6 * RATE)
    out = []
    for i in range(n):
        x = i / n
        flap = (0.5 + 0.5 * math.sin(2 * math.pi * 45 * i / RATE)) ** 4
        env = min(1, x * 30) * (1 - x) ** 1.5
        out.append(rng.uniform(-1, 1) * env * (0.25 + flap))
    t.add(0.0, one_pole(out, 2500), 0.0, 1.0)
    return t


def marimba_note(freq, seconds=0.5):
    # A bar's overtone sits near four times its fundamental and dies much faster.
    n = int(seconds * RATE)
    out = []
    for i in range(n):
        x = i / RATE
        v = math.sin(2 * math.pi * freq * x) * math.exp(-x / 0.18)
        v += 0.35 * math.sin(2 * math.pi * 3.93 * freq * x) * math.exp(-x / 0.03)
        v += 0.15 * math.sin(2 * math.pi * 9.2 * freq * x) * math.exp(-x / 0.01)
        out.append(v * min(1.0, i / 30))
    return out


def midi(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def kind_ringtone(rng):
    """An original eight-note marimba phrase, played twice."""
    t = Track(2.1)
    phrase = [(76, 0.0), (83, 0.12), (79, 0.24), (84, 0.36), (83, 0.48), (79, 0.6), (81, 0.72),
              (76, 0.84)]
    for rep in range(2):
        for note, when in phrase:
            t.add(rep * 1.02 + when, marimba_note(midi(note)), 0.15 * math.sin(note), 1.0)
    return t


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


def saw_tone(freqs, seconds, partials=12):
    n = int(seconds * RATE)
    out = []
    phase = 0.0
    for i in range(n):
        phase += 2 * math.pi * freqs(i / RATE) / RATE
        out.append(sum(math.sin(k * phase) / k for k in range(1, partials + 1)))
    return out


def edges(samples, rise, fall):
    """Linear ramps at both ends so a tone starts and stops without a click."""
    n = len(samples)
    return [v * min(1.0, i / rise, (n - i) / fall) for i, v in enumerate(samples)]


def kind_light_off(rng):
    """A falling two-step buzzer: the 'wrong answer' of a game show."""
    t = Track(1.3)
    first = edges(saw_tone(lambda x: 233 - 20 * x, 0.42), 200, 600)
    second = edges(saw_tone(lambda x: 175 * (1 - 0.25 * min(1, x / 0.7)), 0.8), 200, 8000)
    t.add(0.0, first, 0.0, 1.0)
    t.add(0.45, second, 0.0, 1.0)
    return t


def kind_boing(rng):
    """A cartoon spring: a tone that wobbles fast around a rising pitch and fades."""
    t = Track(1.05)
    sig = tone(lambda x: 180 * (1 + 0.6 * x) * (1 + 0.35 * math.exp(-x * 3) * math.sin(2 * math.pi * 14 * x)),
               1.0, 0.3, partials=((1, 1.0), (2, 0.3), (3, 0.15)))
    t.add(0.0, sig, 0.0, 1.0)
    return t


def kind_tinkles(rng):
    """Glass shards: many short high ringing partials scattered after an impact."""
    t = Track(1.5)
    for k in range(90):
        when = (rng.random() ** 2) * 1.1
        f = rng.uniform(2500, 9000)
        n = int(rng.uniform(0.03, 0.15) * RATE)
        d = rng.uniform(0.01, 0.05)
        sig = [math.sin(2 * math.pi * f * i / RATE) * math.exp(-i / (d * RATE)) for i in range(n)]
        t.add(when, sig, rng.uniform(-0.9, 0.9), rng.uniform(0.2, 1.0) * (1 - when / 1.3))
    t.add(0.0, noise_burst(rng, 0.4, 0.05, attack=0.0001), 0.0, 1.5)
    return t


def kind_crackle(rng):
    """A string of firecrackers: irregular sharp pops, denser in the middle."""
    t = Track(2.5)
    when = 0.0
    while when < 2.2:
        t.add(when, noise_burst(rng, 0.06, rng.uniform(0.004, 0.012), attack=0.0001),
              rng.uniform(-0.8, 0.8), rng.uniform(0.4, 1.0))
        when += rng.expovariate(16)
    return t


def kind_ambulance(rng):
    """A two-tone ambulance horn: high and low notes alternating."""
    t = Track(1.7)
    hi, lo, step = 950, 650, 0.42
    sig = saw_tone(lambda x: hi if int(x / step) % 2 == 0 else lo, 1.7, partials=6)
    t.add(0.0, sig, 0.0, 1.0)
    return t


def kind_police(rng):
    """A police siren: two slow wails, then a fast yelp."""
    t = Track(5.9)

    def pitch(x):
        if x < 3.6:
            u = (x % 1.8) / 1.8
            return 650 + 750 * math.sin(math.pi * u) ** 0.8
        return 800 + 600 * abs(math.sin(math.pi * (x - 3.6) / 0.22))
    t.add(0.0, saw_tone(pitch, 5.9, partials=5), 0.0, 1.0)
    return t


def kind_screech(rng):
    """Tyres locking: a strained squeal near 1.3 kHz with jitter and harmonics, on road noise."""
    t = Track(3.2)
    n = int(3.0 * RATE)
    phase = 0.0
    f = 1300.0
    out = []
    for i in range(n):
        x = i / RATE
        f += rng.uniform(-6, 6) - (f - (1300 - 120 * x)) * 0.001
        phase += 2 * math.pi * f / RATE
        env = min(1, x * 40) * (1 if x < 2.4 else max(0.0, (3.0 - x) / 0.6))
        v = math.sin(phase) + 0.5 * math.sin(2 * phase + 0.3) + 0.3 * math.sin(3 * phase)
        out.append(v * env * (0.8 + 0.2 * math.sin(2 * math.pi * 7 * x)) + 0.06 * rng.uniform(-1, 1) * env)
    t.add(0.0, out, 0.0, 1.0)
    return t


def gunshot(rng, decay=0.035):
    crack = noise_burst(rng, 0.25, decay, attack=0.0001)
    boom = tone(lambda x: 90 - 100 * x, 0.2, 0.04)
    return [c + 0.8 * b for c, b in zip(crack, boom)]


def kind_pistol(rng):
    t = Track(3.1)
    for when in (0.0, 0.75, 1.35):
        t.add(when, gunshot(rng, 0.03), rng.uniform(-0.2, 0.2), 1.0)
    return t


def kind_rotor(rng):
    """A helicopter: blade slaps at 11 Hz over engine rumble and a turbine whine."""
    t = Track(5.1)
    n = int(5.1 * RATE)
    slap_rate = 11.0
    out = []
    rumble = 0.0
    for i in range(n):
        x = i / RATE
        ph = (x * slap_rate) % 1.0
        slap = math.exp(-ph / 0.05)
        rumble = 0.995 * rumble + 0.005 * rng.uniform(-1, 1)
        whine = 0.04 * math.sin(2 * math.pi * 1650 * x) * (1 + 0.3 * math.sin(2 * math.pi * 0.5 * x))
        out.append(rng.uniform(-1, 1) * (0.15 + slap) + 6 * rumble + whine)
    t.add(0.0, out, 0.0, 1.0)
    return t


KINDS = {name[5:]: fn for name, fn in globals().items() if name.startswith('kind_')}


def main():
    kind, path = sys.argv[1], sys.argv[2]
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    KINDS[kind](random.Random(seed)).write(path)


if __name__ == '__main__':
    main()
