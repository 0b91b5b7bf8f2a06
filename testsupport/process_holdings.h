// What a test process holds, counted from the outside: handles of one kind and
// heap bytes in use, to show that players and firings leave nothing behind.
#pragma once

#include <cstddef>

// Handles of one kind ("Semaphore", "Thread", ...); with liveThreadsOnly, only
// threads that still run. Found by asking each handle value, since not every
// system keeps the process's handle count.
int HandlesOfType(const wchar_t* type, bool liveThreadsOnly = false);

// Bytes in use on every heap of the process.
size_t HeapBytesInUse();

// What a leaked player or firing would add to: every player owns a semaphore
// and a thread; hotkey firings own a thread each.
struct Holdings {
    int semaphores;
    int liveThreads;
    size_t heapBytes;
};

Holdings Now();
