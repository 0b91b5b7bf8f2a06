// The process-wide objects of the start routine's first step: made empty
// before anything else, released once the message loop has ended.
#pragma once

class ProcessObjects {
public:
    ProcessObjects();
    // Hotkeys and module records go first; sound is stopped (waiting for every
    // player thread) while the player and the registry lock still exist.
    ~ProcessObjects();
    ProcessObjects(const ProcessObjects&) = delete;
    ProcessObjects& operator=(const ProcessObjects&) = delete;
};
