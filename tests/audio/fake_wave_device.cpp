// The fake device's notice thread hands buffers back one at a time, in queue
// order, outside its lock, as a real driver's callback thread would.
#include "tests/audio/fake_wave_device.h"

#include <algorithm>

int FakeLog::Count(char event)
{
    ScopedLock hold(lock);
    return int(std::count(events.begin(), events.end(), event));
}

FakeWaveDevice::FakeWaveDevice(std::shared_ptr<FakeLog> log, FakeMode mode, DWORD bufferMs)
    : log_(std::move(log)), mode_(mode), bufferMs_(bufferMs)
{
}

FakeWaveDevice::~FakeWaveDevice()
{
    Close();
    ScopedLock hold(log_->lock);
    ++log_->destroyed;
}

bool FakeWaveDevice::Open(const std::vector<uint8_t>& format, WaveDoneFunction done, DWORD_PTR instance)
{
    if (mode_ == FakeMode::Refuse || format.size() < 18)
        return false;
    done_ = done;
    instance_ = instance;
    wake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, Notices, this, 0, nullptr));
    ScopedLock hold(log_->lock);
    log_->events += 'O';
    return true;
}

bool FakeWaveDevice::Prepare(WAVEHDR* header)
{
    ScopedLock hold(log_->lock);
    if (++log_->prepareCalls == log_->refusePrepareAt) {
        log_->events += 'X';
        return false;
    }
    header->dwFlags |= WHDR_PREPARED;
    prepared_.insert(header);
    return true;
}

bool FakeWaveDevice::Write(WAVEHDR* header)
{
    {
        ScopedLock hold(log_->lock);
        FakeLog& log = *log_;
        if (++log.writeCalls == log.refuseWriteAt) {
            log.events += 'X';
            return false;
        }
        log.events += 'W';
        if (header->dwBufferLength == 0)
            ++log.zeroLengthWrites;
        if (!(header->dwFlags & WHDR_PREPARED))
            ++log.writesUnprepared;
        log.writes.push_back({header->dwBufferLength, log.played.size(), queue_.size(), GetCurrentThreadId()});
        log.played.insert(log.played.end(), header->lpData, header->lpData + header->dwBufferLength);
        log.lastWriteTick = GetTickCount();
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        if (queue_.empty())
            frontDue_ = GetTickCount() + bufferMs_;
        queue_.push_back(header);
        log.maxQueued = std::max(log.maxQueued, queue_.size());
    }
    SetEvent(wake_.get());
    return true;
}

void FakeWaveDevice::Unprepare(WAVEHDR* header)
{
    ScopedLock hold(log_->lock);
    if (std::find(queue_.begin(), queue_.end(), header) != queue_.end()) {
        ++log_->unpreparesWhileQueued;
        return;  // as winmm: WAVERR_STILLPLAYING
    }
    header->dwFlags &= ~WHDR_PREPARED;
    prepared_.erase(header);
}

void FakeWaveDevice::Pause()
{
    ScopedLock hold(log_->lock);
    log_->events += 'P';
    log_->pauseTick = GetTickCount();
    paused_ = true;
}

void FakeWaveDevice::Reset()
{
    {
        ScopedLock hold(log_->lock);
        log_->events += 'R';
        returnAll_ = mode_ != FakeMode::Keep;
    }
    SetEvent(wake_.get());
}

void FakeWaveDevice::Close()
{
    if (!thread_)
        return;
    if (log_->closeGate)
        WaitForSingleObject(log_->closeGate, INFINITE);
    {
        ScopedLock hold(log_->lock);
        log_->events += 'C';
        if (!queue_.empty())
            ++log_->closesWhileQueued;
        log_->preparedAtClose += int(prepared_.size());
        quit_ = true;
    }
    SetEvent(wake_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD FakeWaveDevice::NextWait()
{
    if (queue_.empty())
        return INFINITE;
    if (returnAll_)
        return 0;
    if (mode_ != FakeMode::Play || paused_)
        return INFINITE;
    const int32_t left = int32_t(frontDue_ - GetTickCount());
    return left > 0 ? DWORD(left) : 0;
}

bool FakeWaveDevice::FrontDue()
{
    if (queue_.empty())
        return false;
    if (returnAll_)
        return true;
    return mode_ == FakeMode::Play && !paused_ && int32_t(GetTickCount() - frontDue_) >= 0;
}

DWORD WINAPI FakeWaveDevice::Notices(void* self)
{
    auto* device = static_cast<FakeWaveDevice*>(self);
    DWORD wait = INFINITE;
    for (;;) {
        WaitForSingleObject(device->wake_.get(), wait);
        WAVEHDR* header = nullptr;
        {
            ScopedLock hold(device->log_->lock);
            if (device->quit_)
                return 0;
            if (device->FrontDue())
                header = device->queue_.front();
            wait = device->NextWait();
        }
        if (!header)
            continue;
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        {
            ScopedLock hold(device->log_->lock);
            device->queue_.pop_front();
            if (device->queue_.empty())
                device->returnAll_ = false;
            device->frontDue_ = GetTickCount() + device->bufferMs_;
            wait = device->NextWait();
        }
        device->done_(nullptr, WOM_DONE, device->instance_, reinterpret_cast<DWORD_PTR>(header), 0);
    }
}
