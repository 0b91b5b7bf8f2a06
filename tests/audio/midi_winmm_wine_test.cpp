// The player on the real winmm stream, on a machine without a MIDI device: Open
// fails cleanly and repeated tries leave no handle behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "audio/midi_stream_player.h"
#include "tests/audio/midi_test_files.h"

namespace {

constexpr int kTries = 20;

DWORD HandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

TEST(MidiWinmm, OpenWithoutADeviceFailsAndLeaksNoHandle)
{
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Tempo(0, 500000).Note(0, 60).Note(96, 62).End()});
    MidiStreamPlayer player;
    // winmm loads its drivers on first use; count after that.
    EXPECT_FALSE(player.Open(file.data(), uint32_t(file.size())));
    player.Close();
    const DWORD before = HandleCount();
    for (int i = 0; i < kTries; ++i) {
        EXPECT_FALSE(player.Open(file.data(), uint32_t(file.size())));
        EXPECT_FALSE(player.Play(false));
        player.Close();
    }
    EXPECT_EQ(HandleCount(), before);
}

TEST(MidiWinmm, PlayersComeAndGoWithoutLeakingHandles)
{
    const Bytes file = MidiFile(1, 480, {TrackBuilder().Note(0, 60).End(), TrackBuilder().Note(10, 64).End()});
    { MidiStreamPlayer warmUp; warmUp.Open(file.data(), uint32_t(file.size())); }
    const DWORD before = HandleCount();
    for (int i = 0; i < kTries; ++i) {
        MidiStreamPlayer player;
        EXPECT_FALSE(player.Open(file.data(), uint32_t(file.size())));
    }
    EXPECT_EQ(HandleCount(), before);
}

}  // namespace
