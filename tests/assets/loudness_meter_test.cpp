// The loudness meter reads ffmpeg's BS.1770 summary right: a steady 997 Hz tone at
// 0.1 of full scale in both channels is -20 LUFS with a -20 dBTP peak, and 6 dB up is -14.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/assets/loudness_meter.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kToneHz = 997.0;   // BS.1770's reference frequency, where K-weighting is 0 dB
constexpr double kSeconds = 3.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMeterTolerance = 0.2;

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

std::vector<uint8_t> StereoTone(double amplitude)
{
    const uint32_t frames = static_cast<uint32_t>(kSeconds * kRate);
    const uint32_t dataBytes = frames * 4;
    std::vector<uint8_t> w;
    for (char c : std::string("RIFF"))
        w.push_back(static_cast<uint8_t>(c));
    Put32(w, 36 + dataBytes);
    for (char c : std::string("WAVEfmt "))
        w.push_back(static_cast<uint8_t>(c));
    Put32(w, 16);
    Put16(w, 1);
    Put16(w, 2);
    Put32(w, kRate);
    Put32(w, kRate * 4);
    Put16(w, 4);
    Put16(w, 16);
    for (char c : std::string("data"))
        w.push_back(static_cast<uint8_t>(c));
    Put32(w, dataBytes);
    for (uint32_t f = 0; f < frames; ++f) {
        const auto v = static_cast<int16_t>(std::lround(32767 * amplitude * std::sin(2 * kPi * kToneHz * f / kRate)));
        Put16(w, static_cast<uint16_t>(v));
        Put16(w, static_cast<uint16_t>(v));
    }
    return w;
}

TEST(LoudnessMeter, ReadsATenthOfFullScaleAsMinusTwentyLufs)
{
    const std::vector<uint8_t> w = StereoTone(0.1);
    const Loudness l = MeasureLoudness(w.data(), static_cast<uint32_t>(w.size()));
    ASSERT_TRUE(l.measured) << l.error;
    EXPECT_NEAR(l.lufs, -20.0, kMeterTolerance);
    EXPECT_NEAR(l.truePeakDb, -20.0, kMeterTolerance);
}

TEST(LoudnessMeter, SixDecibelsUpReadsSixLoudnessUnitsUp)
{
    const std::vector<uint8_t> w = StereoTone(0.2);
    const Loudness l = MeasureLoudness(w.data(), static_cast<uint32_t>(w.size()));
    ASSERT_TRUE(l.measured) << l.error;
    EXPECT_NEAR(l.lufs, -14.0, kMeterTolerance);
    EXPECT_NEAR(l.truePeakDb, -14.0, kMeterTolerance);
}

}  // namespace
