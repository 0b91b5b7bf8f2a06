// Quality measures of one bank entry's samples (onset, peak, loudness, DC, end, tail),
// read straight from the 44-byte-header layout the bank uses.
#pragma once

#include <cstdint>
#include <vector>

struct WaveMeasures {
    double onsetMs;         // first sample at or above -40 dBFS
    double peakDb;          // largest sample magnitude, dBFS
    double loudnessDb;      // RMS over the sounding 50 ms blocks, dBFS
    double largestDcOffset; // worst channel mean, in full scale
    double endLevel;        // largest magnitude in the last 2 ms, in full scale
    double tailDb;          // energy of the last 50 ms against the loudest 50 ms block, dB
};

// `bytes` is a whole entry (header at offset 0, samples from offset 44).
WaveMeasures MeasureWave(const uint8_t* bytes, uint32_t length);

// The entry's samples, interleaved, in full scale (8-bit unsigned or 16-bit signed).
std::vector<double> DecodeSamples(const uint8_t* bytes, uint32_t length);
