// Reading MIDI files in place: headers, chunks, variable-length numbers, events,
// running status, and that no cut-off file is read beyond its bytes.
#include <gtest/gtest.h>

#include <memory>

#include "audio/midi_file.h"
#include "tests/audio/midi_test_files.h"

namespace {

// A heap copy of exactly the file's size, so that any read past it trips ASan.
struct ExactImage {
    explicit ExactImage(const Bytes& bytes) : size(uint32_t(bytes.size())), data(new uint8_t[bytes.size() + !size])
    {
        std::copy(bytes.begin(), bytes.end(), data.get());
    }
    uint32_t size;
    std::unique_ptr<uint8_t[]> data;
};

MidiTrack TrackOver(const Bytes& body)
{
    MidiTrack track;
    track.start = body.data();
    track.length = uint32_t(body.size());
    return track;
}

struct VarLenCase {
    Bytes bytes;
    bool ok;
    uint32_t value;
};

TEST(MidiVarLen, ReadsUpToFourBytesAndNoMore)
{
    const VarLenCase cases[] = {
        {{0x00}, true, 0},
        {{0x7F}, true, 0x7F},
        {{0x81, 0x00}, true, 0x80},
        {{0xFF, 0x7F}, true, 0x3FFF},
        {{0x81, 0x80, 0x80, 0x00}, true, 0x200000},
        {{0xFF, 0xFF, 0xFF, 0x7F}, true, 0x0FFFFFFF},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, false, 0},   // a fifth byte is refused
        {{0x81}, false, 0},                           // runs off the body
        {{}, false, 0},
    };
    for (const VarLenCase& c : cases) {
        MidiTrack track = TrackOver(c.bytes);
        uint32_t value = 0;
        EXPECT_EQ(ReadVarLen(track, value), c.ok) << c.bytes.size() << " bytes";
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(MidiVarLen, FailsOnAnEndedTrack)
{
    const Bytes body{0x00};
    MidiTrack track = TrackOver(body);
    track.flags = kTrackEnded;
    uint32_t value;
    EXPECT_FALSE(ReadVarLen(track, value));
}

TEST(MidiFile, FormatZeroTrackReadsEventsWithAbsoluteTimes)
{
    const Bytes file = MidiFile(0, 96, {TrackBuilder().Note(5, 60).Raw(10, {0xC1, 0x07}).Note(0, 62).End(3)});
    MidiFileHeader header;
    std::vector<MidiTrack> tracks;
    ASSERT_TRUE(ParseMidiFile(file.data(), uint32_t(file.size()), header, tracks));
    EXPECT_EQ(header.format, 0u);
    EXPECT_EQ(header.trackCount, 1u);
    EXPECT_EQ(header.division, 96u);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].time, 5u);

    struct Expected { uint32_t time; uint8_t status, data1, data2; uint32_t length; };
    const Expected expected[] = {
        {5, 0x90, 60, 0x40, 3}, {15, 0xC1, 0x07, 0, 2}, {15, 0x90, 62, 0x40, 3}, {18, 0xFF, 0x2F, 0, 0}};
    for (const Expected& e : expected) {
        MidiEvent event;
        ASSERT_TRUE(ReadEvent(tracks[0], event));
        EXPECT_EQ(event.time, e.time);
        EXPECT_EQ(event.status, e.status);
        EXPECT_EQ(event.data1, e.data1);
        EXPECT_EQ(event.data2, e.data2);
        EXPECT_EQ(event.length, e.length);
    }
    EXPECT_TRUE(tracks[0].flags & kTrackEnded);
    MidiEvent after;
    EXPECT_FALSE(ReadEvent(tracks[0], after));
}

TEST(MidiFile, FormatOneFileGivesOneTrackPerChunk)
{
    const Bytes file = MidiFile(1, 480, {TrackBuilder().Tempo(0, 500000).End(), TrackBuilder().Note(7, 64).End(),
                                         TrackBuilder().Note(2, 65).End()});
    MidiFileHeader header;
    std::vector<MidiTrack> tracks;
    ASSERT_TRUE(ParseMidiFile(file.data(), uint32_t(file.size()), header, tracks));
    EXPECT_EQ(header.format, 1u);
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].time, 0u);
    EXPECT_EQ(tracks[1].time, 7u);
    EXPECT_EQ(tracks[2].time, 2u);
    EXPECT_EQ(tracks[2].start, file.data() + file.size() - tracks[2].length);
}

TEST(MidiFile, RunningStatusCarriesAcrossMetaAndSysEx)
{
    const Bytes body = TrackBuilder()
                           .Note(0, 60)
                           .Meta(0, 0x01, {'x'})
                           .SysEx(0, {0x7E, 0xF7})
                           .Raw(0, {0x3E, 0x41})   // no status byte: still 0x90
                           .End()
                           .body();
    MidiTrack track = TrackOver(body);
    ASSERT_TRUE(RewindTrack(track));
    MidiEvent event;
    const uint8_t statuses[] = {0x90, 0xFF, 0xF0, 0x90};
    for (uint8_t status : statuses) {
        ASSERT_TRUE(ReadEvent(track, event));
        EXPECT_EQ(event.status, status);
    }
    EXPECT_EQ(event.data1, 0x3E);
    EXPECT_EQ(event.data2, 0x41);
    EXPECT_EQ(event.length, 3u);
}

TEST(MidiFile, MetaAndSysExDataIsCopiedIntoTheEvent)
{
    const Bytes body = TrackBuilder().Meta(0, 0x03, {'a', 'b', 'c'}).SysEx(0, {1, 2, 0xF7}).End().body();
    MidiTrack track = TrackOver(body);
    ASSERT_TRUE(RewindTrack(track));
    MidiEvent event;
    ASSERT_TRUE(ReadEvent(track, event));
    ASSERT_EQ(event.length, 3u);
    EXPECT_EQ(Bytes(event.data.get(), event.data.get() + 3), (Bytes{'a', 'b', 'c'}));
    ASSERT_TRUE(ReadEvent(track, event));
    ASSERT_EQ(event.length, 3u);
    EXPECT_EQ(event.data[2], 0xF7);
}

TEST(MidiFile, ZeroLengthTrackIsEndedAtOnce)
{
    const Bytes file = MidiFile(1, 96, std::vector<Bytes>{Bytes{}, TrackBuilder().Note(0, 60).End().body()});
    MidiFileHeader header;
    std::vector<MidiTrack> tracks;
    ASSERT_TRUE(ParseMidiFile(file.data(), uint32_t(file.size()), header, tracks));
    EXPECT_TRUE(tracks[0].flags & kTrackEnded);
    EXPECT_FALSE(tracks[1].flags & kTrackEnded);
    MidiEvent event;
    EXPECT_FALSE(ReadEvent(tracks[0], event));
}

struct BadEventCase {
    const char* name;
    Bytes body;
};

TEST(MidiFile, MalformedEventsFailWithoutKeepingData)
{
    const BadEventCase cases[] = {
        {"data byte with no running status", {0x00, 0x3C, 0x40}},
        {"undefined status byte", {0x00, 0xF4}},
        {"note cut short", {0x00, 0x90, 0x3C}},
        {"sysex longer than the body", {0x00, 0xF0, 0x05, 1, 2}},
        {"meta longer than the body", {0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F, 'x'}},
        {"meta length of five bytes", {0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00}},
        {"meta data present, delta behind it missing", {0x00, 0xFF, 0x01, 0x01, 'x'}},
    };
    for (const BadEventCase& c : cases) {
        ExactImage image(c.body);
        MidiTrack track;
        track.start = image.data.get();
        track.length = image.size;
        ASSERT_TRUE(RewindTrack(track)) << c.name;
        MidiEvent event;
        EXPECT_FALSE(ReadEvent(track, event)) << c.name;
        EXPECT_EQ(event.data, nullptr) << c.name;
    }
}

struct BadFileCase {
    const char* name;
    Bytes file;
};

Bytes WithByte(Bytes bytes, size_t at, uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

TEST(MidiFile, BadHeadersAndChunksAreRefused)
{
    const Bytes good = MidiFile(0, 96, {TrackBuilder().Note(0, 60).End()});
    Bytes trackCountTooHigh = WithByte(good, 11, 2);
    Bytes fiveByteDelta = MidiFile(0, 96, std::vector<Bytes>{{0x81, 0x80, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0x00}});
    const BadFileCase cases[] = {
        {"empty", {}},
        {"header only to the track count", Bytes(good.begin(), good.begin() + 12)},
        {"13 bytes", Bytes(good.begin(), good.begin() + 13)},
        {"wrong tag", WithByte(good, 0, 'X')},
        {"header length 7", WithByte(good, 7, 7)},
        {"track tag wrong", WithByte(good, 14, 'X')},
        {"track length one past the image", WithByte(good, 21, uint8_t(good[21] + 1))},
        {"track length near 4 GiB", WithByte(good, 18, 0xFF)},
        {"more tracks than chunks", trackCountTooHigh},
        {"first delta of five bytes", fiveByteDelta},
        {"first delta runs off the body", MidiFile(0, 96, std::vector<Bytes>{{0x81}})},
    };
    for (const BadFileCase& c : cases) {
        ExactImage image(c.file);
        MidiFileHeader header;
        std::vector<MidiTrack> tracks;
        EXPECT_FALSE(ParseMidiFile(image.data.get(), image.size, header, tracks)) << c.name;
    }
    MidiFileHeader header;
    std::vector<MidiTrack> tracks;
    EXPECT_TRUE(ParseMidiFile(good.data(), uint32_t(good.size()), header, tracks));
}

const Bytes& RichTrack()
{
    static const Bytes body = TrackBuilder()
                                  .Tempo(0, 500000)
                                  .Note(0, 60)
                                  .SysEx(130, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
                                  .Raw(0, {0x3E, 0x41})
                                  .Meta(20000, 0x01, {'t', 'e', 'x', 't'})
                                  .Raw(1, {0xC0, 0x05})
                                  .End(7)
                                  .body();
    return body;
}

TEST(MidiFile, EveryTruncationOfAValidFileIsRefused)
{
    const Bytes file = MidiFile(1, 96, std::vector<Bytes>{RichTrack(), RichTrack()});
    for (size_t cut = 0; cut < file.size(); ++cut) {
        ExactImage image(Bytes(file.begin(), file.begin() + cut));
        MidiFileHeader header;
        std::vector<MidiTrack> tracks;
        EXPECT_FALSE(ParseMidiFile(image.data.get(), image.size, header, tracks)) << "cut at " << cut;
    }
}

// Bodies cut short inside their chunk: reading stops with a failure before the cut,
// and only the whole body reaches its end-of-track event.
TEST(MidiFile, EveryCutOfATrackBodyIsReadOnlyUpToTheCut)
{
    const Bytes& body = RichTrack();
    for (size_t cut = 0; cut <= body.size(); ++cut) {
        ExactImage image(MidiFile(0, 96, std::vector<Bytes>{Bytes(body.begin(), body.begin() + cut)}));
        MidiFileHeader header;
        std::vector<MidiTrack> tracks;
        if (!ParseMidiFile(image.data.get(), image.size, header, tracks)) {
            EXPECT_GT(cut, 0u);
            continue;
        }
        MidiTrack& track = tracks[0];
        MidiEvent event;
        while (ReadEvent(track, event)) {
        }
        const bool reachedEnd = (track.flags & kTrackEnded) != 0;
        EXPECT_EQ(reachedEnd, cut == body.size() || cut == 0) << "cut at " << cut;
        EXPECT_LE(track.cursor, track.length);
    }
}

}  // namespace
