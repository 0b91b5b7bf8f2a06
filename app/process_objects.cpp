// Creates and releases the globals that every subsystem reaches: the hotkey
// table, the skin engine's module, the wave registry and the sound player.
#include "app/process_objects.h"

#include "skins/skins.h"

namespace {

// An F1 or F2 action is one stop or one start; this is far beyond either, and
// short enough that a hung sound device cannot keep the program from ending.
constexpr DWORD kActionExitWaitMs = 5000;

}  // namespace

ProcessObjects::ProcessObjects()
    : skinEngine_(std::make_unique<MemoryModule>()), hotkeys_(std::make_unique<HotkeyTable>())
{
    skinEngineModule = skinEngine_.get();
    hotkeyTable = hotkeys_.get();
}

ProcessObjects::~ProcessObjects()
{
    // No tick polls after the message loop, so no new action thread can start.
    hotkeys_->WaitForActions(kActionExitWaitMs);
    hotkeyTable = nullptr;
    hotkeys_.reset();
    skinEngineModule = nullptr;
    skinEngine_.reset();
}
