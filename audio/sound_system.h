// The sound side's process-wide objects, made at start and shut down once at
// exit in the one safe order: the wave registry's lock and the one SoundPlayer.
#pragma once

#include <memory>

#include "audio/sound_player.h"

class SoundSystem {
public:
    // Opens the registry, then makes the player and publishes it as soundPlayer.
    SoundSystem();
    // No new player may start; every sound stops and its thread ends; then the
    // player goes, and the registry's lock after it.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

private:
    std::unique_ptr<SoundPlayer> player_;
};
