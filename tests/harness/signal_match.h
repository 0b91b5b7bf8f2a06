// Finding a reference sound inside a recording: normalised cross-correlation
// (FFT for the search, exact sums at the best lag), levels and onsets.
#pragma once

#include <cstddef>

#include "tests/harness/wav_io.h"

struct MatchResult {
    double offsetSeconds = 0;  // where the reference starts in the recording
    double correlation = 0;    // normalised, 1 = identical shape
};

// Both signals at the same rate. The recording may be longer or shorter than the reference.
// With startsInside, only placements where the reference begins within the recording count.
MatchResult FindSignal(const MonoSignal& recording, const MonoSignal& reference, bool startsInside = false);

// RMS level in dBFS of [fromSeconds, toSeconds); -200 for digital silence.
double LevelDb(const MonoSignal& signal, double fromSeconds, double toSeconds);

// First and last time the 10 ms RMS rises above thresholdDb; negative when never.
struct Extent {
    double first = -1;
    double last = -1;
};
Extent SoundingExtent(const MonoSignal& signal, double thresholdDb);

// Deterministic test sound: a sum of inharmonic sines with a noisy envelope,
// so that no shift of it resembles itself.
MonoSignal ProbeSignal(unsigned seed, double seconds, uint32_t rate);
