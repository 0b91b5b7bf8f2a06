// Portable reading of a RIFF/WAVE image: finds the fmt and data chunk bodies
// with every read kept inside the image, and builds the format block the device reads.
// No platform calls, so the native build tests and fuzzes it.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t kMinimumWaveImage = 36;
constexpr uint32_t kPcmFormatBody = 16;      // PCMWAVEFORMAT: tag, channels, rate, byte rate, align, bits
constexpr uint32_t kExtendedFormatBody = 18; // WAVEFORMATEX with its cbSize word
constexpr uint16_t kFormatTagPcm = 1;

struct ParsedWave {
    const uint8_t* format = nullptr;  // body of the fmt chunk, inside the image
    uint32_t formatLength = 0;
    const uint8_t* data = nullptr;    // body of the data chunk, cut to what the image holds
    uint32_t dataLength = 0;
};

// False when the image is refused: under 36 bytes, not RIFF/WAVE, a chunk header
// or fmt body outside the image, no fmt, fmt under 16 bytes, an extended format whose
// cbSize runs past its body, no data chunk, or empty data.
bool ParseWave(const uint8_t* bytes, uint32_t length, ParsedWave& wave);

// The format as the device reads it (a WAVEFORMATEX): PCM gets 18 bytes with cbSize 0,
// other tags their 18 + cbSize bytes. Only for a format ParseWave accepted.
std::vector<uint8_t> DeviceFormat(const ParsedWave& wave);
