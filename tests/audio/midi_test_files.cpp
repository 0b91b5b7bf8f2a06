// Builds small Standard MIDI Files byte by byte for the MIDI tests.
#include "tests/audio/midi_test_files.h"

namespace {

void Append(Bytes& to, const Bytes& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

void AppendBigEndian(Bytes& to, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        to.push_back(uint8_t(value >> shift));
}

}  // namespace

Bytes VarLen(uint32_t value)
{
    Bytes groups{uint8_t(value & 0x7F)};
    while (value >>= 7)
        groups.insert(groups.begin(), uint8_t(0x80 | (value & 0x7F)));
    return groups;
}

TrackBuilder& TrackBuilder::Raw(uint32_t delta, std::initializer_list<uint8_t> bytes)
{
    Append(body_, VarLen(delta));
    body_.insert(body_.end(), bytes);
    return *this;
}

TrackBuilder& TrackBuilder::Note(uint32_t delta, uint8_t note, uint8_t velocity, uint8_t channel)
{
    return Raw(delta, {uint8_t(0x90 | channel), note, velocity});
}

TrackBuilder& TrackBuilder::Tempo(uint32_t delta, uint32_t microsecondsPerQuarter)
{
    return Meta(delta, 0x51, {uint8_t(microsecondsPerQuarter >> 16), uint8_t(microsecondsPerQuarter >> 8),
                              uint8_t(microsecondsPerQuarter)});
}

TrackBuilder& TrackBuilder::Meta(uint32_t delta, uint8_t type, const Bytes& data)
{
    Raw(delta, {0xFF, type});
    Append(body_, VarLen(uint32_t(data.size())));
    Append(body_, data);
    return *this;
}

TrackBuilder& TrackBuilder::SysEx(uint32_t delta, const Bytes& data)
{
    Raw(delta, {0xF0});
    Append(body_, VarLen(uint32_t(data.size())));
    Append(body_, data);
    return *this;
}

TrackBuilder& TrackBuilder::End(uint32_t delta) { return Raw(delta, {0xFF, 0x2F, 0x00}); }

Bytes MidiFile(uint16_t format, uint16_t division, const std::vector<Bytes>& bodies)
{
    Bytes file{'M', 'T', 'h', 'd'};
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, format, 2);
    AppendBigEndian(file, uint32_t(bodies.size()), 2);
    AppendBigEndian(file, division, 2);
    for (const Bytes& body : bodies) {
        Append(file, {'M', 'T', 'r', 'k'});
        AppendBigEndian(file, uint32_t(body.size()), 4);
        Append(file, body);
    }
    return file;
}

Bytes MidiFile(uint16_t format, uint16_t division, std::initializer_list<TrackBuilder> tracks)
{
    std::vector<Bytes> bodies;
    for (const TrackBuilder& track : tracks)
        bodies.push_back(track.body());
    return MidiFile(format, division, bodies);
}
