// Header checks and size arithmetic over hand-built images: the image size rule,
// rounding, and every corrupted header refused before any memory is reserved.
#include <gtest/gtest.h>

#include <functional>

#include "memmodule/memory_module.h"
#include "tests/memmodule/fake_loader.h"
#include "tests/memmodule/pe_builder.h"

namespace {

constexpr size_t kNt = PeBuilder::kNtOffset;
constexpr size_t kCharacteristics = kNt + 4 + 18;
constexpr size_t kSizeOfOptionalHeader = kNt + 4 + 16;
constexpr size_t kNumberOfSections = kNt + 4 + 2;
constexpr size_t kSectionAlignment = kNt + 24 + 32;
constexpr size_t kSizeOfHeaders = kNt + 24 + 60;
constexpr size_t kVirtualSize = 8;
constexpr size_t kVirtualAddress = 12;
constexpr size_t kSizeOfRawData = 16;
constexpr size_t kPointerToRawData = 20;

PeBuilder OneSectionImage()
{
    PeBuilder pe;
    pe.nt.OptionalHeader.AddressOfEntryPoint = 0x1000;
    std::vector<uint8_t> text(0x100, 0xC3);
    Put32(text, 0x80, 0);  // a relocation table that ends at once
    Put32(text, 0x84, 0);
    pe.AddSection(0x1000, 0x100, text);
    pe.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC, 0x1080, 8);
    return pe;
}

int32_t ImageSizeOf(const std::vector<uint8_t>& bytes)
{
    FakeLoader loader;
    MemoryModule module(loader);
    EXPECT_TRUE(module.ParseHeaders(bytes.data(), static_cast<int32_t>(bytes.size())));
    return module.ImageSize();
}

TEST(ImageSize, CountsOnlyTheLow16BitsOfVirtualSize)
{
    PeBuilder pe;
    pe.AddSection(0x1000, 0x12345, std::vector<uint8_t>(0x1000, 1));
    // extent 0x2345 at 0x1000, rounded to 0x4000 (the whole field would give 0x14000).
    EXPECT_EQ(ImageSizeOf(pe.Build()), 0x4000);
}

TEST(ImageSize, HeadersAndOneSectionGive0x3000)
{
    PeBuilder pe;
    pe.AddSection(0x1000, 0x1100, std::vector<uint8_t>(0x1200, 1));
    EXPECT_EQ(ImageSizeOf(pe.Build()), 0x3000);
}

TEST(ImageSize, HeadersAloneRoundUpToOneAlignment)
{
    PeBuilder pe;
    EXPECT_EQ(ImageSizeOf(pe.Build()), 0x1000);
}

TEST(AlignUp, RoundsUpAndRefusesWhatCannotBeCounted)
{
    struct Case {
        int64_t value;
        int32_t alignment;
        int32_t expected;
    };
    const Case cases[] = {
        {0x1001, 0x1000, 0x2000},     {0x2000, 0x1000, 0x2000}, {0, 0x1000, 0},
        {1, 1, 1},                    {0x400, 0x200, 0x400},    {0x401, 0x200, 0x600},
        {0x1000, 0, 0},               {0x1000, -0x1000, 0},     {-1, 0x1000, 0},
        {0x7FFFF001, 0x1000, 0},      {0x7FFFF000, 0x1000, 0x7FFFF000},
        {0x100000000LL, 0x1000, 0},
    };
    FakeLoader loader;
    MemoryModule module(loader);
    for (const Case& c : cases)
        EXPECT_EQ(module.AlignUp(c.value, c.alignment), c.expected) << std::hex << c.value << " / " << c.alignment;
}

TEST(ParseHeaders, SectionDataEndingExactlyAtTheBufferEndIsAccepted)
{
    std::vector<uint8_t> bytes = OneSectionImage().Build();
    FakeLoader loader;
    MemoryModule module(loader);
    EXPECT_TRUE(module.ParseHeaders(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_FALSE(module.ParseHeaders(bytes.data(), static_cast<int32_t>(bytes.size() - 1)));
}

struct Corruption {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
};

void Truncate(std::vector<uint8_t>& b, size_t n) { b.resize(n); }

const Corruption kCorruptions[] = {
    {"shorter than a DOS header", [](auto& b) { Truncate(b, 63); }},
    {"empty buffer", [](auto& b) { Truncate(b, 0); }},
    {"DOS magic", [](auto& b) { Put16(b, 0, 0x5A4E); }},
    {"negative e_lfanew", [](auto& b) { Put32(b, 60, 0xFFFFFFC0); }},
    {"e_lfanew past the buffer", [](auto& b) { Put32(b, 60, 0x7FFFFFF0); }},
    {"NT headers cut short", [](auto& b) { Put32(b, 60, static_cast<uint32_t>(b.size() - 247)); }},
    {"NT signature", [](auto& b) { Put32(b, kNt, 0x00004551); }},
    {"no executable-image flag", [](auto& b) { Put16(b, kCharacteristics, IMAGE_FILE_DLL); }},
    {"optional header 240 bytes", [](auto& b) { Put16(b, kSizeOfOptionalHeader, 240); }},
    {"optional header 0 bytes", [](auto& b) { Put16(b, kSizeOfOptionalHeader, 0); }},
    {"negative section count", [](auto& b) { Put16(b, kNumberOfSections, 0x8001); }},
    {"section table past the buffer", [](auto& b) { Put16(b, kNumberOfSections, 0x7FFF); }},
    {"section data past the buffer",
     [](auto& b) { Put32(b, PeBuilder::SectionHeaderOffset(0) + kSizeOfRawData, 0x400); }},
    {"section data pointer wraps",
     [](auto& b) { Put32(b, PeBuilder::SectionHeaderOffset(0) + kPointerToRawData, 0xFFFFFF00); }},
    {"section alignment 0", [](auto& b) { Put32(b, kSectionAlignment, 0); }},
    {"section alignment negative", [](auto& b) { Put32(b, kSectionAlignment, 0x80000000); }},
    {"SizeOfHeaders negative", [](auto& b) { Put32(b, kSizeOfHeaders, 0x80000000); }},
    {"headers copy past the buffer", [](auto& b) { Put32(b, kSizeOfHeaders, 0x10000); }},
    {"section end overflows",
     [](auto& b) { Put32(b, PeBuilder::SectionHeaderOffset(0) + kVirtualAddress, 0x7FFFF800); }},
    {"whole VirtualSize overflows",
     [](auto& b) { Put32(b, PeBuilder::SectionHeaderOffset(0) + kVirtualSize, 0xFFFFF000); }},
};

TEST(Load, EveryCorruptedHeaderIsRefusedBeforeAnyReservation)
{
    for (const Corruption& c : kCorruptions) {
        std::vector<uint8_t> bytes = OneSectionImage().Build();
        c.apply(bytes);
        FakeLoader loader;
        MemoryModule module(loader);
        EXPECT_FALSE(module.Load(OwnedByteBuffer(bytes).get())) << c.what;
        EXPECT_TRUE(loader.allocations.empty()) << c.what;
        EXPECT_TRUE(loader.calls.empty()) << c.what;
        EXPECT_EQ(module.Handle(), 0u) << c.what;
    }
}

TEST(Load, TheUncorruptedImageLoads)
{
    FakeLoader loader;
    MemoryModule module(loader);
    EXPECT_TRUE(module.Load(OwnedByteBuffer(OneSectionImage().Build()).get()));
    ASSERT_EQ(loader.allocations.size(), 1u);
    EXPECT_EQ(loader.allocations[0], std::make_pair(uint64_t{0x10000000}, 0x2000u));
}

TEST(Load, ReservationCoversTheWholeVirtualSizeOfALargeSection)
{
    PeBuilder pe = OneSectionImage();
    pe.AddSection(0x2000, 0x12345, std::vector<uint8_t>(0x200, 1));
    FakeLoader loader;
    MemoryModule module(loader);
    const std::vector<uint8_t> bytes = pe.Build();
    ASSERT_TRUE(module.ParseHeaders(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_EQ(module.ImageSize(), 0x5000);
    ASSERT_TRUE(module.Load(OwnedByteBuffer(bytes).get()));
    ASSERT_EQ(loader.allocations.size(), 1u);
    EXPECT_EQ(loader.allocations[0].second, 0x15000u);
}

TEST(Load, ASecondAttemptAfterARefusedReservationGoesAnywhere)
{
    FakeLoader loader;
    loader.preferredFree = false;
    MemoryModule module(loader);
    EXPECT_TRUE(module.Load(OwnedByteBuffer(OneSectionImage().Build()).get()));
    ASSERT_EQ(loader.allocations.size(), 2u);
    EXPECT_EQ(loader.allocations[1], std::make_pair(uint64_t{0}, 0x2000u));
    EXPECT_EQ(module.Handle(), FakeLoader::kElsewhere);
}

}  // namespace
