// Windows edge of the loader: each seam call is one kernel32 call (or CallAddress,
// or the unwind table of this architecture). Also binds MemoryModule's default
// object to it.
#include "memmodule/windows_loader.h"

#include <windows.h>

#include "memmodule/call_address.h"
#include "memmodule/memory_module.h"
#include "memmodule/unwind_table.h"

namespace {

constexpr DWORD kReserveAndCommit = MEM_COMMIT | MEM_RESERVE;  // 0x3000
constexpr DWORD kReadWriteExecute = PAGE_EXECUTE_READWRITE;    // 0x40
constexpr ImageFormat kProcessFormat = sizeof(void*) == 8 ? ImageFormat::Pe32Plus : ImageFormat::Pe32;

uint64_t AddressOf(const void* p) { return reinterpret_cast<uintptr_t>(p); }
template <typename T>
T* PointerTo(uint64_t address) { return reinterpret_cast<T*>(static_cast<uintptr_t>(address)); }

class WindowsLoaderPlatform final : public LoaderPlatform {
public:
    ImageFormat Format() const override { return kProcessFormat; }
    ImageMemory Allocate(uint64_t address, uint32_t size) override
    {
        ImageMemory memory;
        memory.bytes = static_cast<uint8_t*>(
            VirtualAlloc(PointerTo<void>(address), size, kReserveAndCommit, kReadWriteExecute));
        memory.address = AddressOf(memory.bytes);
        return memory;
    }
    void Free(const ImageMemory& memory) override { VirtualFree(memory.bytes, 0, MEM_RELEASE); }
    uint64_t FindLoadedLibrary(const char* name) override { return AddressOf(GetModuleHandleA(name)); }
    uint64_t LoadNamedLibrary(const char* name) override { return AddressOf(LoadLibraryA(name)); }
    uint64_t FindProcByName(uint64_t library, const char* name) override
    {
        return AddressOf(reinterpret_cast<void*>(GetProcAddress(PointerTo<HINSTANCE__>(library), name)));
    }
    uint64_t FindProcByOrdinal(uint64_t library, uint16_t ordinal) override
    {
        return AddressOf(reinterpret_cast<void*>(
            GetProcAddress(PointerTo<HINSTANCE__>(library), MAKEINTRESOURCEA(ordinal))));
    }
    uint32_t CallEntry(uint64_t code, uint64_t a1, uint32_t a2, uint64_t a3) override
    {
        return static_cast<uint32_t>(CallAddress(static_cast<uintptr_t>(code), static_cast<uintptr_t>(a1), a2,
                                                 static_cast<uintptr_t>(a3), 0, 0, 0, 0, 0, 0, 0));
    }
    bool AddFunctionTable(uint64_t table, uint32_t count, uint64_t base) override
    {
        return AddUnwindTable(table, count, base);
    }
    void DeleteFunctionTable(uint64_t table) override { DeleteUnwindTable(table); }
};

}  // namespace

LoaderPlatform& WindowsLoader()
{
    static WindowsLoaderPlatform platform;
    return platform;
}

MemoryModule::MemoryModule() : MemoryModule(WindowsLoader()) {}
