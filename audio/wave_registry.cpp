// The wave player registry: an ordered list of live players behind one lock.
// Held only to add, remove, and for StopAll's signalling pass; never while waiting.
#include "audio/wave_registry.h"

#include <algorithm>
#include <vector>

#include "platform/handles.h"
#include "audio/wave_player.h"

namespace {

enum : LONG { kAbsent, kMaking, kReady };

LONG lockState = kAbsent;          // interlocked
CRITICAL_SECTION registryLock;     // made once lockState is kReady
// Under registryLock.
std::vector<WavePlayer*> players;
bool closing = false;

CRITICAL_SECTION* Lock()
{
    for (;;) {
        const LONG state = InterlockedCompareExchange(&lockState, kMaking, kAbsent);
        if (state == kReady)
            return &registryLock;
        if (state == kAbsent) {
            InitializeCriticalSection(&registryLock);
            InterlockedExchange(&lockState, kReady);
            return &registryLock;
        }
        Sleep(0);  // another thread is making it
    }
}

}  // namespace

namespace WaveRegistry {

void Create()
{
    ScopedLock hold(Lock());
    closing = false;
}

void StopAll(bool wait)
{
    std::vector<UniqueHandle> threads;
    {
        ScopedLock hold(Lock());
        if (wait)
            threads.reserve(players.size());
        // Signal and take our own reference in one pass: a player may free
        // itself as soon as the lock is released.
        for (WavePlayer* player : players) {
            player->SignalStop();
            if (wait)
                threads.push_back(player->DuplicateThread());
        }
    }
    for (const UniqueHandle& thread : threads)
        if (thread)
            WaitForSingleObject(thread.get(), INFINITE);
}

void RefuseNewPlayers()
{
    ScopedLock hold(Lock());
    closing = true;
}

void Destroy()
{
    if (InterlockedCompareExchange(&lockState, kAbsent, kReady) == kReady)
        DeleteCriticalSection(&registryLock);
}

size_t Count()
{
    ScopedLock hold(Lock());
    return players.size();
}

bool Add(WavePlayer* player)
{
    ScopedLock hold(Lock());
    if (closing)
        return false;
    players.push_back(player);
    if (player->CreateThreadSuspended())
        return true;
    players.pop_back();
    return false;
}

void Remove(WavePlayer* player)
{
    ScopedLock hold(Lock());
    players.erase(std::remove(players.begin(), players.end(), player), players.end());
}

}  // namespace WaveRegistry
