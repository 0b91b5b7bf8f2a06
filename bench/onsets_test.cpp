// The onset finders on made-up recordings whose onsets are known to the sample.
#include "bench/onsets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

MonoSignal Silence(double seconds)
{
    MonoSignal s;
    s.rate = kRate;
    s.samples.assign(size_t(seconds * kRate), 0.0f);
    return s;
}

void AddSine(MonoSignal& s, double hertz, double amplitude, double from, double to)
{
    for (size_t i = size_t(from * kRate); i < size_t(to * kRate) && i < s.samples.size(); ++i)
        s.samples[i] += float(amplitude * std::sin(2 * kPi * hertz * double(i) / kRate));
}

struct LoudCase {
    const char* what;
    double quietDb;  // level of what comes before the onset
    double onset;    // where the loud part starts; negative: none
    double from;
    double expected;
};

void PrintTo(const LoudCase& c, std::ostream* os) { *os << c.what; }

class FirstLoudTest : public ::testing::TestWithParam<LoudCase> {};

TEST_P(FirstLoudTest, FindsTheFirstLoudMillisecond)
{
    const LoudCase& c = GetParam();
    MonoSignal s = Silence(2.0);
    AddSine(s, 1000, std::pow(10.0, c.quietDb / 20), 0, 2.0);
    if (c.onset >= 0)
        AddSine(s, 300, 0.5, c.onset, 2.0);
    const double found = FirstLoud(s, c.from, 2.0, -40);
    if (c.expected < 0)
        EXPECT_LT(found, 0) << c.what;
    else
        EXPECT_NEAR(found, c.expected, 0.0015) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Onsets, FirstLoudTest,
    ::testing::Values(LoudCase{"onset in silence", -200, 0.5, 0, 0.5},
                      LoudCase{"onset after quiet hiss below the threshold", -50, 0.75, 0, 0.75},
                      LoudCase{"a sound before `from` is not this one", -200, 0.2, 0.6, 0.6},
                      LoudCase{"nothing loud at all", -50, -1, 0, -1},
                      LoudCase{"a level just above the threshold counts from the start", -39, -1, 0.3, 0.3}));

// Three tones 200 Hz apart, started 30 ms apart: each one's onset, not its neighbour's.
TEST(ToneOnsetTest, FindsEachToneOfAMixAtItsOwnStart)
{
    MonoSignal s = Silence(2.0);
    const double hertz[] = {400, 600, 800};
    const double starts[] = {0.50, 0.53, 0.56};
    for (int i = 0; i < 3; ++i)
        AddSine(s, hertz[i], 0.02, starts[i], 2.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(ToneOnset(s, hertz[i], 0.02, 0, 2.0), starts[i], 0.003) << hertz[i];
}

TEST(ToneOnsetTest, ATonePlayedNowhereIsNotFoundBesideLoudNeighbours)
{
    MonoSignal s = Silence(2.0);
    AddSine(s, 400, 0.3, 0.5, 2.0);
    AddSine(s, 800, 0.3, 0.5, 2.0);
    EXPECT_LT(ToneOnset(s, 600, 0.02, 0, 2.0), 0);
    EXPECT_LT(ToneAmplitude(s, 600, 1.0), 0.002);
    EXPECT_NEAR(ToneAmplitude(s, 400, 1.0), 0.3, 0.01);
}

}  // namespace
