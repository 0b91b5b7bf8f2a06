// Reading a Standard MIDI File in place: every read stays inside the track body,
// which Open has already checked to lie inside the image.
#include "audio/midi_file.h"

#include <cstring>
#include <new>

namespace {

constexpr uint32_t kHeaderChunkSize = 14;   // "MThd", length 6, three words
constexpr uint32_t kHeaderDataLength = 6;
constexpr uint32_t kChunkHeaderSize = 8;    // tag and big-endian length
constexpr uint32_t kMaxVarLenBytes = 4;

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t BigEndian16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

bool ReadByte(MidiTrack& track, uint8_t& value)
{
    if (track.cursor >= track.length)
        return false;
    value = track.start[track.cursor++];
    return true;
}

bool HasTwoDataBytes(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return kind != 0xC0 && kind != 0xD0;   // program change and channel pressure take one
}

bool ReadChannelData(MidiTrack& track, MidiEvent& event)
{
    event.length = 2;
    if (!HasTwoDataBytes(event.status))
        return true;
    event.length = 3;
    return ReadByte(track, event.data2);
}

// The length is checked against what is left of the body before anything is allocated.
bool ReadDataBlock(MidiTrack& track, MidiEvent& event)
{
    if (!ReadVarLen(track, event.length))
        return false;
    if (event.length > track.length - track.cursor)
        return false;
    if (event.length == 0)
        return true;
    event.data.reset(new (std::nothrow) uint8_t[event.length]);
    if (!event.data)
        return false;
    std::memcpy(event.data.get(), track.start + track.cursor, event.length);
    track.cursor += event.length;
    return true;
}

bool ReadEventBody(MidiTrack& track, MidiEvent& event)
{
    uint8_t b;
    if (!ReadByte(track, b))
        return false;
    if (b < 0x80) {
        if (track.runningStatus == 0)
            return false;
        event.status = track.runningStatus;
        event.data1 = b;
        return ReadChannelData(track, event);
    }
    if (b <= 0xEF) {
        event.status = b;
        track.runningStatus = b;
        return ReadByte(track, event.data1) && ReadChannelData(track, event);
    }
    if (b == kSysExStatus || b == kSysExEscapeStatus) {
        event.status = b;
        return ReadDataBlock(track, event);
    }
    if (b == kMetaStatus) {
        event.status = b;
        if (!ReadByte(track, event.data1) || !ReadDataBlock(track, event))
            return false;
        if (event.data1 == kMetaEndOfTrack)
            track.flags |= kTrackEnded;
        return true;
    }
    return false;
}

}  // namespace

bool ReadVarLen(MidiTrack& track, uint32_t& value)
{
    if (track.flags & kTrackEnded)
        return false;
    value = 0;
    for (uint32_t i = 0; i < kMaxVarLenBytes; ++i) {
        uint8_t b;
        if (!ReadByte(track, b))
            return false;
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

bool ReadEvent(MidiTrack& track, MidiEvent& event)
{
    event = MidiEvent();
    if ((track.flags & kTrackEnded) || track.cursor >= track.length)
        return false;
    if (!ReadEventBody(track, event)) {
        event.data.reset();
        return false;
    }
    event.time = track.time;
    if (!(track.flags & kTrackEnded)) {
        uint32_t delta;
        if (!ReadVarLen(track, delta)) {
            event.data.reset();
            return false;
        }
        track.time += delta;
    }
    return true;
}

bool RewindTrack(MidiTrack& track)
{
    track.cursor = 0;
    track.runningStatus = 0;
    track.time = 0;
    track.flags = 0;
    if (track.length == 0) {
        track.flags = kTrackEnded;
        return true;
    }
    return ReadVarLen(track, track.time);
}

bool ParseMidiFile(const uint8_t* data, uint32_t length, MidiFileHeader& header,
                   std::vector<MidiTrack>& tracks)
{
    tracks.clear();
    if (data == nullptr || length < kHeaderChunkSize || std::memcmp(data, "MThd", 4) != 0)
        return false;
    if (BigEndian32(data + 4) != kHeaderDataLength)
        return false;
    header.format = BigEndian16(data + 8);
    header.trackCount = BigEndian16(data + 10);
    header.division = BigEndian16(data + 12);

    tracks.resize(header.trackCount);
    uint32_t offset = kHeaderChunkSize;
    for (MidiTrack& track : tracks) {
        if (length - offset < kChunkHeaderSize || std::memcmp(data + offset, "MTrk", 4) != 0)
            return false;
        const uint32_t bodyLength = BigEndian32(data + offset + 4);
        if (bodyLength > length - offset - kChunkHeaderSize)
            return false;
        track.length = bodyLength;
        track.start = data + offset + kChunkHeaderSize;
        if (!RewindTrack(track))
            return false;
        offset += kChunkHeaderSize + bodyLength;
    }
    return true;
}
