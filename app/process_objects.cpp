// Creates and releases the globals that every subsystem reaches: the hotkey
// table, the skin engine's module, the wave registry and the sound player.
#include "app/process_objects.h"

#include "skins/skins.h"

namespace {

// An F1 or F2 action is one stop or one start, and a stopped player ends within
// about two seconds; this is far beyond both, and short enough that a hung sound
// device or a stuck action cannot keep the program from ending.
constexpr DWORD kExitWaitMs = 5000;

DWORD LeftOf(DWORD begun)
{
    const DWORD spent = GetTickCount() - begun;
    return spent < kExitWaitMs ? kExitWaitMs - spent : 0;
}

// The window is gone and the user asked for the end: a thread that outlived the
// bound may still use what the teardown would free, so end here, as a normal
// end (status 0), running no clean-up at all.
void EndWithoutTeardown()
{
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);  // only if the terminate was refused
}

#ifdef BOARD_EXIT_LINGER_MS
// The exit test builds: the process lingers after the sound side is gone, so
// that a late hotkey action lands on it as it could without the wait.
constexpr DWORD kLingerMs = BOARD_EXIT_LINGER_MS;
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
    // Silence comes first, as the window goes; a late action can start nothing
    // new. No tick polls after the message loop, so no new action thread starts.
    const DWORD begun = GetTickCount();
    bool quiet = sound_->StopForExit(LeftOf(begun));
#ifndef BOARD_EXIT_RACE
    quiet = hotkeys_->WaitForActions(LeftOf(begun)) && quiet;
#endif
    if (!quiet)
        EndWithoutTeardown();
    hotkeyTable = nullptr;
    hotkeys_.reset();
    skinEngineModule = nullptr;
    skinEngine_.reset();
    sound_.reset();
#ifdef BOARD_EXIT_LINGER_MS
    Sleep(kLingerMs);
#endif
}
