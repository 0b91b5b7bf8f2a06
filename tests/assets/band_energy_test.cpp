// The band-energy share puts a tone on the right side of the cut-off, splits a mix of
// two tones by their powers, and counts every channel.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/assets/band_energy.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kCutHz = 150.0;
constexpr double kPi = 3.14159265358979323846;

// Interleaved channels, each the sum of its (frequency, amplitude) tones, one second long.
std::vector<double> Tones(const std::vector<std::vector<std::pair<double, double>>>& perChannel)
{
    const size_t channels = perChannel.size();
    std::vector<double> x(kRate * channels, 0.0);
    for (size_t f = 0; f < kRate; ++f)
        for (size_t c = 0; c < channels; ++c)
            for (const auto& [hz, amp] : perChannel[c])
                x[f * channels + c] += amp * std::sin(2 * kPi * hz * static_cast<double>(f) / kRate);
    return x;
}

struct Case {
    const char* what;
    std::vector<std::vector<std::pair<double, double>>> tones;
    double share;
};

TEST(BandEnergy, SharesFollowTheTonesPowers)
{
    const Case cases[] = {
        {"a 50 Hz thump lies below", {{{50, 0.5}}}, 0.0},
        {"a 1 kHz tone lies above", {{{1000, 0.5}}}, 1.0},
        {"just under the cut", {{{130, 0.5}}}, 0.0},
        {"just over the cut", {{{170, 0.5}}}, 1.0},
        // Amplitudes 0.6 and 0.3: powers 0.36 and 0.09, so 20 % of the energy is above.
        {"a mix splits by power", {{{60, 0.6}, {800, 0.3}}}, 0.2},
        {"the right channel counts too", {{{60, 0.5}}, {{2000, 0.5}}}, 0.5},
    };
    for (const Case& c : cases) {
        const std::vector<double> x = Tones(c.tones);
        const uint16_t channels = static_cast<uint16_t>(c.tones.size());
        EXPECT_NEAR(EnergyShareAbove(x, channels, kRate, kCutHz), c.share, 0.01) << c.what;
    }
}

TEST(BandEnergy, SilenceHasNoShare)
{
    EXPECT_EQ(EnergyShareAbove(std::vector<double>(kRate * 2, 0.0), 2, kRate, kCutHz), 0.0);
}

TEST(BandEnergy, TheCutFollowsTheSampleRate)
{
    // 100 Hz at 11,025 Hz is still below 150 Hz, whatever the bin width.
    std::vector<double> x(11025);
    for (size_t f = 0; f < x.size(); ++f)
        x[f] = 0.5 * std::sin(2 * kPi * 100.0 * static_cast<double>(f) / 11025);
    EXPECT_NEAR(EnergyShareAbove(x, 1, 11025, kCutHz), 0.0, 0.01);
}

}  // namespace
