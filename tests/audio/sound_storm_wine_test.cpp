// Play and stop storms on the real sound device: eight threads of random plays
// and stops, the Stop button clicked and F1 pressed in between, must leave no
// player, no handle and no heap block behind; closing with thirty sounds playing
// ends every player.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "assets/sound_bank.h"
#include "audio/sound_player.h"
#include "audio/sound_system.h"
#include "audio/wave_player.h"
#include "audio/wave_registry.h"
#include "hotkeys/hotkey_table.h"
#include "testsupport/process_holdings.h"

namespace {

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 1000;
constexpr int kWarmUpCallsPerThread = 200;
constexpr int kCalibrationOpens = 200;
// Room for what the sound layer keeps per concurrent device; one leaked player (its 307,840-byte pool) is far above.
constexpr size_t kHeapSlack = 48 * 1024;
constexpr int kStopButtonId = 100;
constexpr DWORD kActionWaitMs = 10000;  // far beyond one stop on a hotkey thread

std::atomic<int> stopClicks{0};
std::atomic<int> f1Stops{0};

DWORD WINAPI StopOnF1(LPVOID)
{
    soundPlayer->Stop();
    ++f1Stops;
    return 0;
}

LRESULT CALLBACK StormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kStopButtonId) {
        soundPlayer->Stop();
        ++stopClicks;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The system's sound layer keeps a few bytes per device opened and closed, in
// any program; measured here so that only growth beyond it counts against us.
double PlatformHeapBytesPerOpen()
{
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    const size_t before = HeapBytesInUse();
    for (int i = 0; i < kCalibrationOpens; ++i) {
        HWAVEOUT device;
        if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR)
            waveOutClose(device);
    }
    const size_t after = HeapBytesInUse();
    return after > before ? double(after - before) / kCalibrationOpens : 0.0;
}

void PumpFor(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    MSG message;
    while (int(until - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

void PressF1()
{
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &keys[0], sizeof(INPUT));
    PumpFor(60);  // held over a few 10 ms polls
    SendInput(1, &keys[1], sizeof(INPUT));
    PumpFor(30);  // and seen up again before the next press
}

class SoundStorm : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound = std::make_unique<SoundSystem>();
        hotkeys = std::make_unique<HotkeyTable>();
        hotkeyTable = hotkeys.get();
        hotkeyTable->Register(StopOnF1, VK_F1);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = StormWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SoundStormWindow";
        RegisterClassA(&windowClass);
        window = CreateWindowA("SoundStormWindow", "storm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, windowClass.hInstance, nullptr);
        stopButton = CreateWindowA("BUTTON", "Stop", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, window,
                                   reinterpret_cast<HMENU>(kStopButtonId), windowClass.hInstance, nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        EXPECT_TRUE(hotkeys->WaitForActions(kActionWaitMs));
        hotkeyTable = nullptr;
        hotkeys.reset();
        sound.reset();  // the board's own shutdown of the sound side
    }
    std::unique_ptr<SoundSystem> sound;
    std::unique_ptr<HotkeyTable> hotkeys;
    HWND window = nullptr;
    HWND stopButton = nullptr;
};

struct StormCounts {
    int playsTaken = 0;
    int f1Presses = 0;
};

// Eight threads of random plays and stops (a quarter of them stops, some waiting),
// while this thread clicks Stop and presses F1 until they are done.
StormCounts RunStorm(HWND stopButton, int callsPerThread, unsigned seed)
{
    std::atomic<int> running{kThreads};
    std::atomic<int> taken{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([=, &running, &taken] {
            std::mt19937 random(seed + unsigned(t));
            for (int i = 0; i < callsPerThread; ++i) {
                const uint32_t roll = random();
                if (roll % 4 == 0)
                    soundPlayer->Stop(roll % 16 == 0);
                else
                    taken += soundPlayer->Play(SoundBank::Entry(1 + int(roll / 4 % SoundBank::kEntryCount)));
            }
            --running;
        });
    StormCounts counts;
    while (running > 0) {
        SendMessageA(stopButton, BM_CLICK, 0, 0);
        PressF1();
        ++counts.f1Presses;
    }
    for (std::thread& thread : threads)
        thread.join();
    PumpFor(300);  // the last F1 firing
    EXPECT_TRUE(hotkeyTable->WaitForActions(kActionWaitMs));
    soundPlayer->Stop(true);
    counts.playsTaken = taken;
    return counts;
}

TEST_F(SoundStorm, RandomPlaysAndStopsFromEightThreadsLeaveNothingBehind)
{
    // A first, smaller storm lets the sound layer grow to its working size.
    RunStorm(stopButton, kWarmUpCallsPerThread, 99);
    const double platformPerOpen = PlatformHeapBytesPerOpen();
    const Holdings before = Now();
    const int stopClicksBefore = stopClicks, f1StopsBefore = f1Stops;

    const StormCounts counts = RunStorm(stopButton, kCallsPerThread, 1234);
    const Holdings after = Now();

    EXPECT_GT(counts.playsTaken, 0);
    EXPECT_GT(stopClicks - stopClicksBefore, 0);
    EXPECT_GT(f1Stops - f1StopsBefore, 0);
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    EXPECT_EQ(after.semaphores, before.semaphores);
    EXPECT_EQ(after.liveThreads, before.liveThreads);
    const double allowed = platformPerOpen * counts.playsTaken + kHeapSlack;
    EXPECT_LE(double(after.heapBytes) - double(before.heapBytes), allowed);
    std::printf("storm: %d plays taken, %d Stop clicks, %d F1 presses (%d stops); semaphores %d -> %d, "
                "live threads %d -> %d, heap %zu -> %zu bytes (sound layer alone: %.1f bytes per open)\n",
                counts.playsTaken, stopClicks - stopClicksBefore, counts.f1Presses, f1Stops - f1StopsBefore,
                before.semaphores, after.semaphores, before.liveThreads, after.liveThreads, before.heapBytes,
                after.heapBytes, platformPerOpen);
}

TEST_F(SoundStorm, ClosingWithThirtySoundsPlayingEndsEveryPlayer)
{
    for (int entry = 1; entry <= 30; ++entry)
        ASSERT_TRUE(soundPlayer->Play(SoundBank::Entry(entry)));
    PumpFor(300);
    EXPECT_EQ(WaveRegistry::Count(), 30u);
    EXPECT_EQ(HandlesOfType(L"Semaphore"), 30);  // one per player, as the storm's leak check assumes
    // The board's teardown, then nothing is listed and no later start is taken.
    sound.reset();
    EXPECT_EQ(WaveRegistry::Count(), 0u);
    EXPECT_EQ(HandlesOfType(L"Semaphore"), 0);
    EXPECT_FALSE(WavePlayer::Start(SoundBank::Entry(31).bytes(), SoundBank::Entry(31).length, false));
}

}  // namespace
