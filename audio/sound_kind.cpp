// Telling wave data from MIDI data by their first bytes alone.
#include "audio/sound_kind.h"

#include <cstring>

SoundKind ClassifySound(const uint8_t* bytes, uint32_t length)
{
    if (bytes == nullptr)
        return SoundKind::NotSound;
    if (length >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WAVE", 4) == 0)
        return SoundKind::Wave;
    if (length > 4 && std::memcmp(bytes, "MThd", 4) == 0)
        return SoundKind::Midi;
    return SoundKind::NotSound;
}
