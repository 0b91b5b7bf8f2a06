// A MIDI stream device for tests: logs every call, keeps what each buffer carried,
// and plays the device's part on a thread of its own: it gives buffers back in
// the order they were queued, and a reset gives back everything queued.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "audio/midi_stream.h"

struct StreamRecord {
    uint32_t delta;
    uint32_t streamId;
    uint32_t event;
    bool operator==(const StreamRecord& o) const
    {
        return delta == o.delta && streamId == o.streamId && event == o.event;
    }
};

class FakeMidiStream final : public MidiStream {
public:
    enum class Returns {
        OnRequest,      // one buffer per ReturnNext, all of them on a reset
        WhileRunning,   // as fast as they come while the stream runs, all on a reset
        Never,          // kept for good, even through a reset
    };

    explicit FakeMidiStream(Returns returns = Returns::OnRequest);
    ~FakeMidiStream() override;

    // Next call named so returns this error ("open", "timediv", "prepare", "out", ...).
    void FailCall(const std::string& name, MidiResult result);

    // Gives the oldest queued buffer back and waits until the callback has run.
    bool ReturnNext();
    // Waits until the device has nothing more to give back.
    void WaitIdle();

    std::vector<std::string> Calls() const;
    std::vector<std::vector<StreamRecord>> SentRecords() const;   // per Out, in order
    std::vector<MidiHeader*> Held() const;                        // queued, not given back
    size_t OpenStreams() const;
    std::vector<uint32_t> OpenedDevices() const;                  // per successful Open, in order
    size_t PreparedHeaders() const;

    MidiResult Open(MidiStreamHandle& stream, uint32_t deviceId, MidiStreamClient& client) override;
    MidiResult SetTimeDivision(MidiStreamHandle stream, uint32_t division) override;
    MidiResult PrepareHeader(MidiStreamHandle stream, MidiHeader& header) override;
    MidiResult UnprepareHeader(MidiStreamHandle stream, MidiHeader& header) override;
    MidiResult Out(MidiStreamHandle stream, MidiHeader& header) override;
    MidiResult Restart(MidiStreamHandle stream) override;
    MidiResult Stop(MidiStreamHandle stream) override;
    MidiResult Reset(MidiStreamHandle stream) override;
    MidiResult Close(MidiStreamHandle stream) override;

private:
    struct Queued {
        MidiStreamHandle stream;
        MidiHeader* header;
    };

    MidiResult Begin(const std::string& name, MidiStreamHandle stream, bool needsStream = true);
    bool Due() const;
    void DeviceLoop();

    const Returns returns_;
    mutable std::mutex lock_;                  // guards everything below
    std::condition_variable changed_;
    std::map<std::string, MidiResult> failures_;
    std::vector<std::string> calls_;
    std::vector<std::vector<StreamRecord>> sent_;
    std::map<MidiStreamHandle, MidiStreamClient*> streams_;
    std::vector<uint32_t> openedDevices_;
    std::set<MidiStreamHandle> running_;
    std::set<MidiHeader*> prepared_;
    std::deque<Queued> queue_;
    MidiStreamHandle nextHandle_ = 1;
    uint32_t requested_ = 0;                   // ReturnNext and reset returns still owed
    bool inCallback_ = false;
    bool quit_ = false;
    std::thread device_;                       // the device's own thread, runs the callbacks
};
