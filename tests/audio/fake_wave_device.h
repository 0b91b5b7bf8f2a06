// A wave device for the fill-logic tests: keeps what the player queues, hands
// buffers back in order on a thread of its own, returns them all on a reset, and
// logs every call so a test can check counts, sizes and the order of events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/wave_device.h"
#include "platform/handles.h"

// Outlives the device (a leaked player keeps its device); every field under `lock`.
struct FakeLog {
    struct Write {
        uint32_t length;
        size_t playedOffset;  // where its bytes start in `played`
        size_t queuedBefore;  // buffers at the device when it was written
        DWORD thread;         // the thread that wrote it
    };
    CriticalSection lock;
    std::vector<Write> writes;
    std::vector<uint8_t> played;  // every written buffer's bytes, in order
    std::string events;           // O open, W write, X refused, P pause, R reset, C close
    int zeroLengthWrites = 0;
    int writesUnprepared = 0;
    int unpreparesWhileQueued = 0;
    int closesWhileQueued = 0;
    int preparedAtClose = 0;
    size_t maxQueued = 0;
    DWORD lastWriteTick = 0;
    DWORD pauseTick = 0;
    // Set before the start: the 1-based prepare or write call the device refuses (0: none).
    int refusePrepareAt = 0;
    int refuseWriteAt = 0;
    int prepareCalls = 0;
    int writeCalls = 0;
    // Set before the start: Close first waits for this event (a slow or hung device).
    HANDLE closeGate = nullptr;
    int destroyed = 0;  // the device was destroyed: its player has freed itself

    int Count(char event);
};

enum class FakeMode {
    Play,     // returns each buffer after bufferMs, until paused
    Hold,     // returns buffers only on a reset
    Keep,     // never returns a buffer, not even on a reset
    Refuse,   // Open fails
};

class FakeWaveDevice final : public WaveDevice {
public:
    FakeWaveDevice(std::shared_ptr<FakeLog> log, FakeMode mode, DWORD bufferMs = 1);
    ~FakeWaveDevice() override;

    bool Open(const std::vector<uint8_t>& format, WaveDoneFunction done, DWORD_PTR instance) override;
    bool Prepare(WAVEHDR* header) override;
    bool Write(WAVEHDR* header) override;
    void Unprepare(WAVEHDR* header) override;
    void Pause() override;
    void Reset() override;
    void Close() override;

private:
    static DWORD WINAPI Notices(void* self);
    DWORD NextWait();
    bool FrontDue();

    std::shared_ptr<FakeLog> log_;
    const FakeMode mode_;
    const DWORD bufferMs_;
    WaveDoneFunction done_ = nullptr;
    DWORD_PTR instance_ = 0;
    UniqueHandle wake_;
    UniqueHandle thread_;
    // Under log_->lock: headers at the device (including one being handed back).
    std::deque<WAVEHDR*> queue_;
    std::set<WAVEHDR*> prepared_;
    DWORD frontDue_ = 0;  // Play mode: when the front buffer has played
    bool paused_ = false;
    bool returnAll_ = false;
    bool quit_ = false;
};
