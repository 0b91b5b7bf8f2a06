// The one entry point through which the board makes sound: plays a wave or
// MIDI image (bytes or a file name) and stops everything that plays.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/byte_buffer.h"

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // True when a player has taken the sound over; wave sounds overlap,
    // a MIDI file replaces the MIDI file that plays.
    bool Play(const ByteBuffer& sound, bool loop = false);
    bool Play(const char* fileName, bool loop = false);

    // Silences the MIDI file and every wave sound; with wait, returns once every
    // wave player's thread that runs at the call is done with its device and its
    // memory, or after waitMs: true when all are done.
    bool Stop(bool wait = false, DWORD waitMs = INFINITE);

private:
    bool PlayBytes(const uint8_t* bytes, uint32_t length, bool loop);

    struct Midi;
    std::unique_ptr<Midi> midi_;
};

// The process-wide player, owned by the SoundSystem; nullptr outside its life.
extern SoundPlayer* soundPlayer;
