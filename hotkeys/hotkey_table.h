// The process-wide hotkey table on Windows: the portable core fed by
// GetAsyncKeyState, polled by one windowless thread timer, firing actions on
// new threads or directly on the polling thread.
#pragma once

#include <windows.h>

#include "hotkeys/hotkey_state.h"

// Receives the record's id as its argument; its result is ignored.
using HotkeyAction = DWORD(WINAPI*)(LPVOID);

// The real keyboard, timer and threads. Tests may derive from it to replace one of them.
class WindowsHotkeyPlatform : public HotkeyPlatform {
public:
    virtual ~WindowsHotkeyPlatform() = default;
    int16_t QueryKeyState(int virtualKey) override;
    void StartTimer(uint32_t timerId, uint32_t intervalMs) override;
    void RunAction(const HotkeyRecord& record) override;
};

// Touched only on the thread that runs the message loop; no lock.
class HotkeyTable {
public:
    HotkeyTable() : core_(windows_) {}
    explicit HotkeyTable(HotkeyPlatform& platform) : core_(platform) {}
    HotkeyTable(const HotkeyTable&) = delete;
    HotkeyTable& operator=(const HotkeyTable&) = delete;

    int Register(HotkeyAction action, int keyCode, int modifiers = 0, int secondKey = 0,
                 int intervalMs = 0, bool callDirectly = false);
    void Poll();

private:
    WindowsHotkeyPlatform windows_;
    HotkeyCore core_;
};

// Created by the start routine; nullptr until then. The timer polls it when set.
extern HotkeyTable* hotkeyTable;

void CALLBACK HotkeyTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
