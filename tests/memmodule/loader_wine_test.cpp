// The loader on Windows with MinGW-built test images of the process's own format:
// exports called through CallAddress, imports, rebasing, the entry point's and the
// TLS callbacks' calls, a forwarded export, unload and reload, and header refusals
// (the other architecture's included) seen through a counting platform.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <utility>

#include "memmodule/call_address.h"
#include "memmodule/memory_module.h"
#include "memmodule/windows_loader.h"
#include "platform/memory_blocks.h"
#include "tests/memmodule/image_patch.h"

extern "C" const ByteBuffer MmLibraryImage;
extern "C" const ByteBuffer MmNoRelocsImage;
extern "C" const ByteBuffer MmNotDllImage;
extern "C" const ByteBuffer MmTlsImage;

namespace {

constexpr uint32_t kLibraryBase = 0x10000000;
constexpr uint32_t kNoRelocsBase = 0x11000000;
constexpr uint32_t kRegionSize = 0x100000;  // larger than any test image
constexpr int kAbsoluteValue = 0x5EED;
constexpr uint16_t kUserOrdinal = 100;
constexpr uint32_t kTlsAnswer = 0x715;
constexpr uint32_t kEntry = 0, kFirstCallback = 1, kSecondCallback = 2;  // EntryCall::who

// Forwards to the Windows loader and counts the reservations asked for and freed.
class CountingLoader : public LoaderPlatform {
public:
    ImageFormat Format() const override { return WindowsLoader().Format(); }
    ImageMemory Allocate(uint64_t address, uint32_t size) override
    {
        ++allocations;
        return WindowsLoader().Allocate(address, size);
    }
    void Free(const ImageMemory& memory) override
    {
        ++frees;
        WindowsLoader().Free(memory);
    }
    uint64_t FindLoadedLibrary(const char* n) override { return WindowsLoader().FindLoadedLibrary(n); }
    uint64_t LoadNamedLibrary(const char* n) override { return WindowsLoader().LoadNamedLibrary(n); }
    uint64_t FindProcByName(uint64_t l, const char* n) override { return WindowsLoader().FindProcByName(l, n); }
    uint64_t FindProcByOrdinal(uint64_t l, uint16_t o) override { return WindowsLoader().FindProcByOrdinal(l, o); }
    uint32_t CallEntry(uint64_t c, uint64_t a1, uint32_t a2, uint64_t a3) override
    {
        return WindowsLoader().CallEntry(c, a1, a2, a3);
    }
    bool AddFunctionTable(uint64_t table, uint32_t count, uint64_t base) override
    {
        return WindowsLoader().AddFunctionTable(table, count, base);
    }
    void DeleteFunctionTable(uint64_t table) override { WindowsLoader().DeleteFunctionTable(table); }

    int allocations = 0;
    int frees = 0;
};

// Holds an address range so the loader cannot have it; released at scope end.
class HeldRange {
public:
    explicit HeldRange(uint32_t address)
        : memory_(VirtualAlloc(reinterpret_cast<void*>(uintptr_t{address}), kRegionSize, MEM_RESERVE, PAGE_NOACCESS)) {}
    bool held() const { return static_cast<bool>(memory_); }

private:
    UniqueVirtualMemory memory_;
};

std::vector<uint8_t> Bytes(const ByteBuffer& image) { return {image.bytes(), image.bytes() + image.length}; }

std::vector<uint8_t> WithEntry(const ByteBuffer& image, uint32_t attachResult, const EntryLog* log)
{
    std::vector<uint8_t> bytes = Bytes(image);
    EXPECT_TRUE(ConfigureEntry(bytes, attachResult, log));
    return bytes;
}

uint32_t Fold(std::initializer_list<uint32_t> values)
{
    uint32_t r = 7;
    for (uint32_t v : values)
        r = r * 31u + v;
    return r;
}

// The whole pointer-sized result, for exports that return an address.
uintptr_t CallForAddress(uint64_t proc)
{
    return CallAddress(static_cast<uintptr_t>(proc), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

// The low 32 bits, for exports that return a 32-bit value (the rest is undefined on x64).
uint32_t Call(uint64_t proc, uint32_t a1 = 0, uint32_t a2 = 0, uint32_t a3 = 0, uint32_t a4 = 0, uint32_t a5 = 0,
              uint32_t a6 = 0, uint32_t a7 = 0, uint32_t a8 = 0, uint32_t a9 = 0, uint32_t a10 = 0)
{
    return static_cast<uint32_t>(
        CallAddress(static_cast<uintptr_t>(proc), a1, a2, a3, a4, a5, a6, a7, a8, a9, a10));
}

bool IsFree(uint32_t address)
{
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(reinterpret_cast<void*>(uintptr_t{address}), &info, sizeof info);
    return info.State == MEM_FREE;
}

uint32_t EntryAddressOf(const ByteBuffer& image) { return NtHeadersOf(image.bytes()).OptionalHeader.AddressOfEntryPoint; }

void ExpectCall(const EntryLog& log, uint32_t index, uint32_t reason)
{
    ASSERT_LT(index, log.count);
    EXPECT_EQ(log.calls[index].who, kEntry);
    EXPECT_EQ(log.calls[index].handle, 0u);
    EXPECT_EQ(log.calls[index].reason, reason);
    EXPECT_EQ(log.calls[index].reserved, 0u);
}

// (who, reason) of each logged call, in order.
std::vector<std::pair<uint32_t, uint32_t>> CallsOf(const EntryLog& log)
{
    std::vector<std::pair<uint32_t, uint32_t>> calls;
    for (uint32_t i = 0; i < log.count; ++i)
        calls.push_back({log.calls[i].who, log.calls[i].reason});
    return calls;
}

TEST(WineLoader, ExportsAreCalledThroughCallAddress)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    EXPECT_EQ(Call(module.GetProc("Sum0")), 0x600Du);
    EXPECT_EQ(Call(module.GetProc("Sum2"), 3, 5), Fold({3, 5}));
    EXPECT_EQ(Call(module.GetProc("Sum6"), 1, 2, 3, 4, 5, 6), Fold({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Call(module.GetProc("Sum10"), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10), Fold({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Call(module.GetProc("CdeclSum2"), 9, 8), Fold({9, 8}));
    EXPECT_EQ(Call(module.GetProc("CdeclSum6"), 6, 5, 4, 3, 2, 1), Fold({6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(Call(module.GetProc("CdeclSum10"), 10, 9, 8, 7, 6, 5, 4, 3, 2, 1),
              Fold({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    module.Unload();
}

TEST(WineLoader, ImportsAreBoundByNameAndByOrdinal)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    EXPECT_EQ(Call(module.GetProc("ProcessIdByName")), GetCurrentProcessId());
    EXPECT_EQ(Call(module.GetProc("ScreenWidthByName")), static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    const FARPROC byOrdinal = GetProcAddress(GetModuleHandleA("user32.dll"), MAKEINTRESOURCEA(kUserOrdinal));
    ASSERT_NE(byOrdinal, nullptr);
    EXPECT_EQ(CallForAddress(module.GetProc("OrdinalSlot")), reinterpret_cast<uintptr_t>(byOrdinal));
    module.Unload();
}

TEST(WineLoader, EverySortedNameIsFoundAndCaseMatters)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    const char* names[] = {"CdeclSum10", "CdeclSum2", "CdeclSum6", "OrdinalSlot", "ProcessIdByName",
                           "ReadThroughPointer", "ScreenWidthByName", "Sum0", "Sum10", "Sum2", "Sum6",
                           "ValueAddress"};
    for (const char* name : names) {
        const uint64_t proc = module.GetProc(name);
        EXPECT_GT(proc, module.Handle()) << name;
        EXPECT_LT(proc, module.Handle() + kRegionSize) << name;
    }
    EXPECT_EQ(module.GetProc("sum0"), 0u);
    EXPECT_EQ(module.GetProc("SUM2"), 0u);
    EXPECT_EQ(module.GetProc("LibraryEntry"), 0u);
    module.Unload();
}

TEST(WineLoader, APermutedOrdinalTableIsFollowed)
{
    std::vector<uint8_t> bytes = Bytes(MmLibraryImage);
    ASSERT_TRUE(SwapExportOrdinals(bytes, "Sum0", "Sum2"));
    MemoryModule module;
    ASSERT_TRUE(module.Load(OwnedByteBuffer(bytes).get()));
    EXPECT_EQ(Call(module.GetProc("Sum0"), 3, 5), Fold({3, 5}));
    EXPECT_EQ(Call(module.GetProc("Sum2"), 3, 5), 0x600Du);
    module.Unload();
}

TEST(WineLoader, AbsoluteAddressesWorkWhenThePreferredBaseIsTaken)
{
    HeldRange taken(kLibraryBase);
    ASSERT_TRUE(taken.held());
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    EXPECT_NE(module.Handle(), kLibraryBase);
    EXPECT_EQ(Call(module.GetProc("ReadThroughPointer")), static_cast<uint32_t>(kAbsoluteValue));
    const uint64_t value = CallForAddress(module.GetProc("ValueAddress"));
    EXPECT_GT(value, module.Handle());
    EXPECT_LT(value, module.Handle() + kRegionSize);
    module.Unload();
}

TEST(WineLoader, ThePreferredBaseIsUsedWhenFree)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    EXPECT_EQ(module.Handle(), kLibraryBase);
    EXPECT_EQ(Call(module.GetProc("ReadThroughPointer")), static_cast<uint32_t>(kAbsoluteValue));
    module.Unload();
    EXPECT_TRUE(IsFree(kLibraryBase));
}

TEST(WineLoader, EntryPointSeesAttachThenDetachOnUnloadAndReloadWorks)
{
    EntryLog log{};
    const OwnedByteBuffer image(WithEntry(MmLibraryImage, 1, &log));
    MemoryModule module;
    ASSERT_TRUE(module.Load(image.get()));
    ASSERT_EQ(log.count, 1u);
    ExpectCall(log, 0, DLL_PROCESS_ATTACH);
    EXPECT_EQ(module.EntryPoint(), module.Handle() + EntryAddressOf(MmLibraryImage));

    module.Unload();
    ASSERT_EQ(log.count, 2u);
    ExpectCall(log, 1, DLL_PROCESS_DETACH);
    EXPECT_EQ(module.Handle(), 0u);
    EXPECT_EQ(module.GetProc("Sum0"), 0u);
    EXPECT_EQ(module.EntryPoint(), 0u);

    module.Unload();
    EXPECT_EQ(log.count, 2u);

    ASSERT_TRUE(module.Load(image.get()));
    EXPECT_EQ(log.count, 3u);
    EXPECT_EQ(Call(module.GetProc("Sum0")), 0x600Du);
    module.Unload();
}

TEST(WineLoader, AnEntryPointReturningZeroIsDetachedAndTheImageReleased)
{
    EntryLog log{};
    CountingLoader counting;
    MemoryModule module(counting);
    EXPECT_FALSE(module.Load(OwnedByteBuffer(WithEntry(MmLibraryImage, 0, &log)).get()));
    ASSERT_EQ(log.count, 2u);
    ExpectCall(log, 0, DLL_PROCESS_ATTACH);
    ExpectCall(log, 1, DLL_PROCESS_DETACH);
    EXPECT_EQ(counting.allocations, 1);
    EXPECT_EQ(counting.frees, 1);
    EXPECT_EQ(module.Handle(), 0u);
    EXPECT_TRUE(IsFree(kLibraryBase));
}

TEST(WineLoader, ASecondLoadFailsAndLeavesTheFirstWorking)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmLibraryImage));
    const uint64_t handle = module.Handle();
    EXPECT_FALSE(module.Load(MmNoRelocsImage));
    EXPECT_FALSE(module.Load(MmLibraryImage));
    EXPECT_EQ(module.Handle(), handle);
    EXPECT_EQ(Call(module.GetProc("Sum2"), 1, 1), Fold({1, 1}));
    EXPECT_TRUE(IsFree(kNoRelocsBase));
    module.Unload();
}

TEST(WineLoader, AnImageWithoutTheDllFlagLoadsWithoutItsEntryPoint)
{
    EntryLog log{};
    MemoryModule module;
    ASSERT_TRUE(module.Load(OwnedByteBuffer(WithEntry(MmNotDllImage, 1, &log)).get()));
    EXPECT_EQ(Call(module.GetProc("ReadThroughPointer")), static_cast<uint32_t>(kAbsoluteValue));
    module.Unload();
    EXPECT_EQ(log.count, 0u);
}

TEST(WineLoader, AnImageWithoutRelocationsLoadsOnlyAtItsPreferredBase)
{
    {
        MemoryModule module;
        ASSERT_TRUE(module.Load(MmNoRelocsImage));
        EXPECT_EQ(module.Handle(), kNoRelocsBase);
        EXPECT_EQ(Call(module.GetProc("ReadThroughPointer")), static_cast<uint32_t>(kAbsoluteValue));
        module.Unload();
    }
    HeldRange taken(kNoRelocsBase);
    ASSERT_TRUE(taken.held());
    CountingLoader counting;
    MemoryModule module(counting);
    EXPECT_FALSE(module.Load(MmNoRelocsImage));
    EXPECT_EQ(counting.allocations, 2);
    EXPECT_EQ(counting.frees, 1);
    EXPECT_EQ(module.Handle(), 0u);
}

TEST(WineLoader, HeaderRefusalsHappenBeforeAnyReservation)
{
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> apply;
    };
    auto nt = [](std::vector<uint8_t>& b) {
        int32_t at;
        std::memcpy(&at, b.data() + 60, 4);
        return static_cast<size_t>(at);
    };
    auto put16 = [](std::vector<uint8_t>& b, size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); };
    auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
    // The other architecture's values: what a build for it would carry.
    constexpr bool k64 = sizeof(void*) == 8;
    constexpr uint16_t kOtherMachine = k64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    constexpr uint16_t kOtherMagic = k64 ? IMAGE_NT_OPTIONAL_HDR32_MAGIC : IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    constexpr uint16_t kOtherOptionalSize = k64 ? sizeof(IMAGE_OPTIONAL_HEADER32) : sizeof(IMAGE_OPTIONAL_HEADER64);
    constexpr size_t kSectionTable = sizeof(IMAGE_NT_HEADERS);
    const Case cases[] = {
        {"shorter than 64 bytes", [](auto& b) { b.resize(63); }},
        {"DOS magic", [&](auto& b) { put16(b, 0, 0x4D5A); }},
        {"negative e_lfanew", [&](auto& b) { put32(b, 60, 0x80000000); }},
        {"shorter than the NT headers", [&](auto& b) { b.resize(nt(b) + sizeof(IMAGE_NT_HEADERS) - 1); }},
        {"NT signature", [&](auto& b) { put32(b, nt(b), 0x00014550); }},
        {"no executable-image flag", [&](auto& b) { put16(b, nt(b) + 22, IMAGE_FILE_DLL); }},
        {"the other architecture's optional header size", [&](auto& b) { put16(b, nt(b) + 20, kOtherOptionalSize); }},
        {"the other architecture's machine", [&](auto& b) { put16(b, nt(b) + 4, kOtherMachine); }},
        {"the other architecture's magic", [&](auto& b) { put16(b, nt(b) + 24, kOtherMagic); }},
        {"section data past the buffer",
         [&](auto& b) { put32(b, nt(b) + kSectionTable + 20, uint32_t(b.size())); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = Bytes(MmLibraryImage);
        c.apply(bytes);
        CountingLoader counting;
        MemoryModule module(counting);
        EXPECT_FALSE(module.Load(OwnedByteBuffer(bytes).get())) << c.what;
        EXPECT_EQ(counting.allocations, 0) << c.what;
    }
    CountingLoader counting;
    MemoryModule module(counting);
    EXPECT_TRUE(module.Load(MmLibraryImage));
    EXPECT_EQ(counting.allocations, 1);
    module.Unload();
}

TEST(WineLoader, TlsCallbacksOfAMinGWImageRunBeforeItsEntryPointBothWays)
{
    EntryLog log{};
    const OwnedByteBuffer image(WithEntry(MmTlsImage, 1, &log));
    MemoryModule module;
    ASSERT_TRUE(module.Load(image.get()));
    const std::vector<std::pair<uint32_t, uint32_t>> attach = {
        {kFirstCallback, DLL_PROCESS_ATTACH}, {kSecondCallback, DLL_PROCESS_ATTACH}, {kEntry, DLL_PROCESS_ATTACH}};
    EXPECT_EQ(CallsOf(log), attach);
    EXPECT_EQ(Call(module.GetProc("TlsLibraryAnswer")), kTlsAnswer);
    module.Unload();
    std::vector<std::pair<uint32_t, uint32_t>> both = attach;
    both.insert(both.end(), {{kFirstCallback, DLL_PROCESS_DETACH},
                             {kSecondCallback, DLL_PROCESS_DETACH},
                             {kEntry, DLL_PROCESS_DETACH}});
    EXPECT_EQ(CallsOf(log), both);
    for (uint32_t i = 0; i < log.count; ++i) {
        EXPECT_EQ(log.calls[i].handle, 0u) << i;
        EXPECT_EQ(log.calls[i].reserved, 0u) << i;
    }
}

TEST(WineLoader, TlsCallbacksAreDetachedWhenTheEntryPointRefuses)
{
    EntryLog log{};
    MemoryModule module;
    EXPECT_FALSE(module.Load(OwnedByteBuffer(WithEntry(MmTlsImage, 0, &log)).get()));
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {kFirstCallback, DLL_PROCESS_ATTACH}, {kSecondCallback, DLL_PROCESS_ATTACH}, {kEntry, DLL_PROCESS_ATTACH},
        {kFirstCallback, DLL_PROCESS_DETACH}, {kSecondCallback, DLL_PROCESS_DETACH}, {kEntry, DLL_PROCESS_DETACH}};
    EXPECT_EQ(CallsOf(log), expected);
}

TEST(WineLoader, AForwardedExportIsTheAddressOfItsTextInTheExportDirectory)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmTlsImage));
    const IMAGE_DATA_DIRECTORY exports =
        NtHeadersOf(MmTlsImage.bytes()).OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const uint64_t proc = module.GetProc("ForwardedProcessId");
    EXPECT_GE(proc, module.Handle() + exports.VirtualAddress);
    EXPECT_LT(proc, module.Handle() + exports.VirtualAddress + exports.Size);
    const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(proc));
    EXPECT_STREQ(text, "kernel32.GetCurrentProcessId");
    module.Unload();
}

}  // namespace
