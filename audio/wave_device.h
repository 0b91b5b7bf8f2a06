// The seam between a player and its wave output device: the few device calls a
// player makes. The winmm device is the product's; tests put a fake in its place.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <vector>

using WaveDoneFunction = void(CALLBACK*)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

// One open device. Completion notices (WOM_DONE with the header as parameter1)
// arrive through the function given to Open, on a thread of the device's own.
class WaveDevice {
public:
    virtual ~WaveDevice() = default;

    // False when there is no output device or it does not take the format.
    virtual bool Open(const std::vector<uint8_t>& format, WaveDoneFunction done, DWORD_PTR instance) = 0;
    // False when the device refuses the header; a refused buffer is not queued.
    virtual bool Prepare(WAVEHDR* header) = 0;
    virtual bool Write(WAVEHDR* header) = 0;
    virtual void Unprepare(WAVEHDR* header) = 0;
    virtual void Pause() = 0;
    virtual void Reset() = 0;  // every queued buffer comes back through the notice
    virtual void Close() = 0;
};

// The platform's wave mapper through winmm; closes itself when destroyed open.
std::unique_ptr<WaveDevice> MakeWinmmWaveDevice();
