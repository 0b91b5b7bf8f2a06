// The process-wide objects of the start routine's first step: made empty
// before anything else, released once the message loop has ended.
#pragma once

#include <memory>

#include "audio/sound_system.h"
#include "hotkeys/hotkey_table.h"
#include "memmodule/memory_module.h"

class ProcessObjects {
public:
    // Makes each object and publishes it through its subsystem's global pointer.
    ProcessObjects();
    // Stops every sound, then waits, within one bound, for the wave players'
    // threads and the hotkey actions still running, since those use the sound
    // side; then releases the members in reverse order of declaration. If the
    // bound runs out, the process ends at once instead, freeing nothing.
    ~ProcessObjects();
    ProcessObjects(const ProcessObjects&) = delete;
    ProcessObjects& operator=(const ProcessObjects&) = delete;

private:
    // Declared in the reverse of the teardown: the sound side stops last, once
    // nothing else can reach it; the hotkey table and the module records go first.
    std::unique_ptr<SoundSystem> sound_;
    std::unique_ptr<MemoryModule> skinEngine_;
    std::unique_ptr<HotkeyTable> hotkeys_;
};
