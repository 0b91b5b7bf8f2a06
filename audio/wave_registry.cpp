// The wave player registry: an ordered list of live players behind one lock, and
// the player threads still running. Held only to add, remove, and for StopAll's
// signalling pass; never while waiting. Every call passes a gate first, so
// Destroy can wait for the calls inside and no call after it reaches the deleted lock.
#include "audio/wave_registry.h"

#include <algorithm>
#include <vector>

#include "platform/handles.h"
#include "audio/wave_player.h"

namespace {

// Interlocked: calls between the gate and their release of the lock.
LONG callsInside = 0;
// Interlocked: nonzero while the lock does not exist (before Create, after Destroy).
LONG shut = 1;
CRITICAL_SECTION registryLock;  // live while shut is 0
// Under registryLock.
std::vector<WavePlayer*> players;
bool closing = false;
// A player leaves the list before it closes its device and frees itself, so a
// stop that waits waits for threads: under registryLock, every player thread
// made and not yet ended, with a handle of the registry's own.
struct LiveThread {
    DWORD id;
    UniqueHandle thread;
};
std::vector<LiveThread> liveThreads;

bool IsShut() { return InterlockedCompareExchange(&shut, 0, 0) != 0; }

}  // namespace

namespace WaveRegistry {

Hold::Hold()
{
    InterlockedIncrement(&callsInside);
    if (IsShut()) {
        InterlockedDecrement(&callsInside);
        return;
    }
    EnterCriticalSection(&registryLock);
    held_ = true;
}

Hold::~Hold()
{
    if (!held_)
        return;
    LeaveCriticalSection(&registryLock);
    InterlockedDecrement(&callsInside);
}

void Create()
{
    if (IsShut()) {
        InitializeCriticalSection(&registryLock);
        InterlockedExchange(&shut, 0);
    }
    Hold hold;
    closing = false;
}

bool StopAll(bool wait, DWORD timeoutMs)
{
    // References of our own: the threads close theirs as they end.
    std::vector<UniqueHandle> threads;
    {
        Hold hold;
        if (!hold)
            return true;
        for (WavePlayer* player : players)
            player->SignalStop();
        // Listed or not: a player an earlier stop signalled may be unlisted and
        // still closing its device. Players started after this pass are not waited for.
        if (wait)
            for (const LiveThread& live : liveThreads) {
                HANDLE copy = nullptr;
                if (!DuplicateHandle(GetCurrentProcess(), live.thread.get(), GetCurrentProcess(), &copy,
                                     SYNCHRONIZE, FALSE, 0))
                    return false;
                threads.emplace_back(copy);
            }
    }
    const DWORD begun = GetTickCount();
    for (const UniqueHandle& thread : threads) {
        const DWORD spent = GetTickCount() - begun;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : spent < timeoutMs ? timeoutMs - spent : 0;
        if (WaitForSingleObject(thread.get(), left) != WAIT_OBJECT_0)
            return false;
    }
    return true;
}

void RefuseNewPlayers()
{
    Hold hold;
    if (hold)
        closing = true;
}

void Destroy()
{
    if (InterlockedExchange(&shut, 1) != 0)
        return;
    // A call that passed the gate before it shut still holds or awaits the lock.
    while (InterlockedCompareExchange(&callsInside, 0, 0) != 0)
        Sleep(1);
    DeleteCriticalSection(&registryLock);
    players.clear();
    liveThreads.clear();
}

size_t Count()
{
    Hold hold;
    return hold ? players.size() : 0;
}

bool Add(WavePlayer* player)
{
    Hold hold;
    if (!hold || closing)
        return false;
    UniqueHandle thread;
    if (!player->CreateThreadSuspended() || !(thread = player->DuplicateThread()))
        return false;
    liveThreads.push_back({player->ThreadId(), std::move(thread)});
    players.push_back(player);
    return true;
}

void Remove(WavePlayer* player)
{
    Hold hold;
    if (hold)
        players.erase(std::remove(players.begin(), players.end(), player), players.end());
}

void ThreadEnded()
{
    Hold hold;
    if (!hold)
        return;
    const DWORD self = GetCurrentThreadId();
    liveThreads.erase(std::remove_if(liveThreads.begin(), liveThreads.end(),
                                     [self](const LiveThread& live) { return live.id == self; }),
                      liveThreads.end());
}

}  // namespace WaveRegistry
