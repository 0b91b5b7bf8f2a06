// Windows edge of the loader: each seam call is one kernel32 call (or CallAddress).
// Also binds MemoryModule's default object to it.
#include "memmodule/windows_loader.h"

#include <windows.h>

#include "memmodule/call_address.h"
#include "memmodule/memory_module.h"

namespace {

constexpr DWORD kReserveAndCommit = MEM_COMMIT | MEM_RESERVE;  // 0x3000
constexpr DWORD kReadWriteExecute = PAGE_EXECUTE_READWRITE;    // 0x40

uint32_t AddressOf(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
template <typename T>
T* PointerTo(uint32_t address) { return reinterpret_cast<T*>(static_cast<uintptr_t>(address)); }

class WindowsLoaderPlatform final : public LoaderPlatform {
public:
    ImageMemory Allocate(uint32_t address, uint32_t size) override
    {
        ImageMemory memory;
        memory.bytes = static_cast<uint8_t*>(
            VirtualAlloc(PointerTo<void>(address), size, kReserveAndCommit, kReadWriteExecute));
        memory.address = AddressOf(memory.bytes);
        return memory;
    }
    void Free(const ImageMemory& memory) override { VirtualFree(memory.bytes, 0, MEM_RELEASE); }
    uint32_t FindLoadedLibrary(const char* name) override { return AddressOf(GetModuleHandleA(name)); }
    uint32_t LoadNamedLibrary(const char* name) override { return AddressOf(LoadLibraryA(name)); }
    uint32_t FindProcByName(uint32_t library, const char* name) override
    {
        return AddressOf(reinterpret_cast<void*>(GetProcAddress(PointerTo<HINSTANCE__>(library), name)));
    }
    uint32_t FindProcByOrdinal(uint32_t library, uint16_t ordinal) override
    {
        return AddressOf(reinterpret_cast<void*>(
            GetProcAddress(PointerTo<HINSTANCE__>(library), MAKEINTRESOURCEA(ordinal))));
    }
    uint32_t CallEntry(uint32_t code, uint32_t a1, uint32_t a2, uint32_t a3) override
    {
        return CallAddress(code, a1, a2, a3, 0, 0, 0, 0, 0, 0, 0);
    }
};

}  // namespace

LoaderPlatform& WindowsLoader()
{
    static WindowsLoaderPlatform platform;
    return platform;
}

MemoryModule::MemoryModule() : MemoryModule(WindowsLoader()) {}
