// Drives the wave engine on the real winmm device for the sink-recording test:
// plays files as the board would and prints when each call was made (Unix ms),
// so the script can line the calls up with the recording.
//   wave_device_probe play FILE            plays once, returns when the player is gone
//   wave_device_probe overlap FILE GAP_MS  two players from one image, GAP_MS apart
//   wave_device_probe loop FILE SECONDS    loops, then StopAll(false)
//   wave_device_probe stop FILE SECONDS wait|nowait   StopAll after SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/wave_player.h"
#include "audio/wave_registry.h"

namespace {

double UnixMs()
{
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const ULONGLONG t = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return double(t - 116444736000000000ULL) / 10000.0;
}

bool StartFile(const char* path, bool loop)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    auto* bytes = new std::vector<uint8_t>;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + got);
    std::fclose(file);
    std::printf("start_unix_ms=%.1f\n", UnixMs());
    const bool started = WavePlayer::Start(bytes->data(), uint32_t(bytes->size()), loop);
    std::memset(bytes->data(), 0, bytes->size());  // the caller may free right after Start
    delete bytes;
    return started;
}

double CpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const ULONGLONG k = ULONGLONG(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime;
    const ULONGLONG u = ULONGLONG(user.dwHighDateTime) << 32 | user.dwLowDateTime;
    return double(k + u) / 10000.0;
}

void WaitForNoPlayers()
{
    while (WaveRegistry::Count() != 0)
        Sleep(5);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    WaveRegistry::Create();
    const char* mode = argv[1];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 0;
    int status = 0;
    const double cpuBefore = CpuMs(), wallBefore = UnixMs();
    if (!std::strcmp(mode, "play")) {
        status = StartFile(argv[2], false) ? 0 : 1;
        WaitForNoPlayers();
    } else if (!std::strcmp(mode, "overlap")) {
        status = StartFile(argv[2], false) ? 0 : 1;
        Sleep(DWORD(seconds));
        status |= StartFile(argv[2], false) ? 0 : 1;
        std::printf("players=%u\n", unsigned(WaveRegistry::Count()));
        WaitForNoPlayers();
    } else if (!std::strcmp(mode, "loop") || !std::strcmp(mode, "stop")) {
        const bool wait = argc > 4 && !std::strcmp(argv[4], "wait");
        status = StartFile(argv[2], !std::strcmp(mode, "loop")) ? 0 : 1;
        Sleep(DWORD(seconds * 1000));
        std::printf("stop_unix_ms=%.1f\n", UnixMs());
        WaveRegistry::StopAll(wait);
        // With wait, every player thread has ended, so none may be listed.
        std::printf("stopall_returned_ms=%.1f players_left=%u\n", UnixMs(), unsigned(WaveRegistry::Count()));
        if (wait && WaveRegistry::Count() != 0)
            status = 3;
        WaitForNoPlayers();
    } else {
        status = 2;
    }
    // CPU of the whole process (players, device threads, waiting main) while sound played.
    std::printf("cpu_ms=%.1f wall_ms=%.1f\n", CpuMs() - cpuBefore, UnixMs() - wallBefore);
    WaveRegistry::RefuseNewPlayers();
    WaveRegistry::StopAll(true);
    WaveRegistry::Destroy();
    return status;
}
