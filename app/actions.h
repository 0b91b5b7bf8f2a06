// The controls' actions: one short stateless routine each, run on the window's
// thread (and, for the hotkeys, on a worker thread per key press).
#pragma once

#include <windows.h>

#include "base/byte_buffer.h"

void PlaySfx(const ByteBuffer& entry);
void PlaySfxNumber(int entry);  // SoundBank entry 1 to 33
void StopSfx();
void OpenSiteAddress();
void OpenContactLink();
void OpenGroupLink();

// Hotkey routines, each on its own short-lived thread.
DWORD WINAPI StopSfxHotkey(LPVOID id);
DWORD WINAPI PlayLaughterHotkey(LPVOID id);
