// The tail measure tells a sound that has died away from one still ringing when the
// file ends, even when a short fade closes the file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "tests/assets/wave_measure.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kSeconds = 1.0;
constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// A 16-bit stereo entry whose both channels follow level(t) times a 440 Hz tone.
std::vector<uint8_t> Entry(const std::function<double(double)>& level)
{
    const uint32_t frames = static_cast<uint32_t>(kSeconds * kRate);
    std::vector<uint8_t> w;
    PutTag(w, "RIFF");
    Put32(w, 36 + frames * 4);
    PutTag(w, "WAVE");
    PutTag(w, "fmt ");
    for (uint32_t v : {16u, 1u | 2u << 16, kRate, kRate * 4, 4u | 16u << 16})
        Put32(w, v);
    PutTag(w, "data");
    Put32(w, frames * 4);
    for (uint32_t f = 0; f < frames; ++f) {
        const double t = f / static_cast<double>(kRate);
        const auto s = static_cast<int16_t>(std::lround(16000 * level(t) * std::sin(2 * kPi * 440 * t)));
        Put16(w, static_cast<uint16_t>(s));
        Put16(w, static_cast<uint16_t>(s));
    }
    return w;
}

struct Case {
    const char* what;
    std::function<double(double)> level;
    double lowestDb, highestDb;
};

TEST(WaveMeasure, TailTellsADeadSoundFromOneCutWhileRinging)
{
    const Case cases[] = {
        {"held to the end", [](double) { return 1.0; }, -0.5, 0.5},
        {"cut while ringing, then a 10 ms fade",
         [](double t) { return std::exp(-t / 0.5) * std::min(1.0, (kSeconds - t) / 0.01); }, -20, -14},
        {"died away long before the end", [](double t) { return std::exp(-t / 0.05); }, -400, -60},
        {"a note, then silence", [](double t) { return t < 0.3 ? 1.0 : 0.0; }, -400, -100},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> w = Entry(c.level);
        const WaveMeasures m = MeasureWave(w.data(), static_cast<uint32_t>(w.size()));
        EXPECT_GE(m.tailDb, c.lowestDb) << c.what;
        EXPECT_LE(m.tailDb, c.highestDb) << c.what;
    }
}

}  // namespace
