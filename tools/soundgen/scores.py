#!/usr/bin/env python3
# Our own short scores (news ident, host entrances, a cheerful jingle, ringtone, sad
# trombone), written
# as MIDI for fluidsynth and a General MIDI SoundFont. Every melody here is original.
# Usage: scores.py NAME OUT.mid
import sys

from midi_file import DRUMS, Part, write

# General MIDI programs (numbered from zero) and percussion keys.
PIANO, GLOCKENSPIEL, VIBRAPHONE, MARIMBA, XYLOPHONE = 1, 9, 11, 12, 13
PIZZICATO, FLUTE = 45, 73
DIST_GUITAR, FINGER_BASS, STRINGS, TREMOLO_STRINGS, TIMPANI = 30, 33, 48, 44, 47
TRUMPET, TROMBONE, HORN, BRASS = 56, 57, 60, 61
KICK, SNARE, CLOSED_HAT, OPEN_HAT, CRASH, SPLASH = 36, 38, 42, 46, 49, 57
EXPRESSION = 11


def roll(part, pitch, start, length, soft, loud, per_beat=8):
    """A roll of even strokes swelling from velocity `soft` to `loud`."""
    strokes = int(length * per_beat)
    for k in range(strokes):
        v = int(soft + (loud - soft) * k / max(1, strokes - 1))
        part.note(start + k / per_beat, 1 / per_beat, pitch, v)


def news_ident():
    """Bright brass stabs over a timpani roll and rising strings, ending on a held chord."""
    brass, trumpet = Part(0, BRASS, 110), Part(1, TRUMPET, 112, 70)
    strings, timp, drums = Part(2, STRINGS, 100, 54), Part(3, TIMPANI, 118), Part(DRUMS, None, 100)
    glock = Part(4, GLOCKENSPIEL, 80, 80)
    roll(timp, 48, 0, 4, 40, 118)
    for k, p in enumerate([60, 62, 64, 65, 67, 69, 71, 72]):
        strings.note(k * 0.5, 0.5, p, 70 + 5 * k)
        strings.note(k * 0.5, 0.5, p - 12, 60 + 5 * k)
    # Four bars of call: a short-short-long stab with the trumpet on top.
    bars = [([60, 64, 67, 72], [67, 72, 76, 74, 76], 48),
            ([65, 69, 72, 77], [69, 72, 77, 76, 72], 53),
            ([67, 71, 74, 79], [71, 74, 79, 77, 74], 43)]
    for bar, (chord, tune, timp_note) in enumerate(bars):
        b = 4 + 4 * bar
        for at, length in ((0, 0.45), (0.75, 0.25), (1.0, 1.5)):
            brass.chord(b + at, length, chord, 110)
            timp.note(b + at, 0.5, timp_note, 120)
        for (at, length), p in zip(((0, 0.5), (0.75, 0.25), (1.0, 1.5), (2.5, 0.5), (3.0, 1.0)), tune):
            trumpet.note(b + at, length, p, 115)
        strings.chord(b, 4, [c - 12 for c in chord], 90)
        drums.note(b, 1, CRASH, 100)
    # The turn: A minor and F, then D minor to G over a growing timpani roll.
    for at, chord in ((16, [57, 60, 64, 69]), (18, [53, 57, 60, 65]), (20, [50, 53, 57, 62]),
                      (22, [55, 59, 62, 65, 67])):
        brass.chord(at, 2, chord, 105)
    for at, length, p in ((16, 1, 76), (17, 0.5, 72), (17.5, 0.5, 76), (18, 2, 81), (20, 1, 77),
                          (21, 1, 76), (22, 1, 74), (23, 0.5, 71), (23.5, 0.5, 74)):
        trumpet.note(at, length, p, 118)
    for k, p in enumerate([57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81, 83]):
        strings.note(16 + k * 0.5, 0.5, p, 80 + 2 * k)
    roll(timp, 43, 20, 4, 50, 125)
    # The landing: a held C major chord with a crash, bells and one more swelling roll.
    final = [48, 55, 60, 64, 67, 72, 76]
    brass.chord(24, 14, final[1:], 112)
    trumpet.note(24, 14, 84, 110)
    strings.chord(24, 14, final, 100)
    timp.note(24, 1, 48, 127)
    drums.note(24, 4, CRASH, 120)
    for k, p in enumerate([84, 88, 91, 96]):
        glock.note(24 + 0.25 * k, 2, p, 90)
    roll(timp, 48, 28, 6, 45, 115)
    drums.note(34, 4, CRASH, 120)
    timp.note(34, 1, 48, 127)
    return 120, [brass, trumpet, strings, timp, drums, glock]


def pop_drums(drums, bars, fill_bar):
    for bar in range(bars):
        b = 4 * bar
        for beat in range(4):
            drums.note(b + beat, 0.5, KICK if beat % 2 == 0 else SNARE, 110)
            for half in (0, 0.5):
                drums.note(b + beat + half, 0.25, CLOSED_HAT, 70 if half else 90)
        if bar == fill_bar:
            for k in range(8):
                drums.note(b + 2 + k * 0.25, 0.25, SNARE, 70 + 6 * k)


def entrance_female():
    """An elegant bright pop entrance in D major that starts on its first hit."""
    piano, bells, strings = Part(0, PIANO, 96, 50), Part(1, GLOCKENSPIEL, 100, 78), Part(2, STRINGS, 82)
    bass, lead, drums = Part(3, FINGER_BASS, 105), Part(4, VIBRAPHONE, 105, 70), Part(DRUMS, None, 96)
    chords = [[62, 66, 69], [59, 62, 66], [55, 59, 62], [57, 61, 64]]
    roots = [38, 35, 43, 45]
    hook = [[(0, .5, 78), (.5, .5, 81), (1, 1, 86), (2, .5, 85), (2.5, .5, 83), (3, 1, 81)],
            [(0, .5, 83), (.5, .5, 81), (1, 1, 78), (2, .5, 76), (2.5, .5, 78), (3, 1, 74)],
            [(0, .5, 79), (.5, .5, 83), (1, 1, 86), (2, .5, 88), (2.5, .5, 86), (3, 1, 83)],
            [(0, .5, 85), (.5, .5, 83), (1, .5, 81), (1.5, .5, 79), (2, 2, 81)]]
    for bar in range(11):
        b, k = 4 * bar, bar % 4
        for at in (0, 1.5, 2, 3.5):
            piano.chord(b + at, 0.45, chords[k], 88)
        strings.chord(b, 4, [p + 12 for p in chords[k]], 70)
        for at in range(8):
            bass.note(b + at * 0.5, 0.45, roots[k], 100 if at % 2 == 0 else 80)
        if bar < 8:
            for at, length, p in hook[k]:
                lead.note(b + at, length, p + (12 if bar >= 4 and k == 3 and at >= 2 else 0), 105)
                bells.note(b + at, length, p + 12, 70)
        elif bar == 8:
            # A three-bar bridge of long notes before the final hit.
            for at, length, p in ((0, 2, 86), (2, 2, 88), (4, 2, 90), (6, 2, 88), (8, 4, 85)):
                lead.note(b + at, length, p, 100)
        drums.note(b, 1, CRASH if bar % 4 == 0 else OPEN_HAT, 110)
    pop_drums(drums, 11, 10)
    end = 44
    piano.chord(end, 3, [50, 62, 66, 69, 74], 110)
    strings.chord(end, 3, [62, 66, 69, 74, 78], 95)
    bass.note(end, 3, 38, 110)
    lead.note(end, 3, 86, 110)
    bells.note(end, 3, 98, 90)
    drums.note(end, 2, CRASH, 127)
    drums.note(end, 1, KICK, 127)
    return 124, [piano, bells, strings, bass, lead, drums]


def entrance_male():
    """A heroic rock-and-brass entrance in E minor, landing on E major; loud from its first beat."""
    guitar, bass, horns = Part(0, DIST_GUITAR, 90, 40), Part(1, FINGER_BASS, 110), Part(2, HORN, 120, 70)
    brass, strings, drums = Part(3, BRASS, 105, 88), Part(4, TREMOLO_STRINGS, 90), Part(DRUMS, None, 110)
    roots = [40, 36, 38, 40, 40, 36, 38, 35]
    tune = [[(0, 1.5, 64), (1.5, .5, 71), (2, 2, 76)], [(0, .5, 74), (.5, .5, 72), (1, 1, 71), (2, 2, 67)],
            [(0, 1.5, 69), (1.5, .5, 74), (2, 2, 78)], [(0, .5, 76), (.5, .5, 78), (1, 1, 79), (2, 2, 71)],
            [(0, 1.5, 76), (1.5, .5, 83), (2, 2, 88)], [(0, .5, 86), (.5, .5, 84), (1, 1, 83), (2, 2, 79)],
            [(0, 1.5, 81), (1.5, .5, 86), (2, 2, 90)], [(0, 1, 87), (1, 1, 86), (2, 2, 87)]]
    minor = {40: [52, 55, 59], 36: [48, 52, 55], 38: [50, 54, 57], 35: [47, 51, 54]}
    for bar in range(8):
        b, r = 4 * bar, roots[bar]
        for at in range(8):
            guitar.chord(b + at * 0.5, 0.45, [r, r + 7, r + 12], 100)
            bass.note(b + at * 0.5, 0.45, r - 12 if r > 36 else r, 110)
        for at, length, p in tune[bar]:
            horns.note(b + at, length, p, 120)
        brass.chord(b, 0.5, minor[r], 115)
        brass.chord(b + 2.5, 0.5, minor[r], 105)
        strings.chord(b, 4, [p + 12 for p in minor[r]], 85)
        for beat in range(4):
            drums.note(b + beat, 0.5, KICK, 120)
            if beat % 2:
                drums.note(b + beat, 0.5, SNARE, 120)
            drums.note(b + beat + 0.5, 0.25, CLOSED_HAT, 80)
        drums.note(b, 1, CRASH, 120)
    for k in range(8):
        drums.note(30 + k * 0.25, 0.25, SNARE, 80 + 6 * k)
    end, held = 32, 6
    guitar.chord(end, held, [40, 47, 52], 115)
    bass.note(end, held, 28, 115)
    horns.chord(end, held, [68, 76], 120)
    brass.chord(end, held, [52, 56, 59, 64], 118)
    strings.chord(end, held, [64, 68, 71, 76], 100)
    drums.note(end, 2, CRASH, 127)
    drums.note(end, 2, SPLASH, 110)
    drums.note(end, 1, KICK, 127)
    return 128, [guitar, bass, horns, brass, strings, drums]


def ringtone():
    """An original bright marimba figure, rung twice like a phone; the second ring lands
    early enough for its last notes to die away."""
    marimba, bells = Part(0, MARIMBA, 120), Part(1, GLOCKENSPIEL, 70, 80)
    rings = [[81, 88, 85, 90, 88, 85, 83, 85], [81, 88, 85, 90, 88, 93, 92, 88]]
    for k, ring in enumerate(rings):
        for step, p in enumerate(ring):
            at = 2 * k + step * 0.25
            marimba.note(at, 0.25, p, 118 if step % 4 == 0 else 100)
            marimba.note(at, 0.25, p - 12, 80)
            if step % 4 == 0:
                bells.note(at, 0.25, p + 12, 80)
    return 144, [marimba, bells]


def cheerful():
    """A bouncy jingle in C major: xylophone and flute over pizzicato and a light beat,
    a turn through F and G and a 'ta-da' on the tonic that rings out."""
    xylo, flute = Part(0, XYLOPHONE, 110, 50), Part(1, FLUTE, 90, 80)
    pizz, bass, drums = Part(2, PIZZICATO, 100, 40), Part(3, FINGER_BASS, 100), Part(DRUMS, None, 90)
    tune = [(0, 72), (0.5, 76), (1, 79), (1.5, 76), (2, 77), (2.5, 81), (3, 84), (3.5, 81),
            (4, 79), (4.5, 77), (5, 76), (5.5, 74)]
    for at, p in tune:
        xylo.note(at, 0.4, p, 110)
        flute.note(at, 0.45, p + 12, 70)
    for bar, (root, chord) in enumerate(((48, [60, 64, 67]), (53, [60, 65, 69]), (55, [59, 62, 67]))):
        b = 2 * bar
        for at in (0, 1):
            bass.note(b + at, 0.4, root, 100)
            pizz.chord(b + at + 0.5, 0.3, chord, 85)
            drums.note(b + at, 0.3, KICK, 95)
            drums.note(b + at + 0.5, 0.3, SNARE if at else CLOSED_HAT, 80)
    end = 6
    xylo.chord(end, 0.6, [72, 84], 120)
    flute.note(end, 0.9, 84, 90)
    pizz.chord(end, 0.4, [60, 64, 67, 72], 110)
    bass.note(end, 0.6, 48, 110)
    drums.note(end, 1, SPLASH, 100)
    drums.note(end, 0.5, KICK, 110)
    return 150, [xylo, flute, pizz, bass, drums]


def sad_trombone():
    """Four falling 'wah' notes on a trombone, the last one wobbling as it dies."""
    bone = Part(0, TROMBONE, 120)
    for k, (p, length) in enumerate(((58, 0.6), (57, 0.6), (56, 0.6), (55, 2.2))):
        at = 0.6 * k
        bone.note(at, length, p, 110)
        for step in range(4):
            bone.control(at + step * 0.05, EXPRESSION, 60 + 20 * step)
    for step in range(40):
        bone.bend(1.9 + step * 0.04, 0.35 * (1 if step % 4 < 2 else -1) * (step / 40))
    bone.bend(4.0, 0)
    return 120, [bone]


SCORES = {'news_ident': news_ident, 'entrance_female': entrance_female,
          'entrance_male': entrance_male, 'cheerful': cheerful, 'ringtone': ringtone,
          'sad_trombone': sad_trombone}


def main():
    bpm, parts = SCORES[sys.argv[1]]()
    write(sys.argv[2], bpm, parts)


if __name__ == '__main__':
    main()
