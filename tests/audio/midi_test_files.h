// Builds small Standard MIDI Files byte by byte for the MIDI tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes VarLen(uint32_t value);

// One track body: each event is written behind its delta time.
class TrackBuilder {
public:
    TrackBuilder& Raw(uint32_t delta, std::initializer_list<uint8_t> bytes);
    TrackBuilder& Note(uint32_t delta, uint8_t note, uint8_t velocity = 0x40, uint8_t channel = 0);
    TrackBuilder& Tempo(uint32_t delta, uint32_t microsecondsPerQuarter);
    TrackBuilder& Meta(uint32_t delta, uint8_t type, const Bytes& data);
    TrackBuilder& SysEx(uint32_t delta, const Bytes& data);
    TrackBuilder& End(uint32_t delta = 0);
    const Bytes& body() const { return body_; }

private:
    Bytes body_;
};

// "MThd" with length 6, then one "MTrk" chunk per body.
Bytes MidiFile(uint16_t format, uint16_t division, const std::vector<Bytes>& bodies);
Bytes MidiFile(uint16_t format, uint16_t division, std::initializer_list<TrackBuilder> tracks);
