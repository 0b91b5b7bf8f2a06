// The checker every sound test trusts: it must find a signal where it is,
// and must not find it in silence or in a different signal.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/harness/signal_match.h"

namespace {

MonoSignal Embedded(const MonoSignal& inner, double leadSeconds, double tailSeconds, float gain)
{
    MonoSignal out;
    out.rate = inner.rate;
    out.samples.assign(size_t(leadSeconds * inner.rate), 0.0f);
    for (float s : inner.samples)
        out.samples.push_back(s * gain);
    out.samples.resize(out.samples.size() + size_t(tailSeconds * inner.rate), 0.0f);
    return out;
}

TEST(FindSignal, ReportsWhereTheReferenceStarts)
{
    const MonoSignal probe = ProbeSignal(1, 0.5, 8000);
    for (double lead : {0.0, 0.013, 0.25, 1.0}) {
        MatchResult m = FindSignal(Embedded(probe, lead, 0.3, 0.5f), probe);
        EXPECT_NEAR(m.offsetSeconds, lead, 1.0 / 8000) << "lead " << lead;
        EXPECT_GT(m.correlation, 0.999);
    }
}

TEST(FindSignal, FindsAReferenceThatStartedBeforeTheRecording)
{
    const MonoSignal probe = ProbeSignal(3, 1.0, 8000);
    MonoSignal late = probe;
    late.samples.erase(late.samples.begin(), late.samples.begin() + 2000);
    MatchResult m = FindSignal(late, probe);
    EXPECT_NEAR(m.offsetSeconds, -0.25, 1.0 / 8000);
    EXPECT_GT(m.correlation, 0.99);
}

// A sound asked for while recording starts inside the recording: placed so, the
// reference's tail cannot stand in for a sound that began before it.
TEST(FindSignal, StartingInsideKeepsTheReferenceWithinTheRecording)
{
    const MonoSignal probe = ProbeSignal(3, 1.0, 8000);
    MonoSignal late = probe;
    late.samples.erase(late.samples.begin(), late.samples.begin() + 2000);
    const MatchResult inside = FindSignal(late, probe, true);
    EXPECT_GE(inside.offsetSeconds, 0.0);
    EXPECT_LT(inside.correlation, 0.9);
    const MatchResult whole = FindSignal(Embedded(probe, 0.2, 0.1, 1), probe, true);
    EXPECT_NEAR(whole.offsetSeconds, 0.2, 1.0 / 8000);
    EXPECT_GT(whole.correlation, 0.999);
}

TEST(FindSignal, RejectsSilenceAndOtherSignals)
{
    const MonoSignal probe = ProbeSignal(1, 0.5, 8000);
    MonoSignal silence;
    silence.rate = 8000;
    silence.samples.assign(8000, 0.0f);
    EXPECT_LT(FindSignal(silence, probe).correlation, 0.1);
    EXPECT_LT(FindSignal(Embedded(ProbeSignal(2, 0.5, 8000), 0.1, 0.1, 1), probe).correlation, 0.5);
}

TEST(FindSignal, SurvivesResamplingToAnotherRate)
{
    const MonoSignal probe = ProbeSignal(4, 0.5, 22050);
    MonoSignal recording = Resample(Embedded(probe, 0.1, 0.1, 0.8f), 44100);
    MatchResult m = FindSignal(recording, Resample(probe, 44100));
    EXPECT_NEAR(m.offsetSeconds, 0.1, 0.001);
    EXPECT_GT(m.correlation, 0.95);
}

TEST(Levels, MeasureLoudnessAndExtent)
{
    MonoSignal s;
    s.rate = 1000;
    s.samples.assign(1000, 0.0f);
    for (size_t i = 200; i < 700; ++i)
        s.samples[i] = (i % 2) ? 0.5f : -0.5f;
    EXPECT_NEAR(LevelDb(s, 0.2, 0.7), 20 * std::log10(0.5), 0.01);
    EXPECT_EQ(LevelDb(s, 0.0, 0.2), -200);
    Extent e = SoundingExtent(s, -40);
    EXPECT_NEAR(e.first, 0.2, 0.011);
    EXPECT_NEAR(e.last, 0.7, 0.011);
}

}  // namespace
