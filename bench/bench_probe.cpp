// In-process measurements for bench/run.sh, run under Wine beside the board:
//   bench_probe.exe burst board|plain   the 33 entries started at once, through the sound
//                                       player or by 33 plain threads (each its own device,
//                                       its whole sample in one write): time to the 33rd
//                                       first write
//   bench_probe.exe tones board|plain MS  33 sines 200 Hz apart, started MS apart the
//                                       same two ways, for the recording to tell apart
//   bench_probe.exe many N ENTRY        N overlapping plays of ENTRY: how many the device
//                                       took, and the memory each playing sound costs
// Each says "ready" once the sound driver is loaded, then starts two seconds later.
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "assets/sound_bank.h"
#include "audio/sound_system.h"
#include "audio/wave_format.h"
#include "audio/wave_registry.h"
#include "bench/stamps.h"
#include "platform/handles.h"
#include "testsupport/process_holdings.h"

namespace {

constexpr int kSounds = SoundBank::kEntryCount;
constexpr double kToneHertz = 400, kToneStep = 200, kToneSeconds = 1.5;
constexpr int16_t kToneAmplitude = 700;  // 33 of them together stay far below full scale
constexpr DWORD kWriteWaitMs = 20000;

double NowMs()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// One sound the plain way: its own thread and device, a copy of its samples written whole.
struct PlainSound {
    const ByteBuffer* image;
    HANDLE stop;
};

DWORD WINAPI PlainPlay(LPVOID argument)
{
    const PlainSound& sound = *static_cast<const PlainSound*>(argument);
    ParsedWave wave;
    if (!ParseWave(sound.image->bytes(), sound.image->length, wave))
        return 1;
    const std::vector<uint8_t> format = DeviceFormat(wave);
    std::vector<char> samples(reinterpret_cast<const char*>(wave.data),
                              reinterpret_cast<const char*>(wave.data) + wave.dataLength);
    HWAVEOUT device;
    if (waveOutOpen(&device, WAVE_MAPPER, reinterpret_cast<const WAVEFORMATEX*>(format.data()), 0, 0,
                    CALLBACK_NULL) != MMSYSERR_NOERROR)
        return 1;
    WAVEHDR header = {};
    header.lpData = samples.data();
    header.dwBufferLength = DWORD(samples.size());
    waveOutPrepareHeader(device, &header, sizeof header);
    waveOutWrite(device, &header, sizeof header);
    WaitForSingleObject(sound.stop, INFINITE);
    waveOutReset(device);
    waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    return 0;
}

class PlainSounds {
public:
    PlainSounds() : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~PlainSounds()
    {
        SetEvent(stop_.get());
        for (const UniqueHandle& thread : threads_)
            WaitForSingleObject(thread.get(), INFINITE);
    }
    bool Start(const ByteBuffer& image)
    {
        sounds_.push_back(std::make_unique<PlainSound>(PlainSound{&image, stop_.get()}));
        threads_.emplace_back(CreateThread(nullptr, 0, PlainPlay, sounds_.back().get(), 0, nullptr));
        return bool(threads_.back());
    }

private:
    UniqueHandle stop_;
    std::vector<std::unique_ptr<PlainSound>> sounds_;
    std::vector<UniqueHandle> threads_;
};

std::vector<uint8_t> ToneImage(double hertz)
{
    const uint32_t frames = uint32_t(kToneSeconds * 44100), dataBytes = frames * 4;
    std::vector<uint8_t> image(44 + dataBytes);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&image[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&image[at], &v, 2); };
    std::memcpy(&image[0], "RIFF", 4);
    put32(4, 36 + dataBytes);
    std::memcpy(&image[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, 44100);
    put32(28, 44100 * 4);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(&image[36], "data", 4);
    put32(40, dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = int16_t(std::lround(kToneAmplitude * std::sin(2 * 3.14159265358979 * hertz * i / 44100)));
        put16(44 + 4 * i, uint16_t(v));
        put16(46 + 4 * i, uint16_t(v));
    }
    return image;
}

// The first device open of a process loads the sound driver; both ways pay it before the clock runs.
void LoadDriverAndSayReady()
{
    soundPlayer->Play(SoundBank::Entry(1));
    soundPlayer->Stop(true);
    std::printf("ready\n");
    std::fflush(stdout);
    Sleep(2000);
}

bool WaitForWrites(long count)
{
    const DWORD begun = GetTickCount();
    while (DevicesWritten() < count)
        if (GetTickCount() - begun > kWriteWaitMs)
            return false;
        else
            Sleep(1);
    return true;
}

int Burst(bool board)
{
    LoadDriverAndSayReady();
    PlainSounds plain;
    const long before = DevicesWritten();
    int taken = 0;
    const double started = NowMs();
    for (int entry = 1; entry <= kSounds; ++entry)
        taken += board ? soundPlayer->Play(SoundBank::Entry(entry)) : plain.Start(SoundBank::Entry(entry));
    const double calls = NowMs() - started;
    const bool written = WaitForWrites(before + kSounds);
    std::printf("way=%s taken=%d calls_ms=%.2f to_last_first_write_ms=%.2f written=%ld\n", board ? "board" : "plain",
                taken, calls, NowMs() - started, DevicesWritten() - before);
    std::fflush(stdout);
    Sleep(6000);
    soundPlayer->Stop(true);
    return taken == kSounds && written ? 0 : 1;
}

int Tones(bool board, int spacingMs)
{
    std::vector<OwnedByteBuffer> tones;
    for (int i = 0; i < kSounds; ++i)
        tones.emplace_back(ToneImage(kToneHertz + kToneStep * i));
    LoadDriverAndSayReady();
    PlainSounds plain;
    int taken = 0;
    const double started = NowMs();
    for (int i = 0; i < kSounds; ++i) {
        while (NowMs() - started < double(i * spacingMs))
            Sleep(1);
        taken += board ? soundPlayer->Play(tones[i].get()) : plain.Start(tones[i].get());
    }
    std::printf("way=%s tones=%d taken=%d hertz=%.0f step=%.0f amplitude=%.5f\n", board ? "board" : "plain", kSounds,
                taken, kToneHertz, kToneStep, kToneAmplitude / 32768.0);
    std::fflush(stdout);
    Sleep(DWORD(kToneSeconds * 1000) + 1500);
    soundPlayer->Stop(true);
    return taken == kSounds ? 0 : 1;
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
                    i, taken, i - taken, unsigned(WaveRegistry::Count()), during.liveThreads - before.liveThreads,
                    taken ? double(during.heapBytes - before.heapBytes) / taken : 0.0,
                    unsigned(SoundBank::Entry(entry).length + 20 * (15360 + sizeof(WAVEHDR))), NowMs() - started);
        std::fflush(stdout);
    }
    const double stopStarted = NowMs();
    soundPlayer->Stop(true);
    std::printf("stop_all_ms=%.1f players_after=%u semaphores_after=%d\n", NowMs() - stopStarted,
                unsigned(WaveRegistry::Count()), Now().semaphores);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    SoundSystem sound;
    const bool board = argc >= 3 && !std::strcmp(argv[2], "board");
    if (argc == 3 && !std::strcmp(argv[1], "burst"))
        return Burst(board);
    if (argc == 4 && !std::strcmp(argv[1], "tones"))
        return Tones(board, std::atoi(argv[3]));
    if (argc == 4 && !std::strcmp(argv[1], "many"))
        return Many(std::atoi(argv[2]), std::atoi(argv[3]));
    return 2;
}
