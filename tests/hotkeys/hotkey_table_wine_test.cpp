// The Windows edge of the hotkey table: the real thread timer reaches the
// process-wide table, firings run on new threads (handles closed) or directly
// on the polling thread, and the real key poll sees an injected key.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

#include "hotkeys/hotkey_table.h"
#include "platform/handles.h"

namespace {

constexpr DWORD kHangGuardMs = 20000; // only ends a hung test, never judges speed
constexpr int16_t kDown = static_cast<int16_t>(0x8000);

// What the actions saw; written by action threads, read by the test after the event.
struct ActionLog {
    std::atomic<int> count{0};
    std::atomic<intptr_t> lastArgument{0};
    std::atomic<DWORD> lastThread{0};
    UniqueHandle fired{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};
ActionLog* actionLog = nullptr;

DWORD WINAPI RecordAction(LPVOID argument)
{
    actionLog->lastArgument = reinterpret_cast<intptr_t>(argument);
    actionLog->lastThread = GetCurrentThreadId();
    ++actionLog->count;
    SetEvent(actionLog->fired.get());
    return 0;
}

// Real timer and threads; the keyboard is whatever the test says is down.
class ScriptedKeys : public WindowsHotkeyPlatform {
public:
    int16_t QueryKeyState(int virtualKey) override
    {
        if (virtualKey == kLastPolledKey)
            ++ticks;
        return virtualKey == downKey ? kDown : 0;
    }
    std::atomic<int> downKey{0};
    std::atomic<int> ticks{0};
};

// Runs BODY on a fresh thread, as the message-loop thread of a program would be;
// the thread's timers die with it, so tests do not feed each other's tables.
void OnFreshUiThread(std::function<void()> body)
{
    struct Start {
        static DWORD WINAPI Run(LPVOID p)
        {
            (*static_cast<std::function<void()>*>(p))();
            return 0;
        }
    };
    const UniqueHandle thread(CreateThread(nullptr, 0, Start::Run, &body, 0, nullptr));
    ASSERT_TRUE(thread);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 3 * kHangGuardMs), WAIT_OBJECT_0);
}

// Dispatches this thread's messages (timer ticks among them) until DONE holds.
bool PumpUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kHangGuardMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}

// Makes TABLE the one the timer polls for the scope, as the start routine does.
struct InstalledTable {
    explicit InstalledTable(HotkeyTable& table) { hotkeyTable = &table; }
    ~InstalledTable() { hotkeyTable = nullptr; }
};

TEST(HotkeyTable, TimerFiresEachPressOnceOnANewThreadAndClosesItsHandle)
{
    ActionLog log;
    actionLog = &log;
    OnFreshUiThread([&] {
        ScriptedKeys keys;
        HotkeyTable table(keys);
        InstalledTable installed(table);
        const DWORD handlesBefore = [] { DWORD n = 0; GetProcessHandleCount(GetCurrentProcess(), &n); return n; }();
        ASSERT_EQ(table.Register(RecordAction, VK_F1), 1000001);

        constexpr int kPresses = 5;
        for (int press = 1; press <= kPresses; ++press) {
            keys.downKey = VK_F1;
            ASSERT_TRUE(PumpUntil([&] { return log.count == press; })) << "press " << press;
            EXPECT_EQ(log.lastArgument, 1000001);
            EXPECT_NE(log.lastThread, GetCurrentThreadId());
            // Held through further ticks: still one firing.
            const int heldFrom = keys.ticks;
            ASSERT_TRUE(PumpUntil([&] { return keys.ticks >= heldFrom + 5; }));
            EXPECT_EQ(log.count, press);
            keys.downKey = 0;
            const int upFrom = keys.ticks;
            ASSERT_TRUE(PumpUntil([&] { return keys.ticks >= upFrom + 2; }));
        }
        // Every action thread has ended and none of their handles stayed open.
        EXPECT_TRUE(PumpUntil([&] {
            DWORD n = 0;
            GetProcessHandleCount(GetCurrentProcess(), &n);
            return n == handlesBefore;
        }));
    });
    actionLog = nullptr;
}

TEST(HotkeyTable, DirectActionRunsInsideThePollOnThePollingThreadWithItsId)
{
    ActionLog log;
    actionLog = &log;
    OnFreshUiThread([&] {
        ScriptedKeys keys;
        HotkeyTable table(keys);
        ASSERT_EQ(table.Register(RecordAction, VK_F2), 1000001);
        ASSERT_EQ(table.Register(RecordAction, VK_F3, 0, 0, 0, true), 1000002);
        keys.downKey = VK_F3;

        table.Poll();

        EXPECT_EQ(log.count, 1);
        EXPECT_EQ(log.lastArgument, 1000002);
        EXPECT_EQ(log.lastThread, GetCurrentThreadId());
        // The stack survived a one-argument routine called with four.
        table.Poll();
        keys.downKey = 0;
        table.Poll();
        keys.downKey = VK_F3;
        table.Poll();
        EXPECT_EQ(log.count, 2);
    });
    actionLog = nullptr;
}

TEST(HotkeyTable, ReRegisteringSwitchesAnActionToDirectCalls)
{
    ActionLog log;
    actionLog = &log;
    OnFreshUiThread([&] {
        ScriptedKeys keys;
        HotkeyTable table(keys);
        ASSERT_EQ(table.Register(RecordAction, VK_F4), 1000001);
        ASSERT_EQ(table.Register(RecordAction, VK_F4, 0, 0, 0, true), 1000001);
        keys.downKey = VK_F4;
        table.Poll();
        EXPECT_EQ(log.count, 1);
        EXPECT_EQ(log.lastThread, GetCurrentThreadId());
    });
    actionLog = nullptr;
}

// Runs until the test lets it go, as an action stuck in a slow device would.
HANDLE releaseAction = nullptr;
DWORD WINAPI WaitForRelease(LPVOID)
{
    WaitForSingleObject(releaseAction, kHangGuardMs);
    return 0;
}

TEST(HotkeyTable, TheProgramsEndCanWaitForAnActionThreadStillRunning)
{
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    releaseAction = release.get();
    OnFreshUiThread([&] {
        ScriptedKeys keys;
        HotkeyTable table(keys);
        EXPECT_TRUE(table.WaitForActions(0));  // nothing started yet
        ASSERT_EQ(table.Register(WaitForRelease, VK_F6), 1000001);
        keys.downKey = VK_F6;
        table.Poll();
        // Still running: neither the ticks nor a short wait let it go.
        table.Poll();
        EXPECT_FALSE(table.WaitForActions(50));
        SetEvent(release.get());
        EXPECT_TRUE(table.WaitForActions(kHangGuardMs));
    });
    releaseAction = nullptr;
}

void SendKey(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

TEST(HotkeyTable, RealKeyPollSeesAnInjectedKey)
{
    ActionLog log;
    actionLog = &log;
    OnFreshUiThread([&] {
        SendKey(VK_F9, false);
        const bool seen = PumpUntil([] { return GetAsyncKeyState(VK_F9) < 0; });
        if (!seen) {
            SendKey(VK_F9, true);
            GTEST_SKIP() << "injected keys do not reach GetAsyncKeyState here";
        }
        HotkeyTable table;
        InstalledTable installed(table);
        ASSERT_EQ(table.Register(RecordAction, VK_F9), 1000001);
        // Already down at the first tick: a press-triggered key fires on being seen down.
        EXPECT_TRUE(PumpUntil([&] { return log.count == 1; }));
        EXPECT_EQ(log.lastArgument, 1000001);
        SendKey(VK_F9, true);
        EXPECT_TRUE(PumpUntil([] { return GetAsyncKeyState(VK_F9) >= 0; }));
    });
    actionLog = nullptr;
}

} // namespace
