// How a sound's energy spreads over frequency: the share above a cut-off, read from
// Hann-windowed, half-overlapping spectra (tools/soundgen/measure.py reads it the same way).
#pragma once

#include <cstdint>
#include <vector>

// `samples` interleaved in full scale; the fraction (0..1) of all channels' energy at or
// above `hz`. A silent sound has none anywhere, so its share is 0.
double EnergyShareAbove(const std::vector<double>& samples, uint16_t channels, uint32_t rate, double hz);
