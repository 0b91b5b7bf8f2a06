// The MIDI stream player through the test device: the records each buffer carries,
// where buffers close, looping, and the stop, end and re-arm sequences.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "audio/midi_stream_player.h"
#include "tests/audio/midi_fake_stream.h"
#include "tests/audio/midi_test_files.h"

namespace {

using Buffers = std::vector<std::vector<StreamRecord>>;
using Calls = std::vector<std::string>;

constexpr uint32_t kTempoType = 1u << 24;

uint32_t NoteWord(uint8_t note, uint8_t velocity = 0x40, uint8_t status = 0x90)
{
    return uint32_t(velocity) << 16 | uint32_t(note) << 8 | status;
}

StreamRecord NoteRecord(uint32_t delta, uint8_t note) { return {delta, 0, NoteWord(note)}; }
StreamRecord TempoRecord(uint32_t delta, uint32_t tempo) { return {delta, 0, kTempoType | tempo}; }

class RecordingPlayer : public MidiStreamPlayer {
public:
    using MidiStreamPlayer::MidiStreamPlayer;
    std::vector<uint32_t> errors;   // written on the caller's and the device's thread; read after both are quiet

protected:
    void OnError(uint32_t code) override { errors.push_back(code); }
};

// Opens and plays, then lets the device give back buffers one at a time until
// `count` buffers have been sent or nothing more comes.
Buffers SentBuffers(const Bytes& file, size_t count, bool loop = false)
{
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    EXPECT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    EXPECT_TRUE(player.Play(loop));
    while (device.SentRecords().size() < count && device.ReturnNext()) {
    }
    player.Close();
    Buffers sent = device.SentRecords();
    if (sent.size() > count)
        sent.resize(count);
    return sent;
}

std::vector<StreamRecord> AllRecords(const Buffers& buffers)
{
    std::vector<StreamRecord> all;
    for (const auto& buffer : buffers)
        all.insert(all.end(), buffer.begin(), buffer.end());
    return all;
}

Calls CallsFrom(const Calls& calls, size_t from) { return Calls(calls.begin() + std::min(from, calls.size()), calls.end()); }

TrackBuilder NotesEvery(uint32_t step, int count)
{
    TrackBuilder track;
    for (int i = 0; i < count; ++i)
        track.Note(i == 0 ? 0 : step, uint8_t(i % 128));
    return track.End();
}

// --- Conversion -----------------------------------------------------------------

TEST(MidiConversion, RecordsCarryDeltaStreamIdAndEventWord)
{
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Tempo(0, 500000).Note(0, 60).Note(10, 62, 0x7F, 3)
                                            .Raw(5, {0xC1, 0x0A}).Raw(1, {0xE0, 0x01, 0x40}).End()});
    const Buffers sent = SentBuffers(file, 1);
    ASSERT_EQ(sent.size(), 1u);
    const std::vector<StreamRecord> expected = {
        TempoRecord(0, 500000), NoteRecord(0, 60), {10, 0, NoteWord(62, 0x7F, 0x93)},
        {5, 0, 0x0AC1}, {1, 0, 0x4001E0}};
    EXPECT_EQ(sent[0], expected);
}

TEST(MidiConversion, RecordBytesAreLittleEndianTwelveByteTriples)
{
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Note(0x81, 0x3C, 0x22, 1).End()});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    const MidiHeader* header = device.Held().at(0);
    ASSERT_EQ(header->bytesRecorded, 12u);
    EXPECT_EQ(header->bufferLength, 1024u);
    const Bytes expected = {0x81, 0, 0, 0, 0, 0, 0, 0, 0x91, 0x3C, 0x22, 0x00};
    EXPECT_EQ(Bytes(header->data, header->data + 12), expected);
    player.Close();
}

struct SliceCase {
    uint16_t division;
    uint32_t tempo;
    uint32_t step;
    size_t firstBufferRecords;    // the tempo record counts
    size_t secondBufferRecords;
};

// ticksPerSlice = division * 60,000 / tempo: 96 at 500,000 gives 11, at 250,000 gives 23.
// A buffer takes records until lastTick has gone past slice start + ticksPerSlice, then one more.
TEST(MidiConversion, BufferClosesOneRecordAfterTheSliceIsExceeded)
{
    const SliceCase cases[] = {
        {96, 500000, 4, 6, 4},    // 0 tempo, 0 4 8 12 16 | 20 24 28 32
        {96, 250000, 4, 9, 7},    // 0 tempo, 0 .. 28     | 32 .. 56
        {480, 500000, 10, 9, 7},  // 57 ticks: 0 tempo, 0 .. 70 | 80 .. 140
    };
    for (const SliceCase& c : cases) {
        TrackBuilder track;
        track.Tempo(0, c.tempo);
        for (int i = 0; i < 40; ++i)
            track.Note(i == 0 ? 0 : c.step, uint8_t(i));
        const Buffers sent = SentBuffers(MidiFile(0, c.division, {track.End()}), 2);
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].size(), c.firstBufferRecords) << c.division << "/" << c.tempo;
        EXPECT_EQ(sent[1].size(), c.secondBufferRecords) << c.division << "/" << c.tempo;
        EXPECT_EQ(sent[0][0], TempoRecord(0, c.tempo));
        // The record that did not fit opens the next buffer with its delta unchanged.
        EXPECT_EQ(sent[1][0].delta, c.step);
    }
}

TEST(MidiConversion, BufferClosesAt85Records)
{
    const Buffers sent = SentBuffers(MidiFile(0, 96, {NotesEvery(0, 100)}), 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].size(), 85u);
    EXPECT_EQ(sent[1].size(), 15u);
    EXPECT_EQ(sent[1][0], NoteRecord(0, 85));
}

TEST(MidiConversion, EventThatDoesNotFitOpensTheNextBufferWithItsTime)
{
    TrackBuilder track;
    for (int i = 0; i < 85; ++i)
        track.Note(0, uint8_t(i));
    const Buffers sent = SentBuffers(MidiFile(0, 96, {track.Note(7, 100).End()}), 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].size(), 85u);
    EXPECT_EQ(sent[1], (std::vector<StreamRecord>{NoteRecord(7, 100)}));
}

TEST(MidiConversion, BeforeAnyTempoBufferClosesAfterTimeAdvancesPlusOneRecord)
{
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Note(0, 1).Note(0, 2).Note(5, 3).Note(0, 4).Note(4, 5)
                                            .Note(0, 6).Note(3, 7).Note(2, 8).End()});
    const Buffers sent = SentBuffers(file, 3);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], (std::vector<StreamRecord>{NoteRecord(0, 1), NoteRecord(0, 2), NoteRecord(5, 3),
                                                  NoteRecord(0, 4)}));
    EXPECT_EQ(sent[1], (std::vector<StreamRecord>{NoteRecord(4, 5), NoteRecord(0, 6)}));
    EXPECT_EQ(sent[2], (std::vector<StreamRecord>{NoteRecord(3, 7), NoteRecord(2, 8)}));
}

TEST(MidiConversion, TracksMergeByTimeWithTiesToTheLowerTrack)
{
    const Bytes file = MidiFile(1, 96, {TrackBuilder().Note(0, 10).Note(10, 11).End(),
                                        TrackBuilder().Note(0, 20).Note(5, 21).Note(5, 22).End(),
                                        TrackBuilder().Note(10, 30).End()});
    const std::vector<StreamRecord> all = AllRecords(SentBuffers(file, 10));
    const std::vector<StreamRecord> expected = {NoteRecord(0, 10), NoteRecord(0, 20), NoteRecord(5, 21),
                                                NoteRecord(5, 11), NoteRecord(0, 22), NoteRecord(0, 30)};
    EXPECT_EQ(all, expected);
}

struct DroppedCase {
    const char* name;
    TrackBuilder dropped;   // placed between two notes, 10 ticks after the first
};

// Events that are not sent leave every later record where it was. A set-tempo of
// value 0 or with fewer than 3 data bytes is one of them and keeps the old tempo.
TEST(MidiConversion, DroppedEventsShiftNoLaterTime)
{
    const DroppedCase cases[] = {
        {"sysex", TrackBuilder().SysEx(10, {1, 2, 0xF7})},
        {"sysex escape", TrackBuilder().Raw(10, {0xF7, 0x01, 0x05})},
        {"text meta", TrackBuilder().Meta(10, 0x01, {'h', 'i'})},
        {"end of track of another track is not here", TrackBuilder().Meta(10, 0x7F, {})},
        {"tempo of value 0", TrackBuilder().Tempo(10, 0)},
        {"tempo of 2 bytes", TrackBuilder().Meta(10, 0x51, {0x07, 0xA1})},
        {"tempo of no bytes", TrackBuilder().Meta(10, 0x51, {})},
    };
    auto build = [](const TrackBuilder* dropped) {
        Bytes body = TrackBuilder().Tempo(0, 500000).Note(0, 60).body();
        uint32_t gap = 25;
        if (dropped) {
            body.insert(body.end(), dropped->body().begin(), dropped->body().end());
            gap = 15;
        }
        const Bytes tail = TrackBuilder().Note(gap, 61).Note(4, 62).Note(4, 63).Note(4, 64).End().body();
        body.insert(body.end(), tail.begin(), tail.end());
        return MidiFile(0, 96, std::vector<Bytes>{body});
    };
    const Buffers plain = SentBuffers(build(nullptr), 4);
    ASSERT_EQ(AllRecords(plain).size(), 6u);
    for (const DroppedCase& c : cases)
        EXPECT_EQ(SentBuffers(build(&c.dropped), 4), plain) << c.name;
}

TEST(MidiConversion, LoopGoesOnInTheSameBufferAfterTheFirstEventsOwnDelta)
{
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Note(3, 1).Note(10, 2).End(50)});
    const Buffers sent = SentBuffers(file, 4, true);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0], (std::vector<StreamRecord>{NoteRecord(3, 1), NoteRecord(10, 2)}));
    EXPECT_TRUE(sent[1].empty());   // primed before looping was asked for: the end was reached
    EXPECT_EQ(sent[2], (std::vector<StreamRecord>{NoteRecord(3, 1), NoteRecord(10, 2), NoteRecord(3, 1)}));
    EXPECT_EQ(sent[3].front(), NoteRecord(10, 2));
}

TEST(MidiPlayerLifecycle, LoopingFileWithoutRecordsEndsInsteadOfCyclingEmptyBuffers)
{
    constexpr int kManyReturns = 50;
    const Bytes files[] = {
        MidiFile(0, 96, {TrackBuilder().End(10)}),
        MidiFile(1, 96, {TrackBuilder().End(0), TrackBuilder().End(30)}),
    };
    for (const Bytes& file : files) {
        FakeMidiStream device;
        MidiStreamPlayer player(device);
        ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
        ASSERT_TRUE(player.Play(true));
        int returned = 0;
        while (returned < kManyReturns && device.ReturnNext())
            ++returned;
        EXPECT_LT(returned, kManyReturns);
        EXPECT_TRUE(device.Held().empty());
        EXPECT_TRUE(AllRecords(device.SentRecords()).empty());
        player.Close();
        EXPECT_EQ(device.OpenStreams(), 0u);
        EXPECT_EQ(device.PreparedHeaders(), 0u);
    }
}

// --- Open -------------------------------------------------------------------------

TEST(MidiPlayerOpen, PrimesAPausedStreamWithBothBuffers)
{
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    const Bytes file = MidiFile(0, 384, {NotesEvery(1, 200)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    EXPECT_EQ(device.Calls(), (Calls{"open 1", "timediv 384 1", "prepare 1", "out 1", "prepare 1", "out 1"}));
    player.Close();
}

struct OpenCase {
    const char* name;
    const char* failingCall;   // nullptr: none
    bool opened;
};

TEST(MidiPlayerOpen, StreamFailuresDecideTheResult)
{
    const OpenCase cases[] = {
        {"stream open fails", "open", false},
        {"time division refused", "timediv 96", false},
        {"header cannot be prepared", "prepare", false},
        {"buffer cannot be queued: still opened", "out", true},
    };
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 200)});
    for (const OpenCase& c : cases) {
        FakeMidiStream device;
        {
            RecordingPlayer player(device);
            device.FailCall(c.failingCall, 11);
            EXPECT_EQ(player.Open(file.data(), uint32_t(file.size())), c.opened) << c.name;
            player.Close();
            EXPECT_NE(std::find(player.errors.begin(), player.errors.end(), 11u), player.errors.end()) << c.name;
        }
        EXPECT_EQ(device.OpenStreams(), 0u) << c.name;
        EXPECT_EQ(device.PreparedHeaders(), 0u) << c.name;
    }
}

TEST(MidiPlayerOpen, InvalidFileMakesNoStreamCall)
{
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 3)});
    EXPECT_FALSE(player.Open(file.data(), 13));
    EXPECT_TRUE(device.Calls().empty());
}

// --- Lifecycle --------------------------------------------------------------------

TEST(MidiPlayerLifecycle, PlayToTheEndThenPlayAgainStartsFromTheTop)
{
    FakeMidiStream device(FakeMidiStream::Returns::WhileRunning);
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(0, 300)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    device.WaitIdle();

    // The end was only marked on the device's thread: no stream call came from there.
    const Calls played = device.Calls();
    EXPECT_EQ(played.back(), "out 1");
    EXPECT_EQ(std::count(played.begin(), played.end(), "stop 1"), 0);
    const size_t firstPass = device.SentRecords().size();
    EXPECT_EQ(AllRecords(device.SentRecords()).size(), 300u);

    ASSERT_TRUE(player.Play(false));
    Calls rearm = CallsFrom(device.Calls(), played.size());
    rearm.resize(12);   // the device plays on behind the restart
    EXPECT_EQ(rearm,
              (Calls{"stop 1", "reset 1", "unprepare 1", "unprepare 1", "open 2", "timediv 96 2", "prepare 2",
                     "out 2", "prepare 2", "out 2", "close 1", "restart 2"}));
    const Buffers sent = device.SentRecords();
    EXPECT_EQ(sent[firstPass], sent[0]);
    EXPECT_EQ(sent[firstPass + 1], sent[1]);
    device.WaitIdle();
    EXPECT_EQ(AllRecords(device.SentRecords()).size(), 600u);

    player.Close();
    EXPECT_EQ(device.OpenStreams(), 0u);
    EXPECT_EQ(device.PreparedHeaders(), 0u);
    EXPECT_TRUE(player.errors.empty());
}

TEST(MidiPlayerLifecycle, PlayWhilePlayingRewindsBeforePriming)
{
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(0, 300)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    ASSERT_TRUE(device.ReturnNext());
    ASSERT_TRUE(player.Play(false));
    const Buffers sent = device.SentRecords();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[3], sent[0]);
    EXPECT_EQ(sent[4], sent[1]);
    player.Close();
}

TEST(MidiPlayerLifecycle, EveryStreamIsOpenedOnTheMapper)
{
    constexpr uint32_t kMapperDevice = 0xFFFFFFFF;   // the platform's MIDI_MAPPER
    FakeMidiStream device;
    MidiStreamPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(0, 300)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    ASSERT_TRUE(player.Play(false));   // the re-arm opens a fresh stream
    player.Close();
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    player.Close();
    EXPECT_EQ(device.OpenedDevices(), (std::vector<uint32_t>{kMapperDevice, kMapperDevice, kMapperDevice}));
}

TEST(MidiPlayerLifecycle, CloseWhileEndedReleasesEverything)
{
    FakeMidiStream device;
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(0, 100)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    ASSERT_TRUE(device.ReturnNext());   // the refill finds the end; the second buffer is still out
    EXPECT_EQ(device.Held().size(), 1u);
    const size_t before = device.Calls().size();
    player.Close();
    EXPECT_EQ(CallsFrom(device.Calls(), before), (Calls{"stop 1", "reset 1", "unprepare 1", "unprepare 1", "close 1"}));
    EXPECT_EQ(device.OpenStreams(), 0u);
    EXPECT_EQ(device.PreparedHeaders(), 0u);
    EXPECT_TRUE(player.errors.empty());
}

TEST(MidiPlayerLifecycle, CloseAfterTheEndReleasesEverything)
{
    FakeMidiStream device(FakeMidiStream::Returns::WhileRunning);
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(0, 100)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    device.WaitIdle();
    player.Close();
    EXPECT_EQ(device.OpenStreams(), 0u);
    EXPECT_EQ(device.PreparedHeaders(), 0u);
    EXPECT_TRUE(player.errors.empty());
}

TEST(MidiPlayerLifecycle, CloseWhileRunningCollectsBothBuffers)
{
    FakeMidiStream device;
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 1000)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(true));
    ASSERT_TRUE(device.ReturnNext());
    ASSERT_TRUE(device.ReturnNext());
    const size_t before = device.Calls().size();
    player.Close();
    EXPECT_EQ(CallsFrom(device.Calls(), before), (Calls{"stop 1", "reset 1", "unprepare 1", "unprepare 1", "close 1"}));
    EXPECT_EQ(device.OpenStreams(), 0u);
    EXPECT_EQ(device.PreparedHeaders(), 0u);
    EXPECT_TRUE(device.Held().empty());
    EXPECT_TRUE(player.errors.empty());
}

TEST(MidiPlayerLifecycle, CloseWithNothingOpenOnlyReportsTheFailedStopCalls)
{
    FakeMidiStream device;
    RecordingPlayer player(device);
    player.Close();
    EXPECT_EQ(device.Calls(), (Calls{"stop 0", "reset 0"}));
    EXPECT_EQ(player.errors, (std::vector<uint32_t>{kMidiInvalidHandle, kMidiInvalidHandle}));
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 3)});
    EXPECT_TRUE(player.Open(file.data(), uint32_t(file.size())));
}

TEST(MidiPlayerLifecycle, FailedStreamStopStillReleasesStreamAndBuffers)
{
    FakeMidiStream device;
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 1000)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    device.FailCall("stop", 12);
    player.Close();
    EXPECT_EQ(player.errors, (std::vector<uint32_t>{12}));
    EXPECT_EQ(device.OpenStreams(), 0u);
    EXPECT_EQ(device.PreparedHeaders(), 0u);
}

// The device keeps both buffers for good: the stop gives up after its wait, frees
// nothing the device still owns, and the device can still read what it holds.
TEST(MidiPlayerLifecycle, StopGivesUpOnBuffersThatNeverComeBackAndLeavesThemToTheDevice)
{
    FakeMidiStream device(FakeMidiStream::Returns::Never);
    RecordingPlayer player(device);
    const Bytes file = MidiFile(0, 96, {NotesEvery(1, 1000)});
    ASSERT_TRUE(player.Open(file.data(), uint32_t(file.size())));
    ASSERT_TRUE(player.Play(false));
    const auto started = std::chrono::steady_clock::now();
    player.Close();
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::printf("stop with buffers never returned took %lld ms\n", static_cast<long long>(waited.count()));

    EXPECT_EQ(player.errors, (std::vector<uint32_t>{kMidiStillPlaying, kMidiStillPlaying, kMidiStillPlaying}));
    const std::vector<MidiHeader*> held = device.Held();
    ASSERT_EQ(held.size(), 2u);
    const Buffers sent = device.SentRecords();
    EXPECT_EQ(held[0]->bytesRecorded, sent[0].size() * 12);
    EXPECT_EQ(held[0]->data[8], 0x90);   // still the device's memory, not freed
    EXPECT_EQ(held[1]->data[8], 0x90);
    for (MidiHeader* header : held)
        delete reinterpret_cast<StreamBuffer*>(header);   // the device's part: it owns them now
}

}  // namespace
