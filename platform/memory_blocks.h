// Owners for memory taken from the system: process-heap blocks (raw, or holding one
// constructed object) and virtual memory. Header-only and free of the C runtime, so
// the skin engine, which has none, allocates through them too.
#pragma once

#include <windows.h>

#include <new>

#include "base/unique_resource.h"

struct FreeHeapBlock {
    void operator()(void* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

// Raw bytes: nothing is constructed in them and nothing destroyed.
template <typename T>
using UniqueHeapBlock = UniqueResource<T*, FreeHeapBlock>;

template <typename T>
UniqueHeapBlock<T> AllocateHeapBlock(SIZE_T bytes, DWORD flags = 0)
{
    return UniqueHeapBlock<T>(static_cast<T*>(HeapAlloc(GetProcessHeap(), flags, bytes)));
}

template <typename T>
struct DestroyHeapObject {
    void operator()(T* object) const
    {
        object->~T();
        HeapFree(GetProcessHeap(), 0, object);
    }
};

// One object built in a heap block and destroyed before the block goes.
template <typename T>
using UniqueHeapObject = UniqueResource<T*, DestroyHeapObject<T>>;

// Empty when the heap has no block to give; otherwise T(args...) in a fresh block.
template <typename T, typename... Args>
UniqueHeapObject<T> MakeHeapObject(Args&&... args)
{
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
    if (block == nullptr)
        return UniqueHeapObject<T>();
    return UniqueHeapObject<T>(::new (block) T(static_cast<Args&&>(args)...));
}

struct ReleaseVirtualMemory {
    void operator()(void* base) const { VirtualFree(base, 0, MEM_RELEASE); }
};

// A whole VirtualAlloc reservation, released in one piece.
using UniqueVirtualMemory = UniqueResource<void*, ReleaseVirtualMemory>;
