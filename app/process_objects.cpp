// Creates and releases the globals that every subsystem reaches: the hotkey
// table, the skin engine's module, the wave registry and the sound player.
#include "app/process_objects.h"

#include "skins/skins.h"

namespace {

// An F1 or F2 action is one stop or one start; this is far beyond either, and
// short enough that a hung sound device cannot keep the program from ending.
constexpr DWORD kActionExitWaitMs = 5000;

#ifdef BOARD_EXIT_RACE
// The exit-race test build: the process lingers after the sound side is gone,
// so that a late hotkey action lands on it as it could without the wait.
constexpr DWORD kLingerMs = 2500;
#endif

}  // namespace

ProcessObjects::ProcessObjects()
    : sound_(std::make_unique<SoundSystem>()), skinEngine_(std::make_unique<MemoryModule>()),
      hotkeys_(std::make_unique<HotkeyTable>())
{
    skinEngineModule = skinEngine_.get();
    hotkeyTable = hotkeys_.get();
}

ProcessObjects::~ProcessObjects()
{
    // No tick polls after the message loop, so no new action thread can start.
#ifndef BOARD_EXIT_RACE
    hotkeys_->WaitForActions(kActionExitWaitMs);
#endif
    hotkeyTable = nullptr;
    hotkeys_.reset();
    skinEngineModule = nullptr;
    skinEngine_.reset();
    sound_.reset();
#ifdef BOARD_EXIT_RACE
    Sleep(kLingerMs);
#endif
}
