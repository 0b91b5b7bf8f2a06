// The play and stop commands on Windows: which images reach a player, file
// names read whole, and stops from many threads at once leaving nothing behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "assets/sound_bank.h"
#include "audio/sound_player.h"
#include "audio/wave_registry.h"
#include "platform/handles.h"
#include "testsupport/process_holdings.h"

namespace {

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { WaveRegistry::Create(); }
    void TearDown() override { player.Stop(true); }
    SoundPlayer player;
};

std::string TempFile(const char* name, const void* bytes, size_t length)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (length)
        std::fwrite(bytes, 1, length, file);
    std::fclose(file);
    return path;
}

TEST_F(SoundPlayerTest, ShortWaveImagesAreRefusedAndNeverTriedAsMidi)
{
    for (uint32_t length = 12; length <= 35; ++length) {
        std::vector<uint8_t> image(length, 0);
        std::memcpy(image.data(), "RIFF", 4);
        std::memcpy(image.data() + 8, "WAVE", 4);
        OwnedByteBuffer sound(image);
        EXPECT_FALSE(player.Play(sound.get())) << length;
    }
}

TEST_F(SoundPlayerTest, MidiHeaderWithGarbageIsTakenButPlaysNothing)
{
    const char garbage[] = "MThd garbage that is no MIDI file";
    OwnedByteBuffer sound(garbage, sizeof garbage);
    EXPECT_TRUE(player.Play(sound.get()));
    EXPECT_EQ(WaveRegistry::Count(), 0u);
}

TEST_F(SoundPlayerTest, EmptyAndUnknownInputsAreRefused)
{
    OwnedByteBuffer empty(nullptr, 0);
    EXPECT_FALSE(player.Play(empty.get()));
    EXPECT_FALSE(player.Play(""));
    EXPECT_FALSE(player.Play("Z:\\no\\such\\file.wav"));
    EXPECT_FALSE(player.Play(TempFile("board-empty.wav", nullptr, 0).c_str()));
    const char text[] = "just some text, not a sound";
    EXPECT_FALSE(player.Play(TempFile("board-text.wav", text, sizeof text).c_str()));
}

TEST_F(SoundPlayerTest, FileNamePlaysLikeTheSameBytes)
{
    const std::string path = TempFile("board-sfx25.wav", Sfx25.bytes(), Sfx25.length);
    ASSERT_TRUE(player.Play(path.c_str()));
    ASSERT_TRUE(player.Play(Sfx25));
    EXPECT_EQ(WaveRegistry::Count(), 2u);  // both play, overlapping
    // The file was read whole and closed: it can be written again at once.
    const UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file);
}

TEST_F(SoundPlayerTest, StopWithNothingPlayingReturns)
{
    player.Stop();
    player.Stop(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
}

TEST_F(SoundPlayerTest, StopsFromManyThreadsLeaveNoPlayerAndNoHandle)
{
    const Holdings before = Now();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < 10; ++i) {
                player.Play(SoundBank::Entry(1 + (t * 10 + i) % SoundBank::kEntryCount));
                player.Stop(i % 3 == 0);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    player.Stop(true);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    const Holdings after = Now();
    EXPECT_EQ(after.semaphores, before.semaphores);
    EXPECT_EQ(after.liveThreads, before.liveThreads);
}

}  // namespace
