// The load path over a hand-built image and the fake platform: relocation,
// import binding, the entry point calls, export lookup and the object's lifecycle.
#include <gtest/gtest.h>

#include "memmodule/memory_module.h"
#include "tests/memmodule/fake_loader.h"
#include "tests/memmodule/pe_builder.h"

namespace {

constexpr uint32_t kPreferred = 0x10000000;
constexpr uint32_t kText = 0x1000;
constexpr uint32_t kData = 0x2000;
constexpr uint32_t kImageEnd = 0x3000;
constexpr uint32_t kImports = kData + 0x100;
constexpr uint32_t kRelocations = kData + 0x300;
constexpr uint32_t kExports = kData + 0x400;
constexpr uint32_t kKernel32 = 0x7000, kGetTickCount = 0x7001, kSleep = 0x7002;
constexpr uint32_t kUser32 = 0x7100, kUserOrdinal = 0x1234, kUserByOrdinal = 0x7101;
constexpr uint16_t kHighLow = 0x3000, kAbsolute = 0x0000, kDir64 = 0xA000;

// .text at 0x1000 (entry at its start), .data at 0x2000 holding relocation
// targets, imports from two libraries, a relocation table and three exports.
struct TestImage {
    PeBuilder pe;
    std::vector<uint8_t>& data() { return pe.sections[1].data; }

    TestImage()
    {
        pe.nt.OptionalHeader.AddressOfEntryPoint = kText;
        pe.AddSection(kText, 0x200, std::vector<uint8_t>(0x200, 0xC3));
        pe.AddSection(kData, 0x1000, std::vector<uint8_t>(0x1000));
        std::vector<uint8_t>& d = data();
        Put32(d, 0x000, kPreferred + kData + 0x100);  // an absolute address
        Put32(d, 0x004, 0x11111111);
        Put32(d, 0x008, 0x22222222);

        Import(0, 0x200, 0x180);
        Import(1, 0x210, 0x190);
        Put32(d, 0x100 + 2 * 20 + 12, kData + 0x200);  // ends at FirstThunk 0 despite a Name
        Put32(d, 0x180, kData + 0x240);
        Put32(d, 0x184, kData + 0x260);
        Put32(d, 0x190, IMAGE_ORDINAL_FLAG32 | kUserOrdinal);
        PutText(d, 0x200, "KERNEL32.dll");
        PutText(d, 0x210, "USER32.dll");
        PutText(d, 0x242, "GetTickCount");
        PutText(d, 0x262, "Sleep");
        pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT, kImports, 3 * 20);

        RelocationBlock(0x300, kData, {uint16_t(kHighLow | 0x000), uint16_t(kAbsolute | 0x004),
                                       uint16_t(kDir64 | 0x008), 0});
        pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC, kRelocations, 0x18);

        Exports({0, 1, 2});
    }

    void Import(int index, uint32_t name, uint32_t thunks)
    {
        Put32(data(), 0x100 + 20 * index + 12, kData + name);
        Put32(data(), 0x100 + 20 * index + 16, kData + thunks);
    }
    void RelocationBlock(size_t offset, uint32_t page, const std::vector<uint16_t>& entries)
    {
        Put32(data(), offset, page);
        Put32(data(), offset + 4, static_cast<uint32_t>(8 + 2 * entries.size()));
        for (size_t i = 0; i < entries.size(); ++i)
            Put16(data(), offset + 8 + 2 * i, entries[i]);
    }
    void Exports(const std::vector<uint16_t>& ordinals)
    {
        PutExports(data(), kData, 0x400, ExportTable{{0x1010, 0x1020, 0x1030}, {"Alpha", "Beta", "Gamma"}, ordinals});
        pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT, kExports, 0x100);
    }
    uint32_t NamePointerTable() { uint32_t v; std::memcpy(&v, data().data() + 0x400 + 32, 4); return v - kData; }

    std::vector<uint8_t> Build() const { return pe.Build(); }
};

// The fake's libraries for TestImage, the module and the image, for one load.
struct LoadCase {
    FakeLoader loader;
    MemoryModule module{loader};
    TestImage image;

    LoadCase()
    {
        loader.loaded["KERNEL32.dll"] = kKernel32;
        loader.loadable["USER32.dll"] = kUser32;
        loader.procsByName[{kKernel32, "GetTickCount"}] = kGetTickCount;
        loader.procsByName[{kKernel32, "Sleep"}] = kSleep;
        loader.procsByOrdinal[{kUser32, kUserOrdinal}] = kUserByOrdinal;
    }
    bool Load() { return module.Load(OwnedByteBuffer(image.Build()).get()); }
    uint32_t Mapped32(uint32_t rva)
    {
        uint32_t v = 0;
        std::memcpy(&v, loader.Block()->data() + rva, sizeof v);
        return v;
    }
};

struct Fixture : ::testing::Test, LoadCase {};

using Relocation = Fixture;
using Imports = Fixture;
using EntryPoint = Fixture;
using Exports = Fixture;
using Lifecycle = Fixture;

TEST_F(Relocation, RebasedImageHasOnlyHighLowEntriesMoved)
{
    loader.preferredFree = false;
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.Handle(), FakeLoader::kElsewhere);
    EXPECT_EQ(Mapped32(kData), FakeLoader::kElsewhere + kData + 0x100);
    EXPECT_EQ(Mapped32(kData + 4), 0x11111111u);
    EXPECT_EQ(Mapped32(kData + 8), 0x22222222u);
}

TEST_F(Relocation, AtThePreferredBaseNothingMoves)
{
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.Handle(), kPreferred);
    EXPECT_EQ(Mapped32(kData), kPreferred + kData + 0x100);
}

TEST_F(Relocation, MalformedBlocksEndTheWalk)
{
    const uint32_t sizes[] = {0, 4, 7, 0x7FFFFFF0};
    for (uint32_t size : sizes) {
        LoadCase f;
        f.image.RelocationBlock(0x300, kData, {uint16_t(kHighLow | 0x004)});
        Put32(f.image.data(), 0x304, size);
        f.image.RelocationBlock(0x310, kData, {uint16_t(kHighLow | 0x000)});
        f.loader.preferredFree = false;
        ASSERT_TRUE(f.Load()) << size;
        EXPECT_EQ(f.Mapped32(kData), kPreferred + kData + 0x100) << "a block after the bad one was applied, size " << size;
        EXPECT_EQ(f.Mapped32(kData + 4), 0x11111111u) << size;
    }
}

TEST_F(Relocation, TableWithoutTerminatorStopsAtTheImageEnd)
{
    loader.preferredFree = false;
    const size_t last = kImageEnd - kData - 16;
    image.RelocationBlock(last, kData, {uint16_t(kHighLow | 0x000), 0, 0, 0});
    image.pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC, kData + static_cast<uint32_t>(last), 16);
    ASSERT_TRUE(Load());
    EXPECT_EQ(Mapped32(kData), FakeLoader::kElsewhere + kData + 0x100);
}

TEST_F(Relocation, EntryWhoseTargetLeavesTheImageIsSkipped)
{
    loader.preferredFree = false;
    Put16(image.data(), 0xFFE, 0x1234);
    image.RelocationBlock(0x300, kData, {uint16_t(kHighLow | 0xFFE), uint16_t(kHighLow | 0x000)});
    ASSERT_TRUE(Load());
    uint16_t tail = 0;
    std::memcpy(&tail, loader.Block()->data() + kImageEnd - 2, 2);
    EXPECT_EQ(tail, 0x1234);
    EXPECT_EQ(Mapped32(kData), FakeLoader::kElsewhere + kData + 0x100);
}

TEST_F(Relocation, ImageWithoutRelocationsAwayFromItsBaseIsRefusedAndReleased)
{
    image.pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC, 0, 0);
    loader.preferredFree = false;
    EXPECT_FALSE(Load());
    EXPECT_EQ(loader.frees, std::vector<uint64_t>{FakeLoader::kElsewhere});
    EXPECT_TRUE(loader.calls.empty());
    EXPECT_EQ(module.Handle(), 0u);
}

TEST_F(Imports, BoundByNameAndByOrdinalFromTheThunkTable)
{
    ASSERT_TRUE(Load());
    EXPECT_EQ(Mapped32(kData + 0x180), kGetTickCount);
    EXPECT_EQ(Mapped32(kData + 0x184), kSleep);
    EXPECT_EQ(Mapped32(kData + 0x188), 0u);
    EXPECT_EQ(Mapped32(kData + 0x190), kUserByOrdinal);
    EXPECT_EQ(loader.loadRequests, std::vector<std::string>{"USER32.dll"});
}

TEST_F(Imports, EachUnresolvableImportRefusesTheLoadAndReleasesTheImage)
{
    struct Case {
        const char* what;
        std::function<void(LoadCase&)> apply;
    };
    const Case cases[] = {
        {"library not found", [](LoadCase& f) { f.loader.loadable.clear(); }},
        {"function by name not found", [](LoadCase& f) { f.loader.procsByName.erase({kKernel32, "Sleep"}); }},
        {"function by ordinal not found", [](LoadCase& f) { f.loader.procsByOrdinal.clear(); }},
        {"name outside the image", [](LoadCase& f) { Put32(f.image.data(), 0x184, 0x7FFFFFF0); }},
        {"name running off the end",
         [](LoadCase& f) {
             Put32(f.image.data(), 0x184, kImageEnd - 4);
             std::fill(f.image.data().end() - 4, f.image.data().end(), 'x');
         }},
        {"library name outside the image", [](LoadCase& f) { Put32(f.image.data(), 0x100 + 12, 0xFFFFFF00); }},
        {"thunks outside the image", [](LoadCase& f) { Put32(f.image.data(), 0x100 + 16, 0x80000000); }},
        {"descriptors outside the image",
         [](LoadCase& f) { f.image.pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT, kImageEnd - 8, 20); }},
    };
    for (const Case& c : cases) {
        LoadCase f;
        c.apply(f);
        EXPECT_FALSE(f.Load()) << c.what;
        EXPECT_EQ(f.loader.frees.size(), 1u) << c.what;
        EXPECT_TRUE(f.loader.calls.empty()) << c.what;
        EXPECT_EQ(f.module.Handle(), 0u) << c.what;
    }
}

TEST_F(EntryPoint, CalledOnceWithHandleZeroReasonAttach)
{
    ASSERT_TRUE(Load());
    ASSERT_EQ(loader.calls.size(), 1u);
    const FakeLoader::Call& call = loader.calls[0];
    EXPECT_EQ(call.code, kPreferred + kText);
    EXPECT_EQ(call.a1, 0u);
    EXPECT_EQ(call.a2, DLL_PROCESS_ATTACH);
    EXPECT_EQ(call.a3, 0u);
    EXPECT_EQ(module.EntryPoint(), kPreferred + kText);
}

TEST_F(EntryPoint, ARefusalIsDetachedAndReleased)
{
    loader.entryResult = 0;
    EXPECT_FALSE(Load());
    ASSERT_EQ(loader.calls.size(), 2u);
    EXPECT_EQ(loader.calls[1].code, kPreferred + kText);
    EXPECT_EQ(loader.calls[1].a2, DLL_PROCESS_DETACH);
    EXPECT_EQ(loader.frees, std::vector<uint64_t>{kPreferred});
    EXPECT_EQ(module.Handle(), 0u);
}

TEST_F(EntryPoint, NotCalledWithoutTheDllFlag)
{
    image.pe.nt.FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE;
    ASSERT_TRUE(Load());
    EXPECT_TRUE(loader.calls.empty());
    module.Unload();
    EXPECT_TRUE(loader.calls.empty());
}

TEST_F(EntryPoint, ADllWithEntryZeroOrOutsideTheImageIsRefused)
{
    for (uint32_t entry : {0u, kImageEnd, 0xFFFFFFF0u}) {
        LoadCase f;
        f.image.pe.nt.OptionalHeader.AddressOfEntryPoint = entry;
        EXPECT_FALSE(f.Load()) << entry;
        EXPECT_TRUE(f.loader.calls.empty()) << entry;
        EXPECT_EQ(f.loader.frees.size(), 1u) << entry;
    }
}

TEST_F(Exports, EverySortedNameGivesBasePlusItsFunction)
{
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.GetProc("Alpha"), kPreferred + 0x1010);
    EXPECT_EQ(module.GetProc("Beta"), kPreferred + 0x1020);
    EXPECT_EQ(module.GetProc("Gamma"), kPreferred + 0x1030);
    EXPECT_EQ(module.GetProc("alpha"), 0u);
    EXPECT_EQ(module.GetProc("Delta"), 0u);
    EXPECT_EQ(module.GetProc("Alph"), 0u);
    EXPECT_EQ(module.GetProc(""), 0u);
}

TEST_F(Exports, APermutedOrdinalTableIsFollowed)
{
    image.Exports({2, 0, 1});
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.GetProc("Alpha"), kPreferred + 0x1030);
    EXPECT_EQ(module.GetProc("Beta"), kPreferred + 0x1010);
    EXPECT_EQ(module.GetProc("Gamma"), kPreferred + 0x1020);
}

TEST_F(Exports, EachNamePointerIsReadOnItsOwn)
{
    const uint32_t table = image.NamePointerTable();
    uint32_t first = 0, last = 0;
    std::memcpy(&first, image.data().data() + table, 4);
    std::memcpy(&last, image.data().data() + table + 8, 4);
    Put32(image.data(), table, last);
    Put32(image.data(), table + 8, first);
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.GetProc("Gamma"), kPreferred + 0x1010);
    EXPECT_EQ(module.GetProc("Beta"), kPreferred + 0x1020);
    EXPECT_EQ(module.GetProc("Alpha"), kPreferred + 0x1030);
}

TEST_F(Exports, TablesOutsideTheImageGiveZero)
{
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        uint32_t alpha;  // what a lookup of the first name still gives
    };
    const size_t dir = 0x400;
    const Case cases[] = {
        {"ordinal past the function table", 0x400 + 40 + 12 + 12, 3, 0},
        {"function table outside", dir + 28, 0x7FFFFF00, 0},
        {"function count too large", dir + 20, 0x40000000, 0},
        {"name table outside", dir + 32, kImageEnd - 2, 0},
        {"ordinal table outside", dir + 36, 0xFFFFFFFE, 0},
        {"name pointer outside", 0x400 + 40 + 12, 0x90000000, 0},
        {"name count runs off", dir + 24, 0x40000000, kPreferred + 0x1010},
    };
    for (const Case& c : cases) {
        LoadCase f;
        if (c.offset == 0x400 + 40 + 12 + 12)
            Put16(f.image.data(), c.offset, static_cast<uint16_t>(c.value));
        else
            Put32(f.image.data(), c.offset, c.value);
        ASSERT_TRUE(f.Load()) << c.what;
        EXPECT_EQ(f.module.GetProc("Alpha"), c.alpha) << c.what;
        EXPECT_EQ(f.module.GetProc("Omega"), 0u) << c.what;
    }
    LoadCase f;
    f.image.pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT, kImageEnd - 20, 40);
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(f.module.GetProc("Alpha"), 0u);
}

TEST_F(Exports, NoExportDataGivesZero)
{
    image.pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT, kExports, 0);
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.GetProc("Alpha"), 0u);
}

TEST_F(Lifecycle, AnEmptyObjectAnswersZero)
{
    EXPECT_EQ(module.GetProc("Alpha"), 0u);
    EXPECT_EQ(module.EntryPoint(), 0u);
    EXPECT_EQ(module.Handle(), 0u);
    module.Unload();
    EXPECT_TRUE(loader.calls.empty());
    EXPECT_TRUE(loader.frees.empty());
}

TEST_F(Lifecycle, ASecondLoadFailsAndLeavesTheFirstWorking)
{
    ASSERT_TRUE(Load());
    TestImage other;
    other.Exports({1, 1, 1});
    EXPECT_FALSE(module.Load(OwnedByteBuffer(other.Build()).get()));
    EXPECT_EQ(loader.allocations.size(), 1u);
    EXPECT_EQ(loader.calls.size(), 1u);
    EXPECT_EQ(module.GetProc("Alpha"), kPreferred + 0x1010);
}

TEST_F(Lifecycle, UnloadDetachesOnceAndALaterLoadWorks)
{
    ASSERT_TRUE(Load());
    module.Unload();
    ASSERT_EQ(loader.calls.size(), 2u);
    EXPECT_EQ(loader.calls[1].code, kPreferred + kText);
    EXPECT_EQ(loader.calls[1].a1, 0u);
    EXPECT_EQ(loader.calls[1].a2, DLL_PROCESS_DETACH);
    EXPECT_EQ(loader.frees, std::vector<uint64_t>{kPreferred});
    EXPECT_EQ(module.Handle(), 0u);
    EXPECT_EQ(module.GetProc("Alpha"), 0u);
    module.Unload();
    EXPECT_EQ(loader.calls.size(), 2u);
    EXPECT_EQ(loader.frees.size(), 1u);
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.GetProc("Gamma"), kPreferred + 0x1030);
}

TEST_F(Lifecycle, ACopyDescribesTheSameImageWithItsOwnRecords)
{
    ASSERT_TRUE(Load());
    std::unique_ptr<MemoryModule> copy = module.Copy();
    EXPECT_EQ(copy->Handle(), module.Handle());
    EXPECT_EQ(copy->EntryPoint(), module.EntryPoint());
    module.ReleaseRecords();
    EXPECT_EQ(module.GetProc("Beta"), 0u);
    EXPECT_EQ(copy->GetProc("Beta"), kPreferred + 0x1020);
    EXPECT_TRUE(loader.frees.empty());
}

TEST(SectionCopy, StopsAtTheFirstSectionAtAddressZero)
{
    PeBuilder pe;
    pe.nt.FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE;
    pe.AddSection(0x1000, 0x200, std::vector<uint8_t>(0x200, 0xAA));
    pe.AddSection(0, 0x200, std::vector<uint8_t>(0x200, 0xBB));
    pe.AddSection(0x2000, 0x200, std::vector<uint8_t>(0x200, 0xCC));
    FakeLoader loader;
    MemoryModule module(loader);
    ASSERT_TRUE(module.Load(OwnedByteBuffer(pe.Build()).get()));
    const std::vector<uint8_t>& mapped = *loader.Block();
    EXPECT_EQ(mapped[0x1000], 0xAA);
    EXPECT_EQ(mapped[0x2000], 0x00);
    EXPECT_EQ(mapped[0x0], 'M');
}

}  // namespace
