// Reading and writing plain PCM wave files for the test checkers: 8- or
// 16-bit PCM, any channel count and rate, mixed down to mono floats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MonoSignal {
    uint32_t rate = 0;
    std::vector<float> samples;  // -1..1, channels averaged
};

// False when the file is missing or is not PCM wave data this reader knows.
bool ReadWave(const std::string& path, MonoSignal& signal);

// Writes 16-bit mono PCM.
bool WriteWave(const std::string& path, const MonoSignal& signal);

// Linear-interpolation resampling; good enough for matching, not for listening.
MonoSignal Resample(const MonoSignal& in, uint32_t rate);
