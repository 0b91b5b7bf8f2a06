// The platform services the loader needs (memory reservation, the system's own
// library loader, calling code in the image, registering unwind data), behind one
// interface so the portable core runs natively over byte buffers in tests and
// fuzzing, and on Windows.
#pragma once

#include <cstdint>

#include "memmodule/image_format.h"

// One reservation: where the loader writes it (bytes) and the address the image
// sees (address). On Windows both are the same memory; a fake may differ.
struct ImageMemory {
    uint8_t* bytes = nullptr;
    uint64_t address = 0;
    uint32_t size = 0;
};

class LoaderPlatform {
public:
    virtual ~LoaderPlatform() = default;

    // The one image format the process runs; images of the other are refused.
    virtual ImageFormat Format() const = 0;

    // VirtualAlloc(address, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE):
    // zero-filled memory, or bytes == nullptr when refused. address 0 means anywhere.
    virtual ImageMemory Allocate(uint64_t address, uint32_t size) = 0;
    // VirtualFree(address, 0, MEM_RELEASE).
    virtual void Free(const ImageMemory& memory) = 0;

    // GetModuleHandleA / LoadLibraryA: a library handle, or 0.
    virtual uint64_t FindLoadedLibrary(const char* name) = 0;
    virtual uint64_t LoadNamedLibrary(const char* name) = 0;
    // GetProcAddress by name or by ordinal: a function address, or 0.
    virtual uint64_t FindProcByName(uint64_t library, const char* name) = 0;
    virtual uint64_t FindProcByOrdinal(uint64_t library, uint16_t ordinal) = 0;

    // CallAddress(code, a1, a2, a3, 0, 0, 0, 0, 0, 0, 0): the entry point and TLS
    // callback calls. The result is the low 32 bits (the entry point's BOOL).
    virtual uint32_t CallEntry(uint64_t code, uint64_t a1, uint32_t a2, uint64_t a3) = 0;

    // RtlAddFunctionTable / RtlDeleteFunctionTable over the image's exception
    // directory (count 12-byte entries at table), so code in it can unwind.
    // Where the platform keeps no such table, adding succeeds and does nothing.
    virtual bool AddFunctionTable(uint64_t table, uint32_t count, uint64_t base) = 0;
    virtual void DeleteFunctionTable(uint64_t table) = 0;
};
