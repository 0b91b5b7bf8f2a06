// The process-wide list of live wave players and its lock, through which a stop
// reaches every player. The registry does not own players: each owns itself.
#pragma once

#include <windows.h>

#include <cstddef>

class WavePlayer;

namespace WaveRegistry {

// Makes the lock and opens the registry (program start); on an open registry it
// only lifts RefuseNewPlayers. Until it runs every call is refused.
void Create();
// Signals every listed player to stop. With wait it then waits, up to timeoutMs,
// for every player thread running at the call to end, including those of players
// an earlier stop signalled that have already left the list: true when all ended.
bool StopAll(bool wait, DWORD timeoutMs = INFINITE);
// The shutdown's closing flag, set under the lock: every later Start is refused.
void RefuseNewPlayers();
// Shuts the registry and deletes the lock (program exit, after the shutdown stop).
// It waits for every call still inside; every call after it is refused and
// touches nothing it freed.
void Destroy();
// Players listed now.
size_t Count();

// For WavePlayer: lists the player and creates its thread suspended, in one hold
// of the lock, and tracks the thread until ThreadEnded; false when closing, shut,
// or the thread cannot be had.
bool Add(WavePlayer* player);
void Remove(WavePlayer* player);
// The last call of a player's thread, once it is done with its device and memory.
void ThreadEnded();

// One pass through the registry's gate and its lock, held for the object's
// life; it holds nothing (and converts to false) while the registry is shut.
class Hold {
public:
    Hold();
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    explicit operator bool() const { return held_; }

private:
    bool held_ = false;
};

}  // namespace WaveRegistry
