// In-process measurements for bench/run.sh, run under Wine beside the board:
//   bench_probe.exe burst          33 entries started at once through the sound player,
//                                  timed against 33 of the platform's PlaySound starts
//   bench_probe.exe many N ENTRY   N overlapping plays of ENTRY: how many the device
//                                  took, and the memory each playing sound costs
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/sound_bank.h"
#include "audio/sound_player.h"
#include "audio/wave_registry.h"
#include "testsupport/process_holdings.h"

namespace {

double NowMs()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Says "ready" once the platform's starts are timed and the sound driver is loaded,
// then starts the 33 two seconds later, so the caller can record just the burst.
int Burst()
{
    double started = NowMs();
    for (int entry = 1; entry <= SoundBank::kEntryCount; ++entry)
        PlaySoundA(reinterpret_cast<LPCSTR>(SoundBank::Entry(entry).bytes()), nullptr, SND_MEMORY | SND_ASYNC);
    const double platformMs = NowMs() - started;
    PlaySoundA(nullptr, nullptr, 0);
    // The first device open of a process loads the sound driver; the board pays it once, at its first sound.
    soundPlayer->Play(SoundBank::Entry(1));
    soundPlayer->Stop(true);
    std::printf("ready\n");
    std::fflush(stdout);
    Sleep(2000);

    int taken = 0;
    started = NowMs();
    for (int entry = 1; entry <= SoundBank::kEntryCount; ++entry)
        taken += soundPlayer->Play(SoundBank::Entry(entry));
    const double boardMs = NowMs() - started;
    std::printf("taken=%d starts_ms=%.2f platform_starts_ms=%.2f\n", taken, boardMs, platformMs);
    std::fflush(stdout);
    Sleep(6000);
    soundPlayer->Stop(true);
    return taken == SoundBank::kEntryCount ? 0 : 1;
}

// Prints a line every ten plays, so that a run cut short by a stalled device still reports.
int Many(int count, int entry)
{
    soundPlayer->Play(SoundBank::Entry(entry));
    soundPlayer->Stop(true);
    const Holdings before = Now();
    const double started = NowMs();
    int taken = 0;
    for (int i = 1; i <= count; ++i) {
        taken += soundPlayer->Play(SoundBank::Entry(entry));
        if (i % 10 != 0 && i != count)
            continue;
        const Holdings during = Now();
        std::printf("asked=%d taken=%d refused=%d players=%u live_threads=%d heap_per_sound=%.0f expected_per_sound=%u "
                    "elapsed_ms=%.0f\n",
                    i, taken, i - taken, WaveRegistry::Count(), during.liveThreads - before.liveThreads,
                    taken ? double(during.heapBytes - before.heapBytes) / taken : 0.0,
                    unsigned(SoundBank::Entry(entry).length + 307840), NowMs() - started);
        std::fflush(stdout);
    }
    const double stopStarted = NowMs();
    soundPlayer->Stop(true);
    std::printf("stop_all_ms=%.1f players_after=%u semaphores_after=%d\n", NowMs() - stopStarted,
                WaveRegistry::Count(), Now().semaphores);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    WaveRegistry::Create();
    SoundPlayer player;
    soundPlayer = &player;
    int status = 2;
    if (argc == 2 && !std::strcmp(argv[1], "burst"))
        status = Burst();
    else if (argc == 4 && !std::strcmp(argv[1], "many"))
        status = Many(std::atoi(argv[2]), std::atoi(argv[3]));
    soundPlayer->Stop(true);
    soundPlayer = nullptr;
    WaveRegistry::Destroy();
    return status;
}
