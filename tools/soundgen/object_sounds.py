#!/usr/bin/env python3
# Our synthesis of things and machines: a helicopter flying past, glass shards,
# a string of firecrackers, a typewriter bell, a cartoon spring, pistol shots, the blast
# of an explosion, a two-tone ambulance horn and a police siren going by, a car braking
# hard, and a studio's lights switched off.
# Usage: object_sounds.py KIND OUT.wav [SEED]   (16-bit stereo 44,100 Hz)
import sys

import numpy as np

from dsp import RATE, run_kind, Timeline, band, decay, envelope, noise, resonance, room, seconds

SPEED_OF_SOUND = 343.0


def fly_past(source, speed, height, closest_s, length_s, width=1.0):
    """What a listener hears of a mono source moving past in a straight line: Doppler
    pitch, level falling with distance, the far sound dulled by air, and a pan across
    (`width` below 1 keeps a far source from sitting in one ear alone)."""
    emitted = np.arange(len(source)) / RATE
    along = speed * (emitted - closest_s)
    distance = np.hypot(along, height)
    heard_at = emitted + distance / SPEED_OF_SOUND
    wanted = np.arange(seconds(length_s)) / RATE + heard_at[0]
    when = np.interp(wanted, heard_at, emitted)
    dull = band(source, hi=1500, order=2)
    near = height / np.interp(when, emitted, distance)
    sig = np.interp(when, emitted, source) * near + np.interp(when, emitted, dull) * (1 - near)
    sig *= near
    pan = width * np.interp(when, emitted, along / distance)
    angle = (pan + 1) * np.pi / 4
    return np.column_stack([sig * np.cos(angle), sig * np.sin(angle)]) * np.sqrt(2)


def kind_helicopter(rng):
    """Main-rotor blade passes (low 'whomps' in 60-500 Hz with a slap above) at 12 Hz,
    a tail-rotor buzz and a turbine whine, flying past from left to right."""
    n = seconds(6.0)
    t = np.arange(n) / RATE
    blade_hz = 12.0 * (1 + 0.01 * np.sin(2 * np.pi * 0.3 * t))
    phase = np.cumsum(blade_hz) / RATE % 1.0
    # Each pass swells in 10 ms and dies away before the next blade, with no step at the wrap.
    pulse = np.exp(-phase / 0.09) * (1 - np.exp(-phase / 0.008))
    whomp = band(noise(rng, n), 60, 500) * pulse * 3.0
    thump = resonance(np.diff(pulse, prepend=0) * 40, 90, 40)
    slap = band(noise(rng, n), 500, 2500) * pulse ** 3
    # Each blade's tip vortex cracks as the next blade cuts it: a short bright slap.
    crack = np.exp(-phase / 0.012) * (1 - np.exp(-phase / 0.003))
    blade_slap = band(noise(rng, n), 1800, 6500) * crack * 0.9
    tail_phase = np.cumsum(np.full(n, 78.0)) / RATE % 1.0
    tail = band(2 * tail_phase - 1, 150, 900) * 0.25
    whine = 0.012 * np.sin(2 * np.pi * 1850 * t) + 0.006 * np.sin(2 * np.pi * 3700 * t)
    wash = band(noise(rng, n), 200, 5000) * 0.12
    source = whomp + thump + slap + blade_slap + tail + whine + wash
    return stereo(fly_past(source, speed=45.0, height=25.0, closest_s=2.9, length_s=5.2, width=0.55))


def stereo(x):
    t = Timeline(len(x) / RATE)
    t.add(0.0, x)
    return t


def shard(rng, freq, ring_s):
    """A glass fragment: three inharmonic partials struck with a 0.2 ms attack."""
    n = seconds(ring_s * 5)
    k = np.arange(n) / RATE
    partials = sum(g * np.sin(2 * np.pi * freq * r * k + rng.uniform(0, 6.3)) * decay(n, ring_s / d)
                   for r, g, d in ((1.0, 1.0, 1.0), (2.32, 0.6, 1.6), (4.25, 0.3, 2.5)))
    return partials * envelope(n, 0.0002, 0.002)


def kind_glass_shards(rng):
    """A pane struck and breaking: a dull impact, a crack, then shards falling and bouncing."""
    t = Timeline(1.5)
    n = seconds(0.3)
    hit = np.zeros(n)
    hit[:seconds(0.003)] = np.hanning(seconds(0.003))
    t.add(0.0, resonance(hit, 180, 80) * 8 + resonance(hit, 520, 150) * 4)
    t.add(0.0, band(noise(rng, n), 1000, 12000) * decay(n, 0.015), 0.8)
    for k in range(110):
        when = rng.exponential(0.12) if k < 60 else rng.uniform(0.1, 1.2)
        level = rng.uniform(0.2, 1.0) * np.exp(-when / 0.5)
        t.add(when, shard(rng, rng.uniform(2200, 7500), rng.uniform(0.015, 0.06)), level,
              rng.uniform(-0.9, 0.9))
    return t


def kind_firecrackers(rng):
    """A string of firecrackers going off: dense irregular bangs with a few big ones,
    each a sharp crack on a short body, and the street's echo behind."""
    t = Timeline(2.6)
    when = 0.0
    while when < 2.25:
        big = rng.random() < 0.12
        n = seconds(0.08)
        crack = band(noise(rng, n), 300, 12000) * decay(n, 0.006 if big else 0.003) * envelope(n, 0.0002, 0.01)
        hit = np.zeros(n)
        hit[0] = 1.0
        body = resonance(hit, rng.uniform(120, 200) if big else rng.uniform(250, 600), 80)
        pop = crack + body * (45 if big else 20) * decay(n, 0.02)
        level = (1.0 if big else rng.uniform(0.35, 0.75)) * min(1.0, (2.3 - when) / 0.4)
        pan = rng.uniform(-0.8, 0.8)
        t.add(when, pop, level, pan)
        t.add(when + 0.09, band(pop, hi=3000, order=2), level * 0.25, -pan)
        # Most of the string goes off in the first two seconds, fastest in the middle.
        rate = 18 + 14 * np.sin(np.pi * min(1.0, when / 2.0))
        when += rng.exponential(1 / rate)
    return t


def kind_typewriter_bell(rng):
    """The small struck dome bell at the end of a typewriter's line: a bright 'ding'."""
    t = Timeline(1.0)
    n = seconds(1.0)
    k = np.arange(n) / RATE
    ring = sum(g * np.sin(2 * np.pi * 2350 * r * k) * decay(n, tau)
               for r, g, tau in ((1.0, 1.0, 0.25), (2.76, 0.45, 0.1), (5.4, 0.2, 0.05), (8.93, 0.1, 0.02)))
    t.add(0.0, ring * envelope(n, 0.0005, 0.05))
    return t


def kind_spring(rng):
    """A cartoon 'boing': a twangy spring tone wobbling fast while its 'oi' formant sweeps
    up and back, over the coil's own twang: the pluck's bright dispersive 'pew' chirps,
    each echo off the spring's end softer."""
    t = Timeline(1.0)
    n = seconds(0.95)
    k = np.arange(n) / RATE
    f0 = 150 * (1 + 0.3 * k) * (1 + 0.22 * np.exp(-k * 2.5) * np.sin(2 * np.pi * 12 * k))
    phase = 2 * np.pi * np.cumsum(f0) / RATE
    sweep = 500 + 1500 * np.sin(np.pi * np.clip(k / 0.5, 0, 1)) ** 2
    out = np.zeros(n)
    for h in range(1, 90):
        fh = h * f0
        # Harmonics fade out towards 15 kHz rather than switching off as the pitch wobbles.
        weight = (0.25 + np.exp(-((fh - sweep) / 350) ** 2)) / h * np.clip((15000 - fh) / 3000, 0, 1)
        out += weight * np.sin(h * phase)
    t.add(0.0, out * envelope(n, 0.003, 0.6, 1.3))
    t.add(0.0, coil_twang(rng), 0.35)
    return t


def coil_twang(rng):
    """A plucked coil spring: high frequencies run along the coil fastest, so each pass
    arrives as a falling chirp; the echoes off its ends come every 40 ms, duller each time."""
    n = seconds(0.06)
    k = np.arange(n) / RATE
    freq = 1200 + 9000 * np.exp(-k / 0.012)
    chirp = np.sin(2 * np.pi * np.cumsum(freq) / RATE) * envelope(n, 0.0005, 0.03, 1.5)
    out = np.zeros(seconds(0.45))
    for echo in range(8):
        first = seconds(0.04 * echo * rng.uniform(0.97, 1.03))
        out[first:first + n] += chirp * 0.6 ** echo
        chirp = band(chirp, hi=9000 - 800 * echo, order=1)
    return out


def impulse(n, width_s):
    hit = np.zeros(n)
    w = max(2, seconds(width_s))
    hit[:w] = np.hanning(w)
    return hit


def casing(rng, bounces):
    """A spent brass case landing: a few bright pings, each bounce softer and sooner."""
    n = seconds(0.6)
    out = np.zeros(n)
    at, gain = 0.0, 1.0
    for _ in range(bounces):
        k = np.arange(n - seconds(at)) / RATE
        ring = sum(g * np.sin(2 * np.pi * f * k) * np.exp(-k / tau)
                   for f, g, tau in ((6200, 1.0, 0.03), (9100, 0.6, 0.02), (12700, 0.3, 0.012)))
        out[seconds(at):] += gain * ring * envelope(len(k), 0.0002, 0.002)
        at += rng.uniform(0.06, 0.12) * gain
        gain *= rng.uniform(0.4, 0.6)
    return out


def gunshot(rng):
    """A pistol shot: the muzzle blast's sharp crack (an N-wave: broadband, 1-2 ms), the
    gas and slide's short mid-band body, a chest-felt thump, and the slide's metallic clack."""
    n = seconds(0.5)
    crack = band(noise(rng, n), 800, 16000) * decay(n, 0.0025) * 2.5
    n_wave = np.diff(impulse(n + 1, 0.0012)) * 40
    body = band(noise(rng, n), 200, 3500) * decay(n, 0.018) * 0.9
    thump = resonance(impulse(n, 0.004), 110, 60) * decay(n, 0.05) * 5
    clack = np.zeros(n)
    for at, gain in ((0.012, 0.25), (0.045, 0.18)):
        first = seconds(at)
        tick = impulse(n - first, 0.0004)
        clack[first:] += gain * (resonance(tick, 3100, 300) + resonance(tick, 4700, 500)) * 30 * decay(n - first, 0.01)
    return (crack + n_wave + body + thump + clack) * envelope(n, 0.0001, 0.05)


def kind_pistol(rng):
    """Three pistol shots in an open yard: each shot, its slap back off a wall 70 ms later,
    a duller echo from farther off, and the casing ringing on the ground."""
    t = Timeline(3.1)
    for at, gain, pan in ((0.0, 1.0, 0.0), (0.82, 0.95, 0.05), (1.47, 1.0, -0.05)):
        shot = gunshot(rng)
        t.add(at, shot, gain, pan)
        t.add(at + 0.07, band(shot, 150, 6000, order=2), gain * 0.3, pan + 0.5)
        t.add(at + 0.19, band(shot, 120, 2500, order=2), gain * 0.15, pan - 0.5)
        t.add(at + rng.uniform(0.35, 0.5), casing(rng, 4), gain * 0.05, pan + 0.3)
    return t


def kind_blast(rng):
    """The blast of an explosion: a broadband crack, a roar whose brightness falls as the
    fireball cools, and debris pattering down for two seconds."""
    t = Timeline(3.4)
    n = seconds(3.2)
    k = np.arange(n) / RATE
    t.add(0.0, band(noise(rng, n), 600, 14000) * decay(n, 0.02) * 1.5)
    # A one-pole low-pass whose corner falls from 9 kHz to 250 Hz: the roar darkening.
    corner = 250 + 8750 * np.exp(-k / 0.25)
    coef = np.exp(-2 * np.pi * corner / RATE)
    src = noise(rng, n)
    roar = np.empty(n)
    y = 0.0
    for i in range(n):
        y = (1 - coef[i]) * src[i] + coef[i] * y
        roar[i] = y
    roar *= envelope(n, 0.004, 2.4, 1.0) * np.exp(-k / 0.7)
    t.add(0.0, roar / np.abs(roar).max(), 0.9)
    for _ in range(260):
        at = 0.15 + rng.exponential(0.6)
        if at > 2.6:
            continue
        m = seconds(0.05)
        bit = band(noise(rng, m), rng.uniform(800, 2500), 9000) * decay(m, rng.uniform(0.003, 0.01))
        t.add(at, bit, rng.uniform(0.05, 0.2) * np.exp(-at / 1.2), rng.uniform(-0.9, 0.9))
    return t


def kind_ambulance(rng):
    """A two-tone ambulance horn driving past: a square-ish driver through a horn's band
    and its metal resonances, Doppler-shifted, louder as it nears and duller as it goes,
    the driver cutting it once the van has passed."""
    n = seconds(1.55)
    k = np.arange(n) / RATE
    hi, lo, step = 960, 770, 0.37
    f = np.where((k // step) % 2 == 0, hi, lo).astype(float)
    f = np.convolve(f, np.ones(seconds(0.01)) / seconds(0.01), mode='same')
    phase = np.cumsum(f) / RATE
    drive = np.tanh(4 * np.sin(2 * np.pi * phase))
    horn = band(drive, 500, 6000) + formant_horn(drive)
    horn *= envelope(n, 0.005, 0.12)
    return stereo(fly_past(horn, speed=16.0, height=8.0, closest_s=0.75, length_s=1.65))


def formant_horn(x):
    """The flare and diaphragm of a siren horn: resonances that give it its brassy bite."""
    return (resonance(x, 1400, 300) * 0.8 + resonance(x, 2600, 500) * 0.5 +
            resonance(x, 3900, 800) * 0.3)


def kind_lights_off(rng):
    """A studio's lights going out: the main contactor dropping out (a latch's metal
    strike with its contact bounce and the cabinet's thud), a snap of arc at the contacts,
    then the lighting rig's buzz and ballast whine winding down to nothing in a large room."""
    t = Timeline(1.3)
    n = seconds(0.5)
    for at, gain in ((0.0, 1.0), (0.011, 0.4), (0.018, 0.18)):
        tick = impulse(n, 0.0002)
        metal = sum(g * resonance(tick, f, bw) for f, bw, g in
                    ((1850, 30, 1.0), (3150, 45, 0.8), (4700, 60, 0.6), (6900, 90, 0.45), (9800, 160, 0.3)))
        crack = band(noise(rng, n), 2000, 14000) * decay(n, 0.0015)
        t.add(at, metal * 2.5 + crack, gain)
    thud = impulse(n, 0.004)
    t.add(0.0, sum(g * resonance(thud, f, bw) for f, bw, g in
                   ((95, 14, 0.6), (170, 20, 0.8), (330, 35, 0.7), (610, 60, 0.5))), 1.5)
    arc_n = seconds(0.04)
    t.add(0.002, band(noise(rng, arc_n), 3000, 12000) * decay(arc_n, 0.008), 0.4)
    hum_n = seconds(1.0)
    k = np.arange(hum_n) / RATE
    # The rig's magnetics buzz at twice the 50 Hz mains; its fans and ballasts spin down.
    f0 = 100 * (0.3 + 0.7 * np.exp(-k / 0.35))
    phase = 2 * np.pi * np.cumsum(f0) / RATE
    buzz = band(np.tanh(4 * np.sin(phase)) + 0.3 * np.sin(2 * phase), 120, 6000)
    rattle = band(noise(rng, hum_n), 800, 6000) * ((1 + np.sin(phase)) / 2) ** 8
    whine = np.sin(24 * phase) * 0.02
    fall = envelope(hum_n, 0.015, 0.2) * np.exp(-k / 0.3)
    t.add(0.01, (buzz * 0.5 + rattle * 0.15 + whine) * fall)
    t.x = room(t.x, rng, 0.5, 0.35, predelay_s=0.012)[:len(t.x)]
    return t


def siren_pitch(k):
    """A police siren's pitch over time k (s): two wails (a quick rise, a slower fall), a
    fast yelp, then the driver switching it off and the tone drooping away."""
    wail = np.where(k % 2.0 < 1.2, np.sin(0.5 * np.pi * (k % 2.0) / 1.2),
                    np.clip(np.cos(0.5 * np.pi * (k % 2.0 - 1.2) / 0.8), 0, 1) ** 1.5)
    u = (k - 4.0) % 0.2 / 0.2
    yelp = np.where(u < 0.75, np.clip(u / 0.75, 0, 1) ** 0.7, np.cos(0.5 * np.pi * (u - 0.75) / 0.25))
    pitch = np.where(k < 4.0, 620 + 820 * wail, 720 + 760 * yelp)
    off = np.clip((k - 5.0) / 0.5, 0, 1)
    return pitch * (1 - 0.6 * off)


def kind_police(rng):
    """A police car passing with its siren on: a square-wave driver through the horn
    speaker's band and resonances, carried past at 14 m/s with its tyres' roar (Doppler,
    distance, air), echoed by the street's walls and heard in the open street."""
    n = seconds(5.8)
    k = np.arange(n) / RATE
    phase = np.cumsum(siren_pitch(k)) / RATE
    drive = np.tanh(3 * np.sin(2 * np.pi * phase)) + 0.25 * (2 * (phase % 1.0) - 1)
    level = np.clip((5.5 - k) / 0.5, 0, 1) ** 2
    horn = np.tanh(1.5 * (band(drive, 400, 7000) + formant_horn(drive))) * level
    tyres = band(noise(rng, n), 80, 900) * 0.12
    passing = fly_past(horn + tyres, speed=14.0, height=12.0, closest_s=2.6, length_s=5.85, width=0.7)
    street = Timeline(6.0)
    street.add(0.0, passing)
    for delay, gain, hi in ((0.045, 0.3, 4000), (0.11, 0.2, 2500)):
        street.add(delay, band(passing[:, ::-1], hi=hi, order=2), gain)
    street.x = room(street.x, rng, 1.0, 0.3, dull_hz=4000)[:len(street.x)]
    return street


def kind_brakes(rng):
    """A car braking hard to a stop: both front tyres squealing (stick-slip of the rubber:
    an unsteady 1 kHz tone with its harmonics and grain, the two tyres a little apart),
    the road roar of the locked tyres falling with the speed, the body pitching forward
    and back as it stops, loose things in the car rattling, and a wall's echo."""
    length, stop = 3.1, 2.3
    n = seconds(length)
    k = np.arange(n) / RATE
    speed = np.clip(1 - k / stop, 0, 1) ** 0.8
    bite = envelope(n, 0.06, 0.01) * np.clip((stop - k) / 0.05, 0, 1)
    t = Timeline(length)
    for pan, detune in ((-0.35, 1.0), (0.35, 1.07)):
        # The rubber sticks and slips unevenly: the pitch wanders, and now and then hops.
        wander = np.cumsum(rng.standard_normal(n)) / np.sqrt(RATE) * 150
        hops = np.repeat(rng.normal(0, 50, int(length * 6) + 1), seconds(1 / 6))[:n]
        wander = band(wander - wander.mean() + hops, hi=10, order=2)
        f0 = detune * (930 + 220 * (1 - speed)) + wander
        phase = 2 * np.pi * np.cumsum(f0) / RATE
        tone = sum(g * np.sin(h * phase) * (1 + 0.5 * band(rng.standard_normal(n), hi=8, order=2) / 0.03)
                   for h, g in ((1, 1.0), (2, 0.5), (3, 0.3), (4, 0.15), (5, 0.1)))
        grain = resonance(noise(rng, n), 1000 * detune, 150) * 4
        chatter = 1 + 0.6 * band(rng.standard_normal(n), hi=25, order=2) / 0.05
        squeal = (tone + grain) * np.clip(chatter, 0.2, 1.8) * bite
        t.add(0.0, band(squeal, 500, 12000), 0.5, pan)
    roar = band(noise(rng, n), 40, 700) * speed ** 0.7 * bite * 1.4
    scrub = band(noise(rng, n), 700, 6000) * speed * bite * 0.25
    t.add(0.0, roar + scrub)
    body_n = seconds(0.7)
    lurch = impulse(body_n, 0.02)
    body = sum(g * resonance(lurch, f, bw) for f, bw, g in ((70, 10, 1.0), (130, 18, 0.7), (240, 30, 0.5)))
    t.add(stop - 0.01, body * 30)
    t.add(0.0, body * 12)
    for _ in range(5):
        tick = impulse(seconds(0.05), 0.0003)
        rattle = resonance(tick, rng.uniform(1800, 4500), 200) * decay(len(tick), 0.01)
        t.add(stop + rng.uniform(0.03, 0.15), rattle, rng.uniform(0.3, 0.7), rng.uniform(-0.5, 0.5))
    t.add(0.08, band(t.x, hi=3000, order=2)[:, ::-1], 0.25)
    t.x = room(t.x, rng, 0.8, 0.2, dull_hz=5000)[:len(t.x)]
    return t


if __name__ == '__main__':
    run_kind(globals(), sys.argv[1:])
