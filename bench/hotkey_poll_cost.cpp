// Measuring tool, not a test: the cost of one hotkey poll tick (255 key queries and
// the table walk), and under Windows the CPU an idle process with the poll running uses.
//   hotkey_poll_cost [ticks]           cost per tick
//   hotkey_poll_cost idle SECONDS      (Windows) F1/F2 registered, message loop, CPU share
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "hotkeys/hotkey_table.h"
#else
#include "hotkeys/hotkey_state.h"
#endif

namespace {

#ifdef _WIN32
constexpr int kKeyF1 = VK_F1;
constexpr int kKeyF2 = VK_F2;

DWORD WINAPI NoAction(LPVOID) { return 0; }

double FileTimeSeconds(const FILETIME& t)
{
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
}

double ProcessCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

int MeasureIdle(int seconds)
{
    HotkeyTable table;
    hotkeyTable = &table;
    table.Register(NoAction, kKeyF1);
    table.Register(NoAction, kKeyF2);
    const double cpuStart = ProcessCpuSeconds();
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    const double wall = (GetTickCount() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuStart;
    std::printf("idle %.1f s: cpu %.3f s = %.2f%% of one core\n", wall, cpu, 100.0 * cpu / wall);
    hotkeyTable = nullptr;
    return 0;
}
#else
constexpr int kKeyF1 = 0x70;   // the same keys' codes, without <windows.h>
constexpr int kKeyF2 = 0x71;

class UpKeyboard : public HotkeyPlatform {
public:
    int16_t QueryKeyState(int) override { return 0; }
    void StartTimer(uint32_t, uint32_t) override {}
    void RunAction(const HotkeyRecord&) override {}
};
#endif

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    if (argc == 3 && std::strcmp(argv[1], "idle") == 0)
        return MeasureIdle(std::atoi(argv[2]));
    HotkeyTable table;
    table.Register(NoAction, kKeyF1);
    table.Register(NoAction, kKeyF2);
#else
    UpKeyboard keyboard;
    HotkeyCore table(keyboard);
    table.Register(1, kKeyF1, 0, 0, 0, false);
    table.Register(2, kKeyF2, 0, 0, 0, false);
#endif
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 10000;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < ticks; ++tick)
        table.Poll();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    std::printf("%d ticks: %.2f us per tick\n", ticks, spent.count() / ticks);
    return 0;
}
