// The process-wide list of live wave players and its lock, through which a stop
// reaches every player. The registry does not own players: each owns itself.
#pragma once

#include <cstddef>

class WavePlayer;

namespace WaveRegistry {

// Creates the lock (program start); safe to call again and made on first use anyway.
void Create();
// Signals every listed player to stop; with wait, returns once all their threads ended.
void StopAll(bool wait);
// The shutdown's closing flag, set under the lock: every later Start is refused.
void RefuseNewPlayers();
// Deletes the lock (program exit, after the shutdown stop has returned).
void Destroy();
// Players listed now.
size_t Count();

// For WavePlayer: lists the player and creates its thread suspended, in one hold
// of the lock; false when closing or the thread cannot be had.
bool Add(WavePlayer* player);
void Remove(WavePlayer* player);

}  // namespace WaveRegistry
