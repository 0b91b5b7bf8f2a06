// Lays out a player's buffer block: headers first, each pointing at its data area.
#include "audio/wave_buffer_pool.h"

namespace {
constexpr SIZE_T kBlockSize = kBufferCount * (kBufferSize + sizeof(WAVEHDR));  // 307,840 where WAVEHDR is 32 bytes (i686)
}

bool WaveBufferPool::Create()
{
    block_ = AllocateHeapBlock<uint8_t>(kBlockSize, HEAP_ZERO_MEMORY);
    if (!block_)
        return false;
    uint8_t* data = block_.get() + kBufferCount * sizeof(WAVEHDR);
    for (int i = 0; i < kBufferCount; ++i) {
        Header(i).lpData = reinterpret_cast<LPSTR>(data + i * kBufferSize);
        Header(i).dwBufferLength = kBufferSize;
    }
    return true;
}
