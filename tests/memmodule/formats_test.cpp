// The load path over both image formats, PE32 and PE32+, each on a platform of its
// own format: relocation width, thunk width, TLS callbacks, the function table,
// refusal of the other format, and 64-bit addresses above 4 GiB.
#include <gtest/gtest.h>

#include <functional>

#include "memmodule/memory_module.h"
#include "tests/memmodule/fake_loader.h"
#include "tests/memmodule/pe_builder.h"

// Names a test's format in gtest's output.
void PrintTo(ImageFormat format, std::ostream* out) { *out << (format == ImageFormat::Pe32Plus ? "PE32+" : "PE32"); }

namespace {

constexpr uint32_t kText = 0x1000;
constexpr uint32_t kData = 0x2000;
constexpr uint32_t kImageEnd = 0x3000;
// Offsets inside .data.
constexpr size_t kMoved = 0x000, kPadded = 0x020, kOtherType = 0x040;
constexpr size_t kDescriptors = 0x100, kNameThunks = 0x180, kOrdinalThunks = 0x1C0;
constexpr size_t kRelocations = 0x300, kExports = 0x400, kTls = 0x600, kCallbackList = 0x680;
constexpr size_t kFunctionTable = 0x800;
constexpr uint32_t kFirstCallback = kText + 0x10, kSecondCallback = kText + 0x20;
constexpr uint32_t kFunctionEntries = 3;
constexpr uint32_t kSentinel = 0x5A5A5A5A;
constexpr uint16_t kUserOrdinal = 0x1234;
constexpr uint16_t kTypeShift = 12;

struct Addresses {
    uint64_t kernel32, getTickCount, user32, byOrdinal;
};
// Library and function addresses as each platform would give them.
Addresses AddressesFor(ImageFormat format)
{
    if (format == ImageFormat::Pe32Plus)
        return {0x7FF810000000, 0x7FF810001230, 0x7FF820000000, 0x7FF820004560};
    return {0x70000000, 0x70001230, 0x71000000, 0x71004560};
}

ImageFormat Other(ImageFormat format)
{
    return format == ImageFormat::Pe32Plus ? ImageFormat::Pe32 : ImageFormat::Pe32Plus;
}

// .text at 0x1000 (entry at its start), .data at 0x2000 with relocation targets,
// imports, relocations, exports, a TLS directory with two callbacks and a function
// table; every absolute address in it is covered by a relocation entry.
struct FormatImage {
    ImageFormat format;
    PeBuilder pe;
    uint32_t width;

    std::vector<uint8_t>& data() { return pe.sections[1].data; }
    uint64_t Preferred() const { return pe.nt.OptionalHeader.ImageBase; }
    void Pointer(size_t offset, uint64_t value) { PutPointer(data(), offset, value, format); }

    explicit FormatImage(ImageFormat f) : format(f), pe(f), width(TraitsOf(f).pointerSize)
    {
        pe.nt.OptionalHeader.AddressOfEntryPoint = kText;
        pe.AddSection(kText, 0x200, std::vector<uint8_t>(0x200, 0xC3));
        pe.AddSection(kData, 0x1000, std::vector<uint8_t>(0x1000));
        Pointer(kMoved, Preferred() + kData + 0x100);
        Put32(data(), kMoved + width, kSentinel);
        Pointer(kPadded, Preferred() + kData);
        Pointer(kOtherType, Preferred() + kData);

        Put32(data(), kDescriptors + 12, kData + 0x200);
        Put32(data(), kDescriptors + 16, kData + kNameThunks);
        Put32(data(), kDescriptors + 20 + 12, kData + 0x210);
        Put32(data(), kDescriptors + 20 + 16, kData + kOrdinalThunks);
        Pointer(kNameThunks, kData + 0x240);
        Pointer(kOrdinalThunks, TraitsOf(format).ordinalFlag | kUserOrdinal);
        PutText(data(), 0x200, "KERNEL32.dll");
        PutText(data(), 0x210, "USER32.dll");
        PutText(data(), 0x242, "GetTickCount");
        pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT, kData + kDescriptors, 3 * 20);

        // The TLS directory: its callback list address and the list itself are absolute.
        const size_t callbacksField = kTls + 3 * width;
        Pointer(callbacksField, Preferred() + kData + kCallbackList);
        Pointer(kCallbackList, Preferred() + kFirstCallback);
        Pointer(kCallbackList + width, Preferred() + kSecondCallback);
        pe.Directory(IMAGE_DIRECTORY_ENTRY_TLS, kData + kTls, format == ImageFormat::Pe32Plus ? 40 : 24);

        for (uint32_t i = 0; i < kFunctionEntries; ++i) {
            Put32(data(), kFunctionTable + 12 * i, kText + 0x10 * i);
            Put32(data(), kFunctionTable + 12 * i + 4, kText + 0x10 * i + 0x10);
            Put32(data(), kFunctionTable + 12 * i + 8, kData + 0x900);
        }
        pe.Directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION, kData + kFunctionTable, 12 * kFunctionEntries);

        const uint16_t own = TraitsOf(format).relocationType << kTypeShift;
        const uint16_t other = TraitsOf(Other(format)).relocationType << kTypeShift;
        RelocationBlock(kRelocations, kData,
                        {uint16_t(own | kMoved), uint16_t(IMAGE_REL_BASED_ABSOLUTE << kTypeShift | kPadded),
                         uint16_t(other | kOtherType), uint16_t(own | callbacksField),
                         uint16_t(own | kCallbackList), uint16_t(own | (kCallbackList + width))});
        pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC, kData + kRelocations, 0x20);

        PutExports(data(), kData, kExports, ExportTable{{0x1010, 0x1020}, {"Alpha", "Beta"}, {0, 1}});
        pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT, kData + kExports, 0x100);
    }

    void RelocationBlock(size_t offset, uint32_t page, std::vector<uint16_t> entries)
    {
        entries.resize((entries.size() + 1) / 2 * 2);  // blocks are padded to 4 bytes
        Put32(data(), offset, page);
        Put32(data(), offset + 4, static_cast<uint32_t>(8 + 2 * entries.size()));
        for (size_t i = 0; i < entries.size(); ++i)
            Put16(data(), offset + 8 + 2 * i, entries[i]);
    }
};

// One image and a platform of the same format, with the libraries the image imports.
struct FormatCase {
    FakeLoader loader;
    MemoryModule module{loader};
    FormatImage image;
    Addresses procs;

    explicit FormatCase(ImageFormat format) : loader(format), image(format), procs(AddressesFor(format))
    {
        loader.loaded["KERNEL32.dll"] = procs.kernel32;
        loader.loadable["USER32.dll"] = procs.user32;
        loader.procsByName[{procs.kernel32, "GetTickCount"}] = procs.getTickCount;
        loader.procsByOrdinal[{procs.user32, kUserOrdinal}] = procs.byOrdinal;
    }
    bool Load() { return module.Load(OwnedByteBuffer(image.pe.Build()).get()); }
    uint64_t MappedPointer(uint32_t rva) const
    {
        uint64_t v = 0;
        std::memcpy(&v, loader.Block()->data() + rva, image.width);
        return v;
    }
    uint32_t Mapped32(uint32_t rva) const
    {
        uint32_t v = 0;
        std::memcpy(&v, loader.Block()->data() + rva, sizeof v);
        return v;
    }
};

std::string FormatName(const ::testing::TestParamInfo<ImageFormat>& info)
{
    return info.param == ImageFormat::Pe32Plus ? "Pe32Plus" : "Pe32";
}

struct BothFormats : ::testing::TestWithParam<ImageFormat>, FormatCase {
    BothFormats() : FormatCase(GetParam()) {}
};

using FormatRelocation = BothFormats;
using FormatImports = BothFormats;
using TlsCallbacks = BothFormats;
using FunctionTable = BothFormats;
using FormatCheck = BothFormats;

TEST_P(FormatRelocation, TheFormatsOwnTypeMovesOnePointerWidthAndNothingElseMoves)
{
    loader.preferredFree = false;
    ASSERT_TRUE(Load());
    const uint64_t base = loader.Elsewhere();
    ASSERT_EQ(module.Handle(), base);
    const uint64_t preferred = image.Preferred();
    EXPECT_EQ(MappedPointer(kData + kMoved), base + kData + 0x100);
    EXPECT_EQ(Mapped32(kData + kMoved + image.width), kSentinel) << "wrote past one pointer";
    EXPECT_EQ(MappedPointer(kData + kPadded), preferred + kData) << "an ABSOLUTE entry moved";
    EXPECT_EQ(MappedPointer(kData + kOtherType), preferred + kData) << "the other format's type moved";
}

TEST_P(FormatRelocation, AtThePreferredBaseNothingMoves)
{
    ASSERT_TRUE(Load());
    EXPECT_EQ(module.Handle(), image.Preferred());
    EXPECT_EQ(MappedPointer(kData + kMoved), image.Preferred() + kData + 0x100);
}

TEST_P(FormatImports, BoundByNameAndByOrdinalIntoPointerSizedThunks)
{
    ASSERT_TRUE(Load());
    EXPECT_EQ(MappedPointer(kData + kNameThunks), procs.getTickCount);
    EXPECT_EQ(MappedPointer(kData + kNameThunks + image.width), 0u);
    EXPECT_EQ(MappedPointer(kData + kOrdinalThunks), procs.byOrdinal);
    EXPECT_EQ(loader.loadRequests, std::vector<std::string>{"USER32.dll"});
}

TEST_P(FormatImports, AThunkWithOnlyTheOtherFormatsOrdinalBitIsANameAndFails)
{
    image.Pointer(kOrdinalThunks, TraitsOf(Other(GetParam())).ordinalFlag | kUserOrdinal);
    EXPECT_FALSE(Load());
    EXPECT_EQ(loader.frees.size(), 1u);
    EXPECT_TRUE(loader.calls.empty());
}

TEST_P(TlsCallbacks, RunInOrderBeforeTheEntryPointAndAgainBeforeItsDetach)
{
    for (bool preferredFree : {true, false}) {
        FormatCase f(GetParam());
        f.loader.preferredFree = preferredFree;
        ASSERT_TRUE(f.Load()) << preferredFree;
        const uint64_t base = f.module.Handle();
        ASSERT_EQ(f.loader.calls.size(), 3u) << preferredFree;
        EXPECT_EQ(f.loader.calls[0].code, base + kFirstCallback) << preferredFree;
        EXPECT_EQ(f.loader.calls[1].code, base + kSecondCallback) << preferredFree;
        EXPECT_EQ(f.loader.calls[2].code, base + kText) << preferredFree;
        for (const FakeLoader::Call& call : f.loader.calls) {
            EXPECT_EQ(call.a1, 0u);
            EXPECT_EQ(call.a2, DLL_PROCESS_ATTACH);
            EXPECT_EQ(call.a3, 0u);
        }
        f.module.Unload();
        ASSERT_EQ(f.loader.calls.size(), 6u) << preferredFree;
        EXPECT_EQ(f.loader.calls[3].code, base + kFirstCallback) << preferredFree;
        EXPECT_EQ(f.loader.calls[4].code, base + kSecondCallback) << preferredFree;
        EXPECT_EQ(f.loader.calls[5].code, base + kText) << preferredFree;
        for (size_t i = 3; i < 6; ++i)
            EXPECT_EQ(f.loader.calls[i].a2, DLL_PROCESS_DETACH) << i;
    }
}

TEST_P(TlsCallbacks, ARefusedAttachDetachesTheCallbacksThenTheEntryPoint)
{
    loader.entryResult = 0;
    EXPECT_FALSE(Load());
    const uint64_t base = image.Preferred();
    const std::vector<std::pair<uint64_t, uint32_t>> expected = {
        {base + kFirstCallback, DLL_PROCESS_ATTACH},  {base + kSecondCallback, DLL_PROCESS_ATTACH},
        {base + kText, DLL_PROCESS_ATTACH},           {base + kFirstCallback, DLL_PROCESS_DETACH},
        {base + kSecondCallback, DLL_PROCESS_DETACH}, {base + kText, DLL_PROCESS_DETACH}};
    std::vector<std::pair<uint64_t, uint32_t>> seen;
    for (const FakeLoader::Call& call : loader.calls)
        seen.push_back({call.code, call.a2});
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(loader.frees, std::vector<uint64_t>{base});
}

TEST_P(TlsCallbacks, AListOrCallbackOutsideTheImageRefusesTheLoadBeforeAnyCall)
{
    struct Case {
        const char* what;
        std::function<void(FormatImage&)> apply;
    };
    const Case cases[] = {
        {"list below the image", [](FormatImage& i) { i.Pointer(kTls + 3 * i.width, i.Preferred() - 8); }},
        {"list past the image", [](FormatImage& i) { i.Pointer(kTls + 3 * i.width, i.Preferred() + kImageEnd); }},
        {"callback past the image",
         [](FormatImage& i) { i.Pointer(kCallbackList + i.width, i.Preferred() + kImageEnd); }},
        {"callback below the image", [](FormatImage& i) { i.Pointer(kCallbackList, i.Preferred() - 0x10); }},
        {"list without its 0 before the image end",
         [](FormatImage& i) {
             const size_t last = 0x1000 - i.width;
             i.Pointer(kTls + 3 * i.width, i.Preferred() + kData + last);
             i.Pointer(last, i.Preferred() + kFirstCallback);
         }},
        {"directory past the image",
         [](FormatImage& i) { i.pe.Directory(IMAGE_DIRECTORY_ENTRY_TLS, kImageEnd - 8, 24); }},
    };
    for (const Case& c : cases) {
        FormatCase f(GetParam());
        c.apply(f.image);
        EXPECT_FALSE(f.Load()) << c.what;
        EXPECT_TRUE(f.loader.calls.empty()) << c.what;
        EXPECT_EQ(f.loader.frees.size(), 1u) << c.what;
        EXPECT_EQ(f.loader.tablesAdded.size(), f.loader.tablesDeleted.size()) << c.what;
        EXPECT_EQ(f.module.Handle(), 0u) << c.what;
    }
}

TEST_P(TlsCallbacks, AnImageWithoutCallbacksCallsOnlyItsEntryPoint)
{
    image.Pointer(kTls + 3 * image.width, 0);
    ASSERT_TRUE(Load());
    ASSERT_EQ(loader.calls.size(), 1u);
    EXPECT_EQ(loader.calls[0].code, image.Preferred() + kText);
}

TEST_P(FunctionTable, RegisteredBeforeAnyCodeRunsAndRemovedOnUnloadBeforeTheRelease)
{
    loader.preferredFree = false;
    ASSERT_TRUE(Load());
    const uint64_t base = loader.Elsewhere();
    ASSERT_EQ(loader.tablesAdded.size(), 1u);
    EXPECT_EQ(loader.tablesAdded[0].table, base + kData + kFunctionTable);
    EXPECT_EQ(loader.tablesAdded[0].count, kFunctionEntries);
    EXPECT_EQ(loader.tablesAdded[0].base, base);
    EXPECT_EQ(loader.events, (std::vector<std::string>{"add table", "call", "call", "call"}));
    module.Unload();
    EXPECT_EQ(loader.tablesDeleted, std::vector<uint64_t>{base + kData + kFunctionTable});
    EXPECT_EQ(std::vector<std::string>(loader.events.begin() + 4, loader.events.end()),
              (std::vector<std::string>{"call", "call", "call", "delete table", "free"}));
}

TEST_P(FunctionTable, RemovedWhenTheEntryPointRefuses)
{
    loader.entryResult = 0;
    EXPECT_FALSE(Load());
    EXPECT_EQ(loader.tablesDeleted, std::vector<uint64_t>{image.Preferred() + kData + kFunctionTable});
    ASSERT_GE(loader.events.size(), 2u);
    EXPECT_EQ(loader.events.front(), "add table");
    EXPECT_EQ(*(loader.events.end() - 2), "delete table");
    EXPECT_EQ(loader.events.back(), "free");
}

TEST_P(FunctionTable, WholeEntriesOnlyAndNoneWhenTheDirectoryIsEmpty)
{
    FormatCase partial(GetParam());
    partial.image.pe.Directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION, kData + kFunctionTable, 12 * 2 + 11);
    ASSERT_TRUE(partial.Load());
    ASSERT_EQ(partial.loader.tablesAdded.size(), 1u);
    EXPECT_EQ(partial.loader.tablesAdded[0].count, 2u);

    FormatCase none(GetParam());
    none.image.pe.Directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION, kData + kFunctionTable, 11);
    ASSERT_TRUE(none.Load());
    EXPECT_TRUE(none.loader.tablesAdded.empty());
    none.module.Unload();
    EXPECT_TRUE(none.loader.tablesDeleted.empty());
}

TEST_P(FunctionTable, OutsideTheImageOrRefusedByThePlatformFailsCleanly)
{
    FormatCase outside(GetParam());
    outside.image.pe.Directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION, kImageEnd - 12, 24);
    EXPECT_FALSE(outside.Load());
    EXPECT_TRUE(outside.loader.tablesAdded.empty());
    EXPECT_TRUE(outside.loader.calls.empty());
    EXPECT_EQ(outside.loader.frees.size(), 1u);

    FormatCase refused(GetParam());
    refused.loader.addTableResult = false;
    EXPECT_FALSE(refused.Load());
    EXPECT_TRUE(refused.loader.calls.empty());
    EXPECT_TRUE(refused.loader.tablesDeleted.empty());
    EXPECT_EQ(refused.loader.frees.size(), 1u);
}

TEST_P(FormatCheck, AnImageOfTheOtherFormatIsRefusedBeforeAnyReservation)
{
    const ImageFormat other = Other(GetParam());
    struct Case {
        const char* what;
        std::function<void(PeBuilder&)> apply;
    };
    const Case cases[] = {
        {"the other format's image", [](PeBuilder&) {}},
        {"only its machine", [other](PeBuilder& pe) { pe.nt.FileHeader.Machine = TraitsOf(other).machine; }},
        {"only its magic", [other](PeBuilder& pe) { pe.nt.OptionalHeader.Magic = TraitsOf(other).magic; }},
        {"only its optional header size",
         [other](PeBuilder& pe) { pe.nt.FileHeader.SizeOfOptionalHeader = TraitsOf(other).optionalHeaderSize; }},
    };
    for (const Case& c : cases) {
        const bool whole = std::string(c.what) == "the other format's image";
        FormatImage offered(whole ? other : GetParam());
        c.apply(offered.pe);
        FakeLoader platform(GetParam());
        MemoryModule module(platform);
        EXPECT_FALSE(module.Load(OwnedByteBuffer(offered.pe.Build()).get())) << c.what;
        EXPECT_TRUE(platform.allocations.empty()) << c.what;
        EXPECT_TRUE(platform.calls.empty()) << c.what;
        EXPECT_EQ(module.Handle(), 0u) << c.what;
    }
}

TEST_P(FormatCheck, ExportsAndTheEntryPointAreBasePlusTheirAddressAtFullWidth)
{
    ASSERT_TRUE(Load());
    const uint64_t base = image.Preferred();
    EXPECT_EQ(module.GetProc("Alpha"), base + 0x1010);
    EXPECT_EQ(module.GetProc("Beta"), base + 0x1020);
    EXPECT_EQ(module.EntryPoint(), base + kText);
}

INSTANTIATE_TEST_SUITE_P(, FormatRelocation, ::testing::Values(ImageFormat::Pe32, ImageFormat::Pe32Plus), FormatName);
INSTANTIATE_TEST_SUITE_P(, FormatImports, ::testing::Values(ImageFormat::Pe32, ImageFormat::Pe32Plus), FormatName);
INSTANTIATE_TEST_SUITE_P(, TlsCallbacks, ::testing::Values(ImageFormat::Pe32, ImageFormat::Pe32Plus), FormatName);
INSTANTIATE_TEST_SUITE_P(, FunctionTable, ::testing::Values(ImageFormat::Pe32, ImageFormat::Pe32Plus), FormatName);
INSTANTIATE_TEST_SUITE_P(, FormatCheck, ::testing::Values(ImageFormat::Pe32, ImageFormat::Pe32Plus), FormatName);

TEST(Pe32Plus, ExportsAboveFourGiBKeepTheirHighBits)
{
    FormatCase f(ImageFormat::Pe32Plus);
    f.loader.preferredFree = false;
    ASSERT_TRUE(f.Load());
    ASSERT_EQ(f.module.Handle(), FakeLoader::kElsewhere64);
    EXPECT_EQ(f.module.GetProc("Beta"), FakeLoader::kElsewhere64 + 0x1020);
    EXPECT_GT(f.module.GetProc("Beta"), uint64_t{0xFFFFFFFF});
}

}  // namespace
