// Fuzzes the MIDI file reader: the header and chunk walk, then every event of every track.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MidiFileHeader header;
    std::vector<MidiTrack> tracks;
    if (size > UINT32_MAX || !ParseMidiFile(data, uint32_t(size), header, tracks))
        return 0;
    for (MidiTrack& track : tracks) {
        MidiEvent event;
        while (ReadEvent(track, event)) {
        }
        RewindTrack(track);
    }
    return 0;
}
