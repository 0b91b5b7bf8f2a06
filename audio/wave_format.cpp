// The bounds-checked chunk walk over a RIFF/WAVE image and the device's copy of
// its format. Chunks are walked in any order; odd-sized chunks are followed by a pad byte.
#include "audio/wave_format.h"

#include <cstring>

namespace {

constexpr uint32_t kRiffHeader = 12;   // "RIFF", size, "WAVE"
constexpr uint32_t kChunkHeader = 8;   // identifier, size
constexpr uint32_t kCbSizeOffset = 16; // in WAVEFORMATEX

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// A fmt body the device can read without running past it.
bool FormatFits(const uint8_t* body, uint32_t size)
{
    if (size < kPcmFormatBody)
        return false;
    if (ReadU16(body) == kFormatTagPcm)
        return true;
    return size >= kExtendedFormatBody &&
           uint64_t(kExtendedFormatBody) + ReadU16(body + kCbSizeOffset) <= size;
}

}  // namespace

namespace {

bool Walk(const uint8_t* bytes, uint32_t length, ParsedWave& wave)
{
    if (bytes == nullptr || length < kMinimumWaveImage)
        return false;
    if (!IsId(bytes, "RIFF") || !IsId(bytes + 8, "WAVE"))
        return false;
    const uint64_t riffSize = ReadU32(bytes + 4);

    bool haveFormat = false, haveData = false;
    // 64-bit offsets: a size near 4 GiB must not wrap the walk back into the image.
    uint64_t chunk = kRiffHeader;
    while (chunk - kRiffHeader < riffSize) {
        if (chunk + kChunkHeader > length)
            return false;  // the walk would leave the image
        const uint8_t* header = bytes + chunk;
        const uint64_t size = ReadU32(header + 4);
        const uint64_t body = chunk + kChunkHeader;
        const uint64_t present = length - body;
        if (IsId(header, "fmt ")) {
            if (size > present || !FormatFits(bytes + body, uint32_t(size)))
                return false;
            wave.format = bytes + body;
            wave.formatLength = uint32_t(size);
            haveFormat = true;
            if (haveData)
                break;
        } else if (IsId(header, "data")) {
            wave.data = bytes + body;
            wave.dataLength = uint32_t(size < present ? size : present);  // cut to what is there
            haveData = true;
            if (haveFormat)
                break;
        }
        chunk = body + size + (size & 1);
    }
    return haveFormat && haveData && wave.dataLength != 0;
}

}  // namespace

bool ParseWave(const uint8_t* bytes, uint32_t length, ParsedWave& wave)
{
    ParsedWave found;
    const bool accepted = Walk(bytes, length, found);
    wave = accepted ? found : ParsedWave{};
    return accepted;
}

std::vector<uint8_t> DeviceFormat(const ParsedWave& wave)
{
    std::vector<uint8_t> format(kExtendedFormatBody, 0);
    if (wave.format == nullptr)
        return {};
    if (ReadU16(wave.format) == kFormatTagPcm) {
        std::memcpy(format.data(), wave.format, kPcmFormatBody);  // cbSize stays 0
    } else {
        format.resize(kExtendedFormatBody + ReadU16(wave.format + kCbSizeOffset));
        std::memcpy(format.data(), wave.format, format.size());
    }
    return format;
}
