// Telling wave data from MIDI data by their first bytes; portable, no device.
#pragma once

#include <cstdint>

enum class SoundKind { Wave, Midi, NotSound };

// Wave first, so an image that passes the wave test is never tried as MIDI.
SoundKind ClassifySound(const uint8_t* bytes, uint32_t length);
