// Creates and releases the globals that every subsystem reaches: the hotkey
// table, the skin engine's module, the wave registry and the sound player.
#include "app/process_objects.h"

#if BOARD_HAVE_HOTKEYS
#include "hotkeys/hotkey_table.h"
#endif
#if BOARD_HAVE_MEMMODULE
#include "memmodule/memory_module.h"
#endif
#if BOARD_HAVE_SOUND_PLAYER
#include "audio/sound_player.h"
#include "audio/wave_registry.h"
#endif

ProcessObjects::ProcessObjects()
{
#if BOARD_HAVE_HOTKEYS
    hotkeyTable = new HotkeyTable;
#endif
#if BOARD_HAVE_MEMMODULE
    skinEngineModule = new MemoryModule;
#endif
#if BOARD_HAVE_SOUND_PLAYER
    WaveRegistry::Create();
    soundPlayer = new SoundPlayer;
#endif
}

ProcessObjects::~ProcessObjects()
{
#if BOARD_HAVE_HOTKEYS
    delete hotkeyTable;
    hotkeyTable = nullptr;
#endif
#if BOARD_HAVE_MEMMODULE
    delete skinEngineModule;
    skinEngineModule = nullptr;
#endif
#if BOARD_HAVE_SOUND_PLAYER
    // No new player may register once the final stop has begun.
    WaveRegistry::RefuseNewPlayers();
    soundPlayer->Stop(true);
    delete soundPlayer;
    soundPlayer = nullptr;
    WaveRegistry::Destroy();
#endif
}
