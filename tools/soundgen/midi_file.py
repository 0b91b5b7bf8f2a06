#!/usr/bin/env python3
# A minimal Standard MIDI File writer for our own scores: notes, programs, pitch
# bends and controllers on timed tracks, written as format 1 for fluidsynth to render.
import struct

TICKS_PER_BEAT = 480
DRUMS = 9           # General MIDI's percussion channel (channel 10 counted from one)
BEND_CENTRE = 8192
BEND_RANGE = 2      # semitones either way, General MIDI's default


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


class Part:
    """One instrument on one channel; times and lengths are in beats."""

    def __init__(self, channel, program=None, volume=100, pan=64):
        self.channel = channel
        self.events = []
        if program is not None:
            self.events.append((0, 0, bytes([0xC0 | channel, program])))
        self.control(0, 7, volume)
        self.control(0, 10, pan)

    def control(self, beat, number, value):
        self.events.append((self._tick(beat), 1, bytes([0xB0 | self.channel, number, value])))

    def note(self, beat, length, pitch, velocity=96):
        on, off = self._tick(beat), self._tick(beat + length)
        self.events.append((on, 2, bytes([0x90 | self.channel, pitch, velocity])))
        self.events.append((max(on + 1, off - 1), 0, bytes([0x80 | self.channel, pitch, 0])))

    def chord(self, beat, length, pitches, velocity=96):
        for p in pitches:
            self.note(beat, length, p, velocity)

    def bend(self, beat, semitones):
        value = max(0, min(16383, int(BEND_CENTRE + semitones / BEND_RANGE * BEND_CENTRE)))
        self.events.append((self._tick(beat), 1, bytes([0xE0 | self.channel, value & 0x7F, value >> 7])))

    @staticmethod
    def _tick(beat):
        return int(round(beat * TICKS_PER_BEAT))

    def chunk(self):
        # Note-offs sort before controllers and note-ons at the same tick, so a
        # repeated pitch is released before it is struck again.
        body, last = b'', 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += varlen(tick - last) + data
            last = tick
        body += varlen(0) + b'\xff\x2f\x00'
        return b'MTrk' + struct.pack('>I', len(body)) + body


def write(path, bpm, parts):
    tempo = int(60_000_000 / bpm)
    meta = varlen(0) + b'\xff\x51\x03' + tempo.to_bytes(3, 'big') + varlen(0) + b'\xff\x2f\x00'
    tracks = [b'MTrk' + struct.pack('>I', len(meta)) + meta] + [p.chunk() for p in parts]
    with open(path, 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 1, len(tracks), TICKS_PER_BEAT) + b''.join(tracks))
