// The wave player registry: an ordered list of live players behind one lock.
// Held only to add, remove, and for StopAll's signalling pass; never while waiting.
// Every call passes a gate first, so Destroy can wait for the calls inside and
// no call after it reaches the deleted lock.
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

void StopAll(bool wait)
{
    std::vector<UniqueHandle> threads;
    {
        Hold hold;
        if (!hold)
            return;
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
    players.push_back(player);
    if (player->CreateThreadSuspended())
        return true;
    players.pop_back();
    return false;
}

void Remove(WavePlayer* player)
{
    Hold hold;
    if (hold)
        players.erase(std::remove(players.begin(), players.end(), player), players.end());
}

}  // namespace WaveRegistry
