// The sound side's process-wide objects, made at start and shut down once at
// exit in the one safe order: the wave registry's lock and the one SoundPlayer.
#pragma once

#include <memory>

#include "audio/sound_player.h"

class SoundSystem {
public:
    // Opens the registry, then makes the player and publishes it as soundPlayer.
    SoundSystem();
    // For the program's end: no new player may start and every sound stops;
    // true once every wave player's thread is done, false if some still run
    // after waitMs. Only after true may the system be destroyed without waiting.
    bool StopForExit(DWORD waitMs);
    // No new player may start; every sound stops and its thread ends; then the
    // player goes, and the registry's lock after it.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

private:
    std::unique_ptr<SoundPlayer> player_;
};
