#!/usr/bin/env python3
# Arrangements of recorded hits on a timeline: typing on real key recordings, a snare
# roll that builds into its crash, and an explosion layered at one common onset.
# Usage: arrange.py typing OUT.wav SEED KEY_DIR BELL.wav
#        arrange.py drum_roll OUT.wav SEED ROLL SNARE_HARD CRASH KICK
#        arrange.py explosion OUT.wav SEED BOOM.wav BLAST.wav
#   every input is 16-bit 44,100 Hz, mono or stereo (the generator converts the others).
import sys
import wave

import numpy as np

from dsp import RATE, Timeline, band, seconds

ONSET_REL = 0.3     # an onset is where a hit first reaches 30% of its own peak


def read(path):
    with wave.open(path, 'rb') as w:
        assert w.getframerate() == RATE and w.getsampwidth() == 2, path
        x = np.frombuffer(w.readframes(w.getnframes()), '<i2').reshape(-1, w.getnchannels()) / 32768.0
    return np.column_stack([x[:, 0], x[:, -1]])


def mono(x):
    """One channel of a recording, so the timeline can place it (a stereo one keeps its image)."""
    return x.mean(axis=1)


def onset(x, after_s=0.0):
    level = np.abs(x).max(axis=1)
    first = seconds(after_s)
    return first + int(np.argmax(level[first:] >= ONSET_REL * level[first:].max()))


# Key recordings by keyboard row, left to right, as scan codes.
ROWS = [['10', '11', '12', '13', '14', '15', '16', '17', '18', '19'],
        ['1e', '1f', '20', '21', '22', '23', '24', '25', '26'],
        ['2c', '2d', '2e', '2f', '30', '31', '32']]
SPACE = '39'
TYPING_STOPS_S = 1.25
BELL_AT_S = 1.32      # early enough that the bell rings out before the entry ends


def typing(rng, key_dir, bell_path):
    """A quick typist: words of 3-7 keys, each key pressed and released, a space
    between words, and the carriage bell at the end of the line."""
    t = Timeline(2.4)
    when = 0.0
    while when < TYPING_STOPS_S:
        word = [(row, int(rng.integers(len(ROWS[row])))) for row in rng.integers(0, 3, rng.integers(3, 8))]
        for row, col in word + [(None, None)]:
            code = SPACE if row is None else ROWS[row][col]
            pan = 0.0 if row is None else 0.5 * (col / (len(ROWS[row]) - 1) - 0.5)
            level = rng.uniform(0.7, 1.0)
            t.add(when, mono(read(f'{key_dir}/{code}-0.wav')), level, pan)
            t.add(when + rng.uniform(0.05, 0.09), mono(read(f'{key_dir}/{code}-1.wav')), level * 0.6, pan)
            when += rng.uniform(0.09, 0.17)
            if when >= TYPING_STOPS_S:
                break
    t.add(BELL_AT_S, read(bell_path), 0.5)
    return t


ROLL_TAKE_S = (0.3, 1.28)   # a steady stretch of the recorded roll, past its first accent
ROLL_SWELL_DB = 12.0
ROLL_END_BELOW_HIT = 0.4     # the roll's last strokes peak 8 dB under the hit
CRASH_CHOKE_S = 0.22         # the drummer grabs the crash this long after the hit


def drum_roll(rng, roll_path, hard_path, crash_path, kick_path):
    """A recorded snare roll swelling 12 dB into the hit: crash, kick and a hard snare stroke
    8 dB above the roll's end, the crash choked by hand so it dies inside the entry."""
    roll = read(roll_path)[seconds(ROLL_TAKE_S[0]):seconds(ROLL_TAKE_S[1])].copy()
    k = np.arange(len(roll)) / len(roll)
    roll *= (10 ** (ROLL_SWELL_DB * (k - 1) / 20))[:, None]
    crash = read(crash_path)
    after = np.arange(len(crash)) / RATE - CRASH_CHOKE_S
    crash *= np.where(after < 0, 1.0, np.exp(-np.maximum(after, 0) / 0.04))[:, None]
    hit = Timeline(0.6)
    for part, gain in ((crash, 0.8), (read(kick_path), 1.0), (read(hard_path), 1.0)):
        hit.add(0.0, part, gain)
    end_peak = np.abs(roll[-seconds(0.15):]).max()
    t = Timeline(1.6)
    t.add(0.0, roll, ROLL_END_BELOW_HIT * np.abs(hit.x).max() / end_peak)
    t.add(len(roll) / RATE, hit.x)
    return t


BOOM_SEARCH_AFTER_S = 1.0   # the boom's recording opens with a riser we leave out
IMPACT_BAND_HZ = 4000       # the impact is where the crack above this is sharpest


def explosion(rng, boom_path, blast_path):
    """One explosion: the boom's impact and the blast's start put on the same sample,
    the riser before the impact cut away."""
    boom, blast = read(boom_path), read(blast_path)
    crack = np.abs(band(boom, lo=IMPACT_BAND_HZ)).max(axis=1)
    impact = seconds(BOOM_SEARCH_AFTER_S) + int(np.argmax(crack[seconds(BOOM_SEARCH_AFTER_S):]))
    boom = boom[onset(boom[:impact + 1], (impact - seconds(0.02)) / RATE) - seconds(0.002):]
    blast = blast[max(0, onset(blast) - seconds(0.002)):]
    t = Timeline(3.6)
    t.add(0.0, boom, 1.0)
    t.add(0.0, blast, 0.8)
    return t


ARRANGEMENTS = {'typing': typing, 'drum_roll': drum_roll, 'explosion': explosion}


def main():
    name, out, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
    ARRANGEMENTS[name](np.random.default_rng(seed), *sys.argv[4:]).write(out)


if __name__ == '__main__':
    main()
