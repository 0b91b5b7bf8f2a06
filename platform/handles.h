// Owners for the kernel objects every folder uses: handles, critical sections
// and a scoped hold on one. Each closes or deletes what it owns exactly once.
#pragma once

#include <windows.h>

#include <utility>

class UniqueHandle {  // closes on destruction; move-only
public:
    explicit UniqueHandle(HANDLE h = nullptr) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept
    {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(HANDLE h = nullptr)
    {
        if (h_)
            CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_;
};

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&cs_); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    CRITICAL_SECTION* get() { return &cs_; }

private:
    CRITICAL_SECTION cs_;
};

class ScopedLock {
public:
    explicit ScopedLock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    explicit ScopedLock(CriticalSection& cs) : ScopedLock(cs.get()) {}
    ~ScopedLock() { LeaveCriticalSection(cs_); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CRITICAL_SECTION* cs_;
};
