// Finds isolated broadband clicks in a sound: 1 ms windows whose energy above 10 kHz
// stands at least 20 dB over the 20 ms around them (tools/soundgen/clicks.py agrees).
#pragma once

#include <cstdint>
#include <vector>

// `samples` interleaved in full scale; returns the start (s) of every click window.
// A rate of 22,050 Hz or less carries nothing above 10 kHz, so finds none.
std::vector<double> FindClicks(const std::vector<double>& samples, uint16_t channels, uint32_t rate);
