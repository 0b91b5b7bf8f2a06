// The platform services the loader needs (memory reservation, the system's own
// library loader, calling code in the image), behind one interface so the portable
// core runs natively over byte buffers in tests and fuzzing, and on Windows.
#pragma once

#include <cstdint>

// One reservation: where the loader writes it (bytes) and the 32-bit address the
// image sees (address). On Windows both are the same memory; a fake may differ.
struct ImageMemory {
    uint8_t* bytes = nullptr;
    uint32_t address = 0;
    uint32_t size = 0;
};

class LoaderPlatform {
public:
    virtual ~LoaderPlatform() = default;

    // VirtualAlloc(address, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE):
    // zero-filled memory, or bytes == nullptr when refused. address 0 means anywhere.
    virtual ImageMemory Allocate(uint32_t address, uint32_t size) = 0;
    // VirtualFree(address, 0, MEM_RELEASE).
    virtual void Free(const ImageMemory& memory) = 0;

    // GetModuleHandleA / LoadLibraryA: a library handle, or 0.
    virtual uint32_t FindLoadedLibrary(const char* name) = 0;
    virtual uint32_t LoadNamedLibrary(const char* name) = 0;
    // GetProcAddress by name or by ordinal: a function address, or 0.
    virtual uint32_t FindProcByName(uint32_t library, const char* name) = 0;
    virtual uint32_t FindProcByOrdinal(uint32_t library, uint16_t ordinal) = 0;

    // CallAddress(code, a1, a2, a3, 0, 0, 0, 0, 0, 0, 0): the entry point calls.
    virtual uint32_t CallEntry(uint32_t code, uint32_t a1, uint32_t a2, uint32_t a3) = 0;
};
