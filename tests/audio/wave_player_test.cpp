// The player's fill logic and its registry against the fake device, on real
// Windows threads: what is written, when a loop restarts, when the watchdog
// fires, and that every stop path ends with the player gone and nothing leaked.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "audio/wave_player.h"
#include "audio/wave_registry.h"
#include "tests/audio/fake_wave_device.h"
#include "tests/audio/wave_image.h"

using namespace wavetest;

namespace {

constexpr DWORD kEndWaitMs = 20000;  // far beyond any path's own bound

class WavePlayerTest : public testing::Test {
protected:
    void SetUp() override { WaveRegistry::Create(); }
    void TearDown() override
    {
        WaveRegistry::StopAll(true);
        EXPECT_EQ(WaveRegistry::Count(), 0u);
    }

    std::shared_ptr<FakeLog> Play(const std::vector<uint8_t>& samples, FakeMode mode, bool loop = false,
                                  DWORD bufferMs = 1)
    {
        auto log = std::make_shared<FakeLog>();
        log->closeGate = closeGate;
        const std::vector<uint8_t> image = PcmImage(2, 44100, 16, samples);
        started = WavePlayer::StartOn(std::make_unique<FakeWaveDevice>(log, mode, bufferMs), image.data(),
                                      uint32_t(image.size()), loop);
        return log;
    }

    static bool WaitForNoPlayers()
    {
        for (DWORD begun = GetTickCount(); GetTickCount() - begun < kEndWaitMs; Sleep(5))
            if (WaveRegistry::Count() == 0)
                return true;
        return false;
    }

    static void WaitForWrites(FakeLog& log, size_t count)
    {
        for (DWORD begun = GetTickCount(); GetTickCount() - begun < kEndWaitMs; Sleep(2)) {
            ScopedLock hold(log.lock);
            if (log.writes.size() >= count)
                return;
        }
    }

    // Closed once, nothing queued or prepared at the close. A player leaves the
    // registry before it closes its device, so the close may trail the count's 0.
    static void ExpectCleanRelease(FakeLog& log)
    {
        const DWORD begun = GetTickCount();
        while (log.Count('C') == 0 && GetTickCount() - begun < kEndWaitMs)
            Sleep(2);
        EXPECT_EQ(log.Count('C'), 1);
        EXPECT_EQ(log.closesWhileQueued, 0);
        EXPECT_EQ(log.preparedAtClose, 0);
        EXPECT_EQ(log.unpreparesWhileQueued, 0);
        EXPECT_EQ(log.writesUnprepared, 0);
        EXPECT_EQ(log.zeroLengthWrites, 0);
    }

    static std::vector<uint32_t> Lengths(FakeLog& log)
    {
        std::vector<uint32_t> lengths;
        for (const FakeLog::Write& w : log.writes)
            lengths.push_back(w.length);
        return lengths;
    }

    static int Destroyed(FakeLog& log)
    {
        ScopedLock hold(log.lock);
        return log.destroyed;
    }

    bool started = false;
    HANDLE closeGate = nullptr;  // handed to the devices Play makes
};

TEST_F(WavePlayerTest, WritesWholeBuffersThenTheRemainderAndEndsByItself)
{
    struct Case {
        uint32_t length;
        std::vector<uint32_t> writes;
    };
    const Case cases[] = {
        {1, {1}},
        {1000, {1000}},
        {kBufferSize, {kBufferSize}},
        {kBufferSize + 1, {kBufferSize, 1}},
        {2 * kBufferSize, {kBufferSize, kBufferSize}},  // no empty buffer after an exact multiple
        {3 * kBufferSize + 100, {kBufferSize, kBufferSize, kBufferSize, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::vector<uint8_t> samples = CountingBytes(c.length);
        auto log = Play(samples, FakeMode::Play);
        ASSERT_TRUE(started);
        ASSERT_TRUE(WaitForNoPlayers());
        EXPECT_EQ(Lengths(*log), c.writes);
        EXPECT_EQ(log->played, samples);
        EXPECT_EQ(log->Count('P'), 0);  // ended by itself: nothing to pause or reset
        EXPECT_EQ(log->Count('R'), 0);
        ExpectCleanRelease(*log);
    }
}

// A click's sound must not wait for its player's thread to start: Start queues
// the first buffers itself, and the thread writes the rest.
TEST_F(WavePlayerTest, StartQueuesTheFirstBuffersBeforeItReturns)
{
    struct Case {
        uint32_t length;
        size_t writtenByStart;
        size_t writes;
    };
    const Case cases[] = {
        {100, 1, 1},
        {kBufferSize + 1, 2, 2},
        {5 * kBufferSize, size_t(kPrimedBuffers), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        auto log = Play(CountingBytes(c.length), FakeMode::Hold);
        ASSERT_TRUE(started);
        {
            ScopedLock hold(log->lock);
            ASSERT_GE(log->writes.size(), c.writtenByStart);
        }
        WaitForWrites(*log, c.writes);
        ScopedLock hold(log->lock);
        ASSERT_EQ(log->writes.size(), c.writes);
        for (size_t i = 0; i < c.writes; ++i)
            EXPECT_EQ(log->writes[i].thread == GetCurrentThreadId(), i < c.writtenByStart) << "write " << i;
    }
    WaveRegistry::StopAll(true);
}

TEST_F(WavePlayerTest, KeepsTwentyBuffersQueuedOnALongSound)
{
    const std::vector<uint8_t> samples = CountingBytes(45 * kBufferSize + 3);
    // The first buffer plays for 25 ms: time for a loaded, emulated machine to queue the other 19.
    auto log = Play(samples, FakeMode::Play, false, 25);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitForNoPlayers());
    EXPECT_EQ(log->writes.size(), 46u);
    EXPECT_EQ(log->maxQueued, size_t(kBufferCount));
    EXPECT_EQ(log->played, samples);
    ExpectCleanRelease(*log);
}

TEST_F(WavePlayerTest, LoopRestartsOnlyWhenEveryBufferIsBack)
{
    const uint32_t length = 25 * kBufferSize + 7;  // 26 writes per pass
    const size_t perPass = 26;
    const std::vector<uint8_t> samples = CountingBytes(length);
    // The first buffer of a pass plays for 25 ms: time for an emulated machine to queue the other 19.
    auto log = Play(samples, FakeMode::Play, true, 25);
    ASSERT_TRUE(started);
    WaitForWrites(*log, 3 * perPass + 1);
    WaveRegistry::StopAll(true);
    ASSERT_GE(log->writes.size(), 3 * perPass + 1);
    for (size_t i = 0; i < log->writes.size(); ++i) {
        SCOPED_TRACE(i);
        const FakeLog::Write& w = log->writes[i];
        const size_t inPass = i % perPass;
        EXPECT_EQ(w.length, inPass == perPass - 1 ? 7u : kBufferSize);
        EXPECT_TRUE(std::equal(samples.begin() + inPass * kBufferSize,
                               samples.begin() + inPass * kBufferSize + w.length,
                               log->played.begin() + w.playedOffset));
        if (inPass == 0) {
            EXPECT_EQ(w.queuedBefore, 0u);
        }
    }
    // Every pass after the first fills all 20 buffers before the first one is needed back.
    EXPECT_EQ(log->maxQueued, size_t(kBufferCount));
    ExpectCleanRelease(*log);
}

TEST_F(WavePlayerTest, StopWhileDrainingPausesResetsAndReleases)
{
    auto log = Play(CountingBytes(3 * kBufferSize), FakeMode::Hold);
    ASSERT_TRUE(started);
    WaitForWrites(*log, 3);
    WaveRegistry::StopAll(false);
    ASSERT_TRUE(WaitForNoPlayers());
    ExpectCleanRelease(*log);
    EXPECT_EQ(log->events, "OWWWPRC");
}

TEST_F(WavePlayerTest, StopAllWaitReturnsOnlyWhenEveryPlayerIsGone)
{
    std::vector<std::shared_ptr<FakeLog>> logs;
    for (int i = 0; i < 6; ++i) {
        logs.push_back(Play(CountingBytes(30 * kBufferSize), FakeMode::Hold));
        ASSERT_TRUE(started);
    }
    EXPECT_EQ(WaveRegistry::Count(), logs.size());
    for (auto& log : logs)
        WaitForWrites(*log, kBufferCount);
    WaveRegistry::StopAll(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    for (auto& log : logs) {
        EXPECT_EQ(log->writes.size(), size_t(kBufferCount));
        ExpectCleanRelease(*log);
    }
}

DWORD WINAPI OpenGateLater(void* gate)
{
    Sleep(300);
    SetEvent(gate);
    return 0;
}

TEST_F(WavePlayerTest, StopAllWaitOutlastsPlayersAnEarlierStopAlreadyUnlisted)
{
    UniqueHandle gate(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    closeGate = gate.get();
    std::vector<std::shared_ptr<FakeLog>> logs;
    for (int i = 0; i < 4; ++i) {
        logs.push_back(Play(CountingBytes(30 * kBufferSize), FakeMode::Hold));
        ASSERT_TRUE(started);
    }
    WaveRegistry::StopAll(false);
    // Unlisted, each player now waits in its device's close.
    ASSERT_TRUE(WaitForNoPlayers());
    UniqueHandle opener(CreateThread(nullptr, 0, OpenGateLater, gate.get(), 0, nullptr));
    ASSERT_TRUE(opener);
    EXPECT_TRUE(WaveRegistry::StopAll(true));
    for (auto& log : logs) {
        EXPECT_EQ(log->Count('C'), 1);
        EXPECT_EQ(Destroyed(*log), 1);
    }
    WaitForSingleObject(opener.get(), INFINITE);
}

struct BoundedStop {
    DWORD boundMs;
    volatile LONG result = -1;
};

DWORD WINAPI StopAllWithin(void* arg)
{
    auto* stop = static_cast<BoundedStop*>(arg);
    InterlockedExchange(&stop->result, WaveRegistry::StopAll(true, stop->boundMs) ? 1 : 0);
    return 0;
}

TEST_F(WavePlayerTest, StopAllWaitGivesUpAtItsBoundWhileADeviceHangs)
{
    UniqueHandle gate(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    closeGate = gate.get();
    auto log = Play(CountingBytes(30 * kBufferSize), FakeMode::Hold);
    ASSERT_TRUE(started);
    BoundedStop stop{300};
    const DWORD begun = GetTickCount();
    UniqueHandle stopper(CreateThread(nullptr, 0, StopAllWithin, &stop, 0, nullptr));
    ASSERT_TRUE(stopper);
    const bool returned = WaitForSingleObject(stopper.get(), 3000) == WAIT_OBJECT_0;
    const DWORD spent = GetTickCount() - begun;
    SetEvent(gate.get());  // let the device close, so nothing is left hanging
    WaitForSingleObject(stopper.get(), INFINITE);
    ASSERT_TRUE(returned) << "the bounded stop waited on past its bound";
    EXPECT_EQ(stop.result, 0);
    EXPECT_GE(spent, 300u - 32);
    EXPECT_TRUE(WaveRegistry::StopAll(true, kEndWaitMs));
    EXPECT_EQ(Destroyed(*log), 1);
}

TEST_F(WavePlayerTest, WatchdogStopsADeviceThatReturnsNothing)
{
    auto log = Play(CountingBytes(30 * kBufferSize), FakeMode::Hold);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitForNoPlayers());
    EXPECT_EQ(log->writes.size(), size_t(kBufferCount));
    ExpectCleanRelease(*log);
    EXPECT_EQ(log->events, std::string("O") + std::string(kBufferCount, 'W') + "PRC");
    // GetTickCount steps in whole ticks: allow one on either reading.
    EXPECT_GE(log->pauseTick - log->lastWriteTick, kWatchdogMs - 32);
}

TEST_F(WavePlayerTest, DeviceThatKeepsItsBuffersIsLeftThemAndNotClosed)
{
    auto log = Play(CountingBytes(4 * kBufferSize), FakeMode::Keep);
    ASSERT_TRUE(started);
    WaitForWrites(*log, 4);
    WaveRegistry::StopAll(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    EXPECT_EQ(log->events, "OWWWWPR");  // no close, no unprepare of what the device holds
    EXPECT_EQ(log->unpreparesWhileQueued, 0);
}

TEST_F(WavePlayerTest, CallerMayFreeTheImageRightAfterStart)
{
    const std::vector<uint8_t> samples = CountingBytes(5 * kBufferSize + 11);
    auto log = std::make_shared<FakeLog>();
    {
        auto image = std::make_unique<std::vector<uint8_t>>(PcmImage(2, 44100, 16, samples));
        ASSERT_TRUE(WavePlayer::StartOn(std::make_unique<FakeWaveDevice>(log, FakeMode::Play, 2),
                                        image->data(), uint32_t(image->size()), false));
        std::fill(image->begin(), image->end(), 0xAA);
    }
    ASSERT_TRUE(WaitForNoPlayers());
    EXPECT_EQ(log->played, samples);
}

TEST_F(WavePlayerTest, RefusedImageOpensNoDevice)
{
    auto log = std::make_shared<FakeLog>();
    const std::vector<uint8_t> image = WaveImage().Chunk("fmt ", PcmFormat(2, 44100, 16)).Bytes();
    EXPECT_FALSE(WavePlayer::StartOn(std::make_unique<FakeWaveDevice>(log, FakeMode::Play), image.data(),
                                     uint32_t(image.size()), false));
    EXPECT_EQ(log->events, "");
    EXPECT_EQ(WaveRegistry::Count(), 0u);
}

TEST_F(WavePlayerTest, DeviceThatRefusesTheFormatStartsNothing)
{
    auto log = Play(CountingBytes(100), FakeMode::Refuse);
    EXPECT_FALSE(started);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
}

TEST_F(WavePlayerTest, ARefusedPrepareOrWriteEndsThePlayerAtOnce)
{
    struct Case {
        const char* name;
        int refusePrepareAt;
        int refuseWriteAt;
        size_t writesTaken;
    };
    constexpr int kBuffers = 5;
    const Case cases[] = {
        {"first write", 0, 1, 0},
        {"a middle write", 0, 3, 2},
        {"the last write", 0, kBuffers, kBuffers - 1},
        {"a middle prepare", 3, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto log = std::make_shared<FakeLog>();
        log->refusePrepareAt = c.refusePrepareAt;
        log->refuseWriteAt = c.refuseWriteAt;
        const std::vector<uint8_t> image = PcmImage(2, 44100, 16, CountingBytes(kBuffers * kBufferSize));
        const DWORD begun = GetTickCount();
        ASSERT_TRUE(WavePlayer::StartOn(std::make_unique<FakeWaveDevice>(log, FakeMode::Hold), image.data(),
                                        uint32_t(image.size()), false));
        ASSERT_TRUE(WaitForNoPlayers());
        ExpectCleanRelease(*log);
        // Ended by the refusal, not by the watchdog waiting for a buffer that never comes back.
        EXPECT_LT(GetTickCount() - begun, kWatchdogMs);
        EXPECT_EQ(log->writes.size(), c.writesTaken);
        EXPECT_EQ(log->Count('X'), 1);
        EXPECT_EQ(log->Count('R'), 1);
    }
}

TEST_F(WavePlayerTest, ARegistryDestroyedRefusesEveryCallAfterIt)
{
    WaveRegistry::Destroy();
    auto log = Play(CountingBytes(100), FakeMode::Play);
    EXPECT_FALSE(started);
    EXPECT_EQ(log->events, "OC");  // the device opened for it is closed again
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    WaveRegistry::RefuseNewPlayers();
    WaveRegistry::StopAll(true);
    WaveRegistry::Destroy();  // a second destroy finds nothing to free
    WaveRegistry::Create();
    Play(CountingBytes(100), FakeMode::Play);
    EXPECT_TRUE(started);
}

struct Holder {
    UniqueHandle holding{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    volatile LONG released = 0;
};

DWORD WINAPI HoldRegistryBriefly(void* arg)
{
    auto* holder = static_cast<Holder*>(arg);
    WaveRegistry::Hold hold;
    SetEvent(holder->holding.get());
    Sleep(200);
    InterlockedExchange(&holder->released, 1);
    return 0;
}

TEST_F(WavePlayerTest, DestroyWaitsForACallThatHoldsTheLock)
{
    Holder holder;
    UniqueHandle thread(CreateThread(nullptr, 0, HoldRegistryBriefly, &holder, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(holder.holding.get(), kEndWaitMs), WAIT_OBJECT_0);
    WaveRegistry::Destroy();
    EXPECT_EQ(InterlockedCompareExchange(&holder.released, 0, 0), 1);
    WaitForSingleObject(thread.get(), INFINITE);
    WaveRegistry::Create();
}

TEST_F(WavePlayerTest, StartIsRefusedOnceClosing)
{
    auto before = Play(CountingBytes(30 * kBufferSize), FakeMode::Hold);
    ASSERT_TRUE(started);
    WaveRegistry::RefuseNewPlayers();
    auto after = Play(CountingBytes(100), FakeMode::Play);
    EXPECT_FALSE(started);
    EXPECT_EQ(after->events, "OC");  // opened, then closed again: nothing left behind
    EXPECT_EQ(WaveRegistry::Count(), 1u);
    WaveRegistry::StopAll(true);
    ExpectCleanRelease(*before);
    WaveRegistry::Create();  // open again for the tests that follow
    Play(CountingBytes(100), FakeMode::Play);
    EXPECT_TRUE(started);
}

TEST_F(WavePlayerTest, StopAllWithNobodyListedReturns)
{
    WaveRegistry::StopAll(false);
    WaveRegistry::StopAll(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
}

struct StopperArgs {
    volatile LONG* quit;
    bool wait;
};

DWORD WINAPI KeepStopping(void* arg)
{
    auto* args = static_cast<StopperArgs*>(arg);
    while (!InterlockedCompareExchange(args->quit, 0, 0)) {
        WaveRegistry::StopAll(args->wait);
        Sleep(0);
    }
    return 0;
}

TEST_F(WavePlayerTest, StopAllFromSeveralThreadsWhilePlayersEndLeavesNothing)
{
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    std::vector<std::shared_ptr<FakeLog>> logs;
    volatile LONG quit = 0;
    StopperArgs args[] = {{&quit, false}, {&quit, true}, {&quit, false}, {&quit, true}};
    std::vector<UniqueHandle> stoppers;
    for (StopperArgs& a : args)
        stoppers.emplace_back(CreateThread(nullptr, 0, KeepStopping, &a, 0, nullptr));
    for (int i = 0; i < 60; ++i) {
        // Short sounds, so many end on their own while the stoppers run.
        logs.push_back(Play(CountingBytes(1 + (i % 3) * kBufferSize), FakeMode::Play));
        ASSERT_TRUE(started);
    }
    InterlockedExchange(&quit, 1);
    for (UniqueHandle& s : stoppers)
        WaitForSingleObject(s.get(), INFINITE);
    stoppers.clear();
    WaveRegistry::StopAll(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    for (auto& log : logs)
        ExpectCleanRelease(*log);
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
}

TEST_F(WavePlayerTest, HundredStartsAndStopsInABurstLeaveNothing)
{
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    std::vector<std::shared_ptr<FakeLog>> logs;
    for (int i = 0; i < 100; ++i) {
        logs.push_back(Play(CountingBytes(10 * kBufferSize), FakeMode::Play));
        ASSERT_TRUE(started);
        if (i % 2)
            WaveRegistry::StopAll(false);
    }
    WaveRegistry::StopAll(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    for (auto& log : logs)
        ExpectCleanRelease(*log);
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
}

}  // namespace
