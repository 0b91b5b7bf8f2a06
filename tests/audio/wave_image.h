// Builds RIFF/WAVE images chunk by chunk for the tests, including broken ones
// (wrong sizes, missing chunks), and synthesises test signals.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace wavetest {

inline void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

inline void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits)
{
    std::vector<uint8_t> f;
    const uint16_t align = uint16_t(channels * bits / 8);
    PutU16(f, 1);
    PutU16(f, channels);
    PutU32(f, rate);
    PutU32(f, rate * align);
    PutU16(f, align);
    PutU16(f, bits);
    return f;
}

class WaveImage {
public:
    // A chunk with its own size field; `declared` overrides the size written.
    WaveImage& Chunk(const char* id, const std::vector<uint8_t>& body, int64_t declared = -1)
    {
        body_.insert(body_.end(), id, id + 4);
        PutU32(body_, declared < 0 ? uint32_t(body.size()) : uint32_t(declared));
        body_.insert(body_.end(), body.begin(), body.end());
        return *this;
    }
    WaveImage& Raw(const std::vector<uint8_t>& bytes)
    {
        body_.insert(body_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    WaveImage& RiffSize(uint32_t size)
    {
        riffSize_ = int64_t(size);
        return *this;
    }
    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
        PutU32(out, riffSize_ < 0 ? uint32_t(4 + body_.size()) : uint32_t(riffSize_));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), body_.begin(), body_.end());
        return out;
    }

private:
    std::vector<uint8_t> body_;
    int64_t riffSize_ = -1;
};

// Bytes whose value tells their offset, so a misplaced copy shows.
inline std::vector<uint8_t> CountingBytes(uint32_t length)
{
    std::vector<uint8_t> bytes(length);
    for (uint32_t i = 0; i < length; ++i)
        bytes[i] = uint8_t(i * 7 + i / 251);
    return bytes;
}

inline std::vector<uint8_t> PcmImage(uint16_t channels, uint32_t rate, uint16_t bits,
                                     const std::vector<uint8_t>& samples)
{
    return WaveImage().Chunk("fmt ", PcmFormat(channels, rate, bits)).Chunk("data", samples).Bytes();
}

}  // namespace wavetest
