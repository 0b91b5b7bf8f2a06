// Creates and releases the globals that every subsystem reaches: the hotkey
// table, the skin engine's module, the wave registry and the sound player.
#include "app/process_objects.h"

#include "hotkeys/hotkey_table.h"
#include "memmodule/memory_module.h"
#include "audio/sound_player.h"
#include "audio/wave_registry.h"

ProcessObjects::ProcessObjects()
{
    hotkeyTable = new HotkeyTable;
    skinEngineModule = new MemoryModule;
    WaveRegistry::Create();
    soundPlayer = new SoundPlayer;
}

ProcessObjects::~ProcessObjects()
{
    delete hotkeyTable;
    hotkeyTable = nullptr;
    delete skinEngineModule;
    skinEngineModule = nullptr;
    // No new player may register once the final stop has begun.
    WaveRegistry::RefuseNewPlayers();
    soundPlayer->Stop(true);
    delete soundPlayer;
    soundPlayer = nullptr;
    WaveRegistry::Destroy();
}
