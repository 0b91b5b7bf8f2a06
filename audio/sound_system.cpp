// Start and end of the sound side as a whole; the only place that orders the
// registry's lock against the player.
#include "audio/sound_system.h"

#include "audio/wave_registry.h"

SoundSystem::SoundSystem()
{
    WaveRegistry::Create();
    player_ = std::make_unique<SoundPlayer>();
    soundPlayer = player_.get();
}

bool SoundSystem::StopForExit(DWORD waitMs)
{
    WaveRegistry::RefuseNewPlayers();
    return player_->Stop(true, waitMs);
}

SoundSystem::~SoundSystem()
{
    StopForExit(INFINITE);
    soundPlayer = nullptr;
    player_.reset();
    WaveRegistry::Destroy();
}
