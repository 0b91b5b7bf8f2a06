// An auto-reset event for the one hand-over from the stream's callback thread to a
// waiting stop: set by the callback, consumed by a single wait.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class MidiDoneEvent {
public:
    void Set()
    {
        { std::lock_guard<std::mutex> hold(lock_); signalled_ = true; }
        changed_.notify_all();
    }

    void Clear()
    {
        std::lock_guard<std::mutex> hold(lock_);
        signalled_ = false;
    }

    // True when the event was set within the time; it is then reset.
    bool Wait(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> hold(lock_);
        if (!changed_.wait_for(hold, limit, [this] { return signalled_; }))
            return false;
        signalled_ = false;
        return true;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool signalled_ = false;   // guarded by lock_
};
