// Owners for the kernel objects every folder uses: handles, open files, critical
// sections and a scoped hold on one. Each closes or deletes what it owns exactly once.
#pragma once

#include <windows.h>

#include "base/unique_resource.h"

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// Threads, events, semaphores: null when empty.
using UniqueHandle = UniqueResource<HANDLE, CloseKernelHandle>;

// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct InvalidFileHandle {
    static HANDLE Value() { return INVALID_HANDLE_VALUE; }
};
using UniqueFile = UniqueResource<HANDLE, CloseKernelHandle, InvalidFileHandle>;

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
