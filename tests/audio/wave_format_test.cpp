// The chunk walk: which images are refused, which chunk bodies are found, and that
// the device's format block never reaches past the fmt body.
#include <gtest/gtest.h>

#include "audio/wave_format.h"
#include "tests/audio/wave_image.h"

using namespace wavetest;

namespace {

const std::vector<uint8_t> kFmt = PcmFormat(2, 44100, 16);
const std::vector<uint8_t> kData = CountingBytes(10);

std::vector<uint8_t> Bytes(size_t n, uint8_t v = 0) { return std::vector<uint8_t>(n, v); }

std::vector<uint8_t> Extended(uint16_t tag, uint16_t cbSize, size_t bodySize)
{
    std::vector<uint8_t> f = PcmFormat(1, 8000, 4);
    f[0] = uint8_t(tag);
    f[1] = uint8_t(tag >> 8);
    PutU16(f, cbSize);
    f.resize(bodySize, 0xEE);
    return f;
}

std::vector<uint8_t> Truncate(std::vector<uint8_t> v, size_t n)
{
    v.resize(n);
    return v;
}

struct Case {
    const char* name;
    std::vector<uint8_t> image;
    bool accepted;
    uint32_t formatLength;  // when accepted
    size_t formatOffset;
    uint32_t dataLength;
    size_t dataOffset;
};

std::vector<Case> Cases()
{
    const std::vector<uint8_t> normal = WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData).Bytes();
    std::vector<uint8_t> of35 = WaveImage().Chunk("fmt ", kFmt).Bytes();
    of35.resize(35);
    std::vector<uint8_t> fmtOnly36 = WaveImage().Chunk("fmt ", kFmt).Bytes();  // 12 + 8 + 16
    std::vector<uint8_t> fmtAnd4Data = WaveImage().Chunk("fmt ", kFmt).Chunk("data", Bytes(1)).Bytes();
    fmtAnd4Data.resize(36 + 8);  // data header present, body missing
    return {
        {"normal", normal, true, 16, 20, 10, 44},
        {"35 bytes", of35, false, 0, 0, 0, 0},
        {"36 bytes of fmt alone", fmtOnly36, false, 0, 0, 0, 0},
        {"36 bytes of junk alone", WaveImage().Chunk("junk", Bytes(16)).Bytes(), false, 0, 0, 0, 0},
        {"not RIFF", [&] { auto v = normal; v[0] = 'X'; return v; }(), false, 0, 0, 0, 0},
        {"not WAVE", [&] { auto v = normal; v[11] = 'X'; return v; }(), false, 0, 0, 0, 0},
        {"data before fmt", WaveImage().Chunk("data", kData).Chunk("fmt ", kFmt).Bytes(), true, 16, 38,
         10, 20},
        {"fmt without data", WaveImage().Chunk("fmt ", kFmt).Chunk("LIST", Bytes(20)).Bytes(), false, 0,
         0, 0, 0},
        {"data without fmt", WaveImage().Chunk("data", Bytes(40)).Bytes(), false, 0, 0, 0, 0},
        {"data of size 0", WaveImage().Chunk("fmt ", kFmt).Chunk("data", {}).Bytes(), false, 0, 0, 0, 0},
        {"data header with no body", fmtAnd4Data, false, 0, 0, 0, 0},
        {"short fmt of 14", WaveImage().Chunk("fmt ", Bytes(14, 1)).Chunk("data", kData).Bytes(), false,
         0, 0, 0, 0},
        {"fmt of 15", WaveImage().Chunk("fmt ", Truncate(kFmt, 15)).Chunk("data", kData).Bytes(), false,
         0, 0, 0, 0},
        {"unknown chunks skipped",
         WaveImage().Chunk("LIST", Bytes(6)).Chunk("fmt ", kFmt).Chunk("fact", Bytes(4)).Chunk("data", kData).Bytes(),
         true, 16, 34, 10, 70},
        {"later data replaces earlier",
         WaveImage().Chunk("data", Bytes(4)).Chunk("data", kData).Chunk("fmt ", kFmt).Bytes(), true, 16,
         50, 10, 32},
        {"odd chunk then pad byte",
         WaveImage().Chunk("LIST", Bytes(3)).Raw({0}).Chunk("fmt ", kFmt).Chunk("data", kData).Bytes(),
         true, 16, 32, 10, 56},
        {"odd data first, then pad, then fmt",
         WaveImage().Chunk("data", Bytes(5, 9)).Raw({0}).Chunk("fmt ", kFmt).Bytes(), true, 16, 34, 5,
         20},
        {"oversized data cut to what is there",
         WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData, 1000000).Bytes(), true, 16, 20, 10, 44},
        {"data size near 4 GiB cut",
         WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData, 0xFFFFFFFF).Bytes(), true, 16, 20, 10, 44},
        {"oversized data before fmt leaves no fmt",
         WaveImage().Chunk("data", kData, 1000).Chunk("fmt ", kFmt).Bytes(), false, 0, 0, 0, 0},
        {"truncated fmt body",
         Truncate(WaveImage().Chunk("data", kData).Chunk("fmt ", kFmt).Bytes(), 12 + 18 + 8 + 10), false,
         0, 0, 0, 0},
        {"junk chunk runs past the image",
         WaveImage().Chunk("fmt ", kFmt).Chunk("junk", Bytes(4), 0xFFFFFFF0).Chunk("data", kData).Bytes(),
         false, 0, 0, 0, 0},
        {"chunk header cut in half",
         WaveImage().Chunk("fmt ", kFmt).Raw({'d', 'a', 't', 'a', 1, 0}).Bytes(), false, 0, 0, 0, 0},
        {"RIFF size ends the walk before data",
         WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData).RiffSize(24).Bytes(), false, 0, 0, 0, 0},
        {"RIFF size past the image",
         WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData).RiffSize(0xFFFFFFFF).Bytes(), true, 16, 20,
         10, 44},
        {"RIFF size 0", WaveImage().Chunk("fmt ", kFmt).Chunk("data", kData).RiffSize(0).Bytes(), false, 0,
         0, 0, 0},
        {"extended PCM fmt of 18", WaveImage().Chunk("fmt ", Extended(1, 0, 18)).Chunk("data", kData).Bytes(),
         true, 18, 20, 10, 46},
        {"non-PCM fmt of 16 has no cbSize",
         WaveImage().Chunk("fmt ", Truncate(Extended(2, 0, 18), 16)).Chunk("data", kData).Bytes(), false,
         0, 0, 0, 0},
        {"non-PCM cbSize fits", WaveImage().Chunk("fmt ", Extended(2, 32, 50)).Chunk("data", kData).Bytes(),
         true, 50, 20, 10, 78},
        {"non-PCM cbSize runs past its body",
         WaveImage().Chunk("fmt ", Extended(2, 33, 50)).Chunk("data", kData).Bytes(), false, 0, 0, 0, 0},
        {"non-PCM huge cbSize", WaveImage().Chunk("fmt ", Extended(2, 0xFFFF, 20)).Chunk("data", kData).Bytes(),
         false, 0, 0, 0, 0},
    };
}

TEST(ParseWave, AcceptsAndRefusesByTable)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        ParsedWave wave;
        const bool accepted = ParseWave(c.image.data(), uint32_t(c.image.size()), wave);
        ASSERT_EQ(accepted, c.accepted);
        if (!accepted) {
            EXPECT_EQ(wave.data, nullptr);
            EXPECT_EQ(wave.format, nullptr);
            continue;
        }
        EXPECT_EQ(wave.format, c.image.data() + c.formatOffset);
        EXPECT_EQ(wave.formatLength, c.formatLength);
        EXPECT_EQ(wave.data, c.image.data() + c.dataOffset);
        EXPECT_EQ(wave.dataLength, c.dataLength);
        EXPECT_LE(wave.data + wave.dataLength, c.image.data() + c.image.size());
    }
}

TEST(ParseWave, MinimalAcceptedImageIsFortyFiveBytes)
{
    const std::vector<uint8_t> image = PcmImage(1, 22050, 8, {0x80});
    ASSERT_EQ(image.size(), 45u);
    ParsedWave wave;
    EXPECT_TRUE(ParseWave(image.data(), 45, wave));
    EXPECT_EQ(wave.dataLength, 1u);
    EXPECT_FALSE(ParseWave(image.data(), 44, wave));  // data cut to nothing
}

TEST(ParseWave, RefusesNull)
{
    ParsedWave wave;
    EXPECT_FALSE(ParseWave(nullptr, 100, wave));
}

TEST(DeviceFormat, PcmBecomesEighteenBytesWithZeroCbSize)
{
    std::vector<uint8_t> fmt = Extended(1, 0x1234, 18);  // PCM ignores a stray cbSize
    const std::vector<uint8_t> image = WaveImage().Chunk("fmt ", fmt).Chunk("data", kData).Bytes();
    ParsedWave wave;
    ASSERT_TRUE(ParseWave(image.data(), uint32_t(image.size()), wave));
    std::vector<uint8_t> expected(fmt.begin(), fmt.begin() + 16);
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(DeviceFormat(wave), expected);

    const std::vector<uint8_t> plain = PcmImage(2, 44100, 16, kData);
    ASSERT_TRUE(ParseWave(plain.data(), uint32_t(plain.size()), wave));
    std::vector<uint8_t> plainExpected = kFmt;
    plainExpected.push_back(0);
    plainExpected.push_back(0);
    EXPECT_EQ(DeviceFormat(wave), plainExpected);
}

TEST(DeviceFormat, ExtendedFormatKeepsExactlyItsCbSizeBytes)
{
    std::vector<uint8_t> fmt = Extended(2, 32, 60);  // 10 trailing bytes beyond cbSize
    const std::vector<uint8_t> image = WaveImage().Chunk("fmt ", fmt).Chunk("data", kData).Bytes();
    ParsedWave wave;
    ASSERT_TRUE(ParseWave(image.data(), uint32_t(image.size()), wave));
    EXPECT_EQ(DeviceFormat(wave), std::vector<uint8_t>(fmt.begin(), fmt.begin() + 50));
}

}  // namespace
