// A player's 20 buffers: one zero-filled process-heap block holding 20 WAVEHDRs
// and then their 20 data areas of 15,360 bytes, freed in one piece.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "platform/memory_blocks.h"

constexpr int kBufferCount = 20;
constexpr uint32_t kBufferSize = 15360;

class WaveBufferPool {
public:
    WaveBufferPool() = default;
    WaveBufferPool(const WaveBufferPool&) = delete;
    WaveBufferPool& operator=(const WaveBufferPool&) = delete;

    bool Create();  // false when the heap has no block to give
    WAVEHDR& Header(int index) { return reinterpret_cast<WAVEHDR*>(block_.get())[index]; }
    bool IsPrepared(int index) { return (Header(index).dwFlags & WHDR_PREPARED) != 0; }

private:
    UniqueHeapBlock<uint8_t> block_;
};
