// The process-wide hotkey table on Windows: the portable core fed by
// GetAsyncKeyState, polled by one windowless thread timer, firing actions on
// new threads or directly on the polling thread.
#pragma once

#include <windows.h>

#include <vector>

#include "hotkeys/hotkey_state.h"
#include "platform/handles.h"

// Receives the record's id as its argument; its result is ignored.
using HotkeyAction = DWORD(WINAPI*)(LPVOID);

// The real keyboard, timer and threads. Tests may derive from it to replace one of them.
// Touched only on the thread that runs the message loop.
class WindowsHotkeyPlatform : public HotkeyPlatform {
public:
    virtual ~WindowsHotkeyPlatform() = default;
    int16_t QueryKeyState(int virtualKey) override;
    void StartTimer(uint32_t timerId, uint32_t intervalMs) override;
    void RunAction(const HotkeyRecord& record) override;

    // Lets go of the action threads that have ended.
    void ForgetEndedActions();
    // Waits up to timeoutMs for the action threads still running; true when none is left.
    bool WaitForActions(DWORD timeoutMs);

private:
    // Every action thread started and not yet seen ended, so the program's end
    // can wait for them before it frees what they use.
    std::vector<UniqueHandle> actionThreads_;
};

// Touched only on the thread that runs the message loop; no lock.
class HotkeyTable {
public:
    HotkeyTable() : HotkeyTable(windows_) {}
    explicit HotkeyTable(WindowsHotkeyPlatform& platform) : platform_(platform), core_(platform) {}
    HotkeyTable(const HotkeyTable&) = delete;
    HotkeyTable& operator=(const HotkeyTable&) = delete;

    int Register(HotkeyAction action, int keyCode, int modifiers = 0, int secondKey = 0,
                 int intervalMs = 0, bool callDirectly = false);
    // One tick; the action threads that have ended are let go here too.
    void Poll();
    // For the program's end: true once every action thread has ended, false if
    // some still run after timeoutMs.
    bool WaitForActions(DWORD timeoutMs) { return platform_.WaitForActions(timeoutMs); }

private:
    WindowsHotkeyPlatform windows_;
    WindowsHotkeyPlatform& platform_;
    HotkeyCore core_;
};

// Created by the start routine; nullptr until then. The timer polls it when set.
extern HotkeyTable* hotkeyTable;

void CALLBACK HotkeyTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
