// Reading a Standard MIDI File in place: the header and track chunks, variable-length
// numbers and single events. Bounds-checked against the image; knows nothing of streams.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

constexpr uint32_t kTrackEnded = 1;          // MidiTrack::flags: the track has ended
constexpr uint8_t kMetaStatus = 0xFF;
constexpr uint8_t kSysExStatus = 0xF0;
constexpr uint8_t kSysExEscapeStatus = 0xF7;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaSetTempo = 0x51;

struct MidiTrack {
    uint32_t flags = 0;
    uint32_t length = 0;               // bytes in the body
    const uint8_t* start = nullptr;    // first body byte, inside the file image
    uint32_t cursor = 0;               // offset of the next byte to read within the body
    uint32_t time = 0;                 // absolute ticks of the next event
    uint8_t runningStatus = 0;         // last channel status read, 0 for none
};

struct MidiEvent {
    uint32_t time = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;                 // or the meta type
    uint8_t data2 = 0;
    uint32_t length = 0;               // channel message: 2 or 3; sysex and meta: data bytes
    std::unique_ptr<uint8_t[]> data;   // sysex and meta data, owned

    bool IsEndOfTrack() const { return status == kMetaStatus && data1 == kMetaEndOfTrack; }
};

struct MidiFileHeader {
    uint32_t format = 0;
    uint32_t trackCount = 0;
    uint32_t division = 0;
};

// Checks the header and every track chunk against the image and sets up the tracks
// with their first delta times read. False for anything that does not fit.
bool ParseMidiFile(const uint8_t* data, uint32_t length, MidiFileHeader& header,
                   std::vector<MidiTrack>& tracks);

// Puts the track back at its first event (its first delta time read).
bool RewindTrack(MidiTrack& track);

// At most 4 bytes, as the file format allows.
bool ReadVarLen(MidiTrack& track, uint32_t& value);

// Reads the track's next event and the delta time behind it. On failure the event
// holds no data block.
bool ReadEvent(MidiTrack& track, MidiEvent& event);
