// The click search finds a planted click in a noise bed and nothing in the bed alone,
// in a sound that starts loud and stays loud, or in a burst too quiet to hear.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/assets/click_search.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint16_t kStereo = 2;
constexpr double kBedLevel = 0.01;   // a -40 dBFS hiss
constexpr double kClickAt = 0.5;
constexpr double kClickLevel = 0.5;

std::vector<double> NoiseBed(double seconds, double level, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-level, level);
    std::vector<double> x(static_cast<size_t>(seconds * kRate) * kStereo);
    for (double& v : x)
        v = u(rng);
    return x;
}

void Plant(std::vector<double>& x, double at, double level)
{
    const size_t frame = static_cast<size_t>(at * kRate);
    x[frame * kStereo] += level;
    x[frame * kStereo + 1] += level;
}

TEST(ClickSearch, FindsAOneSampleClickInAQuietBed)
{
    // Low-passed bed: nothing of it above 10 kHz but the click.
    std::vector<double> x = NoiseBed(1.0, kBedLevel, 1);
    for (size_t i = 2 * kStereo; i < x.size(); ++i)
        x[i] = (x[i] + x[i - kStereo] + x[i - 2 * kStereo]) / 3;
    Plant(x, kClickAt, kClickLevel);
    const std::vector<double> found = FindClicks(x, kStereo, kRate);
    ASSERT_FALSE(found.empty());
    EXPECT_NEAR(found.front(), kClickAt, 0.002);
}

TEST(ClickSearch, FindsAClickUnderFullBandHiss)
{
    std::vector<double> x = NoiseBed(1.0, kBedLevel, 2);
    Plant(x, kClickAt, kClickLevel);
    EXPECT_FALSE(FindClicks(x, kStereo, kRate).empty());
}

TEST(ClickSearch, FindsNothingInTheBedAlone)
{
    EXPECT_TRUE(FindClicks(NoiseBed(1.0, kBedLevel, 3), kStereo, kRate).empty());
}

TEST(ClickSearch, AnOnsetThatStaysLoudIsNoClick)
{
    std::vector<double> x(static_cast<size_t>(0.5 * kRate) * kStereo, 0.0);
    const std::vector<double> crash = NoiseBed(0.5, kClickLevel, 4);
    x.insert(x.end(), crash.begin(), crash.end());
    EXPECT_TRUE(FindClicks(x, kStereo, kRate).empty());
}

TEST(ClickSearch, IgnoresABurstTooQuietToHear)
{
    std::vector<double> x(static_cast<size_t>(1.0 * kRate) * kStereo, 0.0);
    Plant(x, kClickAt, 1e-4);
    EXPECT_TRUE(FindClicks(x, kStereo, kRate).empty());
}

}  // namespace
