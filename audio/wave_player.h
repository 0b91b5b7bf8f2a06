// One playing wave sound: owns its sample copy, its device, its buffers and its
// thread, and frees itself on that thread when the sound ends or is stopped.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>

#include "audio/wave_buffer_pool.h"
#include "audio/wave_device.h"
#include "platform/handles.h"
#include "platform/memory_blocks.h"

constexpr DWORD kWatchdogMs = 8888;     // longest wait for a free buffer or a stop
constexpr DWORD kBufferReturnMs = 2000; // longest wait for queued buffers after the end or a reset
constexpr int kPrimedBuffers = 2;       // written by Start itself, ahead of the player's thread

struct ParsedWave;

class WavePlayer {
public:
    // Plays a RIFF/WAVE image on the wave mapper; true when a player started.
    // The caller may free `bytes` as soon as this returns.
    static bool Start(const uint8_t* bytes, uint32_t length, bool loop);
    // The same on a given device (tests hand in a fake); the player owns it.
    static bool StartOn(std::unique_ptr<WaveDevice> device, const uint8_t* bytes, uint32_t length,
                        bool loop);

    // Called by the registry under its lock, while the player is listed.
    void SignalStop();
    bool CreateThreadSuspended();
    UniqueHandle DuplicateThread() const;
    DWORD ThreadId() const { return threadId; }

    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

private:
    friend void CALLBACK WaveDoneCallback(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
    enum class Step { Wait, Ended, Stop };

    WavePlayer(std::unique_ptr<WaveDevice> device, bool loop);
    bool Create(const ParsedWave& wave);
    static DWORD WINAPI Run(void* self);
    Step Prime();
    bool Play();  // true when every buffer came back
    Step FillNext();
    bool TakeBackEveryNotice();
    void UnprepareAll();
    void Release(bool buffersBack);

    // Set by Start, then read by the player's thread alone.
    UniqueHeapBlock<uint8_t> pcm;   // the sample copy
    std::unique_ptr<WaveDevice> device;
    uint32_t pcmLength = 0;
    // Headers and data areas: the player's thread alone, and the device while queued.
    WaveBufferPool pool;
    // Buffers not at the device: written by the player's thread and the device's
    // notice thread, under `lock`.
    LONG freeBuffers = kBufferCount;
    // The player's thread alone, once Start has resumed it.
    Step primed = Step::Wait;  // what Start's own writes left the thread to do
    int nextBuffer = 0;
    uint32_t position = 0;
    // Closed by the player's thread in Release, after it has left the registry;
    // the registry uses them under its lock while the player is listed.
    UniqueHandle thread;
    DWORD threadId = 0;
    // Raised by the notice thread (its last touch of the player) and by the
    // player's thread on a loop restart; waited on by the player's thread.
    UniqueHandle slots;
    UniqueHandle stopEvent;  // set by the registry; manual reset
    CriticalSection lock;
    bool loop;
    // Counts kept by the player's thread, so it knows when every notice for
    // every written buffer has finished with the player: buffers written, counts
    // taken from `slots`, counts the thread itself put into `slots`.
    uint64_t written = 0;
    uint64_t slotsTaken = 0;
    uint64_t slotsRaisedHere = kBufferCount;
};

void CALLBACK WaveDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR parameter1,
                               DWORD_PTR parameter2);
