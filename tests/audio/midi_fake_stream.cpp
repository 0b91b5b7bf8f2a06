// The test MIDI stream device: a call log, copies of the records sent, and a thread
// that hands buffers back through the client's callback.
#include "tests/audio/midi_fake_stream.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Word(const uint8_t* p)
{
    uint32_t value;
    std::memcpy(&value, p, sizeof value);   // the test hosts are little-endian, as the records are
    return value;
}

}  // namespace

FakeMidiStream::FakeMidiStream(Returns returns) : returns_(returns), device_([this] { DeviceLoop(); }) {}

FakeMidiStream::~FakeMidiStream()
{
    { std::lock_guard<std::mutex> hold(lock_); quit_ = true; }
    changed_.notify_all();
    device_.join();
}

void FakeMidiStream::FailCall(const std::string& name, MidiResult result)
{
    std::lock_guard<std::mutex> hold(lock_);
    failures_[name] = result;
}

bool FakeMidiStream::Due() const
{
    if (queue_.empty())
        return false;
    return requested_ > 0 || (returns_ == Returns::WhileRunning && running_.count(queue_.front().stream));
}

void FakeMidiStream::DeviceLoop()
{
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return quit_ || Due(); });
        if (quit_)
            return;
        const Queued next = queue_.front();
        queue_.pop_front();
        if (requested_ > 0)
            --requested_;
        MidiStreamClient* client = streams_[next.stream];
        inCallback_ = true;
        hold.unlock();
        client->OnStreamMessage(kMomDone, next.header);
        hold.lock();
        inCallback_ = false;
        changed_.notify_all();
    }
}

bool FakeMidiStream::ReturnNext()
{
    std::unique_lock<std::mutex> hold(lock_);
    if (queue_.empty())
        return false;
    ++requested_;
    changed_.notify_all();
    changed_.wait(hold, [this] { return requested_ == 0 && !inCallback_; });
    return true;
}

void FakeMidiStream::WaitIdle()
{
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return !Due() && !inCallback_; });
}

std::vector<std::string> FakeMidiStream::Calls() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
}

std::vector<std::vector<StreamRecord>> FakeMidiStream::SentRecords() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return sent_;
}

std::vector<MidiHeader*> FakeMidiStream::Held() const
{
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<MidiHeader*> held;
    for (const Queued& q : queue_)
        held.push_back(q.header);
    return held;
}

size_t FakeMidiStream::OpenStreams() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return streams_.size();
}

std::vector<uint32_t> FakeMidiStream::OpenedDevices() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return openedDevices_;
}

size_t FakeMidiStream::PreparedHeaders() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return prepared_.size();
}

// Logs the call as "name handle"; gives the planned failure or a bad-handle error.
MidiResult FakeMidiStream::Begin(const std::string& name, MidiStreamHandle stream, bool needsStream)
{
    calls_.push_back(name + " " + std::to_string(stream));
    const auto failure = failures_.find(name);
    if (failure != failures_.end()) {
        const MidiResult result = failure->second;
        failures_.erase(failure);
        return result;
    }
    if (needsStream && !streams_.count(stream))
        return kMidiInvalidHandle;
    return kMidiOk;
}

MidiResult FakeMidiStream::Open(MidiStreamHandle& stream, uint32_t deviceId, MidiStreamClient& client)
{
    std::lock_guard<std::mutex> hold(lock_);
    stream = 0;
    if (const MidiResult result = Begin("open", nextHandle_, false))
        return result;
    stream = nextHandle_++;
    streams_[stream] = &client;
    openedDevices_.push_back(deviceId);
    return kMidiOk;
}

MidiResult FakeMidiStream::SetTimeDivision(MidiStreamHandle stream, uint32_t division)
{
    std::lock_guard<std::mutex> hold(lock_);
    return Begin("timediv " + std::to_string(division), stream);
}

MidiResult FakeMidiStream::PrepareHeader(MidiStreamHandle stream, MidiHeader& header)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("prepare", stream))
        return result;
    prepared_.insert(&header);
    return kMidiOk;
}

MidiResult FakeMidiStream::UnprepareHeader(MidiStreamHandle stream, MidiHeader& header)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("unprepare", stream))
        return result;
    const bool queued = std::any_of(queue_.begin(), queue_.end(), [&](const Queued& q) { return q.header == &header; });
    if (queued)
        return kMidiStillPlaying;
    prepared_.erase(&header);
    return kMidiOk;
}

MidiResult FakeMidiStream::Out(MidiStreamHandle stream, MidiHeader& header)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("out", stream))
        return result;
    std::vector<StreamRecord> records;
    for (uint32_t at = 0; at + 12 <= header.bytesRecorded; at += 12)
        records.push_back({Word(header.data + at), Word(header.data + at + 4), Word(header.data + at + 8)});
    sent_.push_back(records);
    queue_.push_back({stream, &header});
    changed_.notify_all();
    return kMidiOk;
}

MidiResult FakeMidiStream::Restart(MidiStreamHandle stream)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("restart", stream))
        return result;
    running_.insert(stream);
    changed_.notify_all();
    return kMidiOk;
}

MidiResult FakeMidiStream::Stop(MidiStreamHandle stream)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("stop", stream))
        return result;
    running_.erase(stream);
    return kMidiOk;
}

MidiResult FakeMidiStream::Reset(MidiStreamHandle stream)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("reset", stream))
        return result;
    running_.erase(stream);
    if (returns_ != Returns::Never)
        requested_ = uint32_t(queue_.size());
    changed_.notify_all();
    return kMidiOk;
}

MidiResult FakeMidiStream::Close(MidiStreamHandle stream)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (const MidiResult result = Begin("close", stream))
        return result;
    const bool busy = std::any_of(queue_.begin(), queue_.end(), [&](const Queued& q) { return q.stream == stream; });
    if (busy)
        return kMidiStillPlaying;
    streams_.erase(stream);
    running_.erase(stream);
    return kMidiOk;
}
