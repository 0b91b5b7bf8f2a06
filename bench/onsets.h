// Where sounds begin in a recording, whatever they sound like: the first
// millisecond loud enough, or the moment a known tone comes up in a mix.
#pragma once

#include "tests/harness/wav_io.h"

// Start (seconds) of the first 1 ms window in [from, to) whose peak reaches
// thresholdDb (dBFS); negative when none does.
double FirstLoud(const MonoSignal& signal, double from, double to, double thresholdDb);

// Amplitude (0..1) of a sine at `hertz` in the 20 ms from `at`, from one
// Hann-windowed DFT bin; other sines at least 200 Hz away barely count.
double ToneAmplitude(const MonoSignal& signal, double hertz, double at);

// Where a sine at `hertz` of about `amplitude` starts in [from, to): the centre
// of the first 20 ms window that holds half of it; negative when it never does.
double ToneOnset(const MonoSignal& signal, double hertz, double amplitude, double from, double to);
