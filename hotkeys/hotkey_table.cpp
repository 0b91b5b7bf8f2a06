// Windows edge of the hotkey table: fills the snapshot from GetAsyncKeyState,
// starts the one thread timer, runs the actions and keeps their threads until
// they end. The rules live in hotkey_state.
#include "hotkeys/hotkey_table.h"

#include <algorithm>
#include <utility>

HotkeyTable* hotkeyTable = nullptr;

namespace {

HotkeyAction ActionOf(const HotkeyRecord& record)
{
    return reinterpret_cast<HotkeyAction>(record.action);
}

} // namespace

int16_t WindowsHotkeyPlatform::QueryKeyState(int virtualKey)
{
    return static_cast<int16_t>(GetAsyncKeyState(virtualKey));
}

void WindowsHotkeyPlatform::StartTimer(uint32_t timerId, uint32_t intervalMs)
{
    // No window: the tick goes to this thread's message loop. The returned id is not kept.
    SetTimer(nullptr, timerId, intervalMs, HotkeyTimerProc);
}

void WindowsHotkeyPlatform::RunAction(const HotkeyRecord& record)
{
    const HotkeyAction action = ActionOf(record);
    const auto id = static_cast<INT_PTR>(record.id);
    if (record.callDirectly) {
        // The id travels in the window-handle slot; the call returns before the poll goes on.
        CallWindowProcA(reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(action)),
                        reinterpret_cast<HWND>(id), 0, 0, 0);
        return;
    }
    UniqueHandle thread(CreateThread(nullptr, 0, action, reinterpret_cast<LPVOID>(id), 0, nullptr));
    if (thread)
        actionThreads_.push_back(std::move(thread));
}

void WindowsHotkeyPlatform::ForgetEndedActions()
{
    actionThreads_.erase(std::remove_if(actionThreads_.begin(), actionThreads_.end(),
                                        [](const UniqueHandle& thread) {
                                            return WaitForSingleObject(thread.get(), 0) != WAIT_TIMEOUT;
                                        }),
                         actionThreads_.end());
}

bool WindowsHotkeyPlatform::WaitForActions(DWORD timeoutMs)
{
    const DWORD begun = GetTickCount();
    for (const UniqueHandle& thread : actionThreads_) {
        const DWORD spent = GetTickCount() - begun;
        if (spent >= timeoutMs || WaitForSingleObject(thread.get(), timeoutMs - spent) == WAIT_TIMEOUT)
            break;
    }
    ForgetEndedActions();
    return actionThreads_.empty();
}

int HotkeyTable::Register(HotkeyAction action, int keyCode, int modifiers, int secondKey,
                          int intervalMs, bool callDirectly)
{
    return core_.Register(reinterpret_cast<HotkeyActionRef>(action), keyCode, modifiers,
                          secondKey, intervalMs, callDirectly);
}

void HotkeyTable::Poll()
{
    core_.Poll();
    platform_.ForgetEndedActions();
}

void CALLBACK HotkeyTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (hotkeyTable)
        hotkeyTable->Poll();
}
