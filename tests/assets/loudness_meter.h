// BS.1770 integrated loudness and true peak of a bank entry, read from ffmpeg's
// ebur128 meter (the same meter the generator levels the bank with).
#pragma once

#include <cstdint>
#include <string>

struct Loudness {
    bool measured;     // false when ffmpeg could not be run or its summary not read
    double lufs;       // integrated loudness
    double truePeakDb; // dBTP
    std::string error;
};

// `bytes` is a whole entry (44-byte header and samples), written to a scratch file and metered.
Loudness MeasureLoudness(const uint8_t* bytes, uint32_t length);
