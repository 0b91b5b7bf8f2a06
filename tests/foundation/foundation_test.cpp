// The build's promises that every other folder relies on: Chinese texts reach
// the program as GBK bytes, and an embedded file is the file, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "base/byte_buffer.h"

extern "C" const ByteBuffer EmbeddedFixture;

namespace {

std::vector<uint8_t> ReadFile(const char* path)
{
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        uint8_t chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return bytes;
}

#ifdef _WIN32
TEST(Texts, ChineseLiteralsAreGbkBytes)
{
    struct Case {
        const char* text;
        std::vector<uint8_t> gbk;
    };
    const Case cases[] = {
        {"停止", {0xCD, 0xA3, 0xD6, 0xB9}},
        {"信息：", {0xD0, 0xC5, 0xCF, 0xA2, 0xA3, 0xBA}},
        {"【", {0xA1, 0xBE}},
        {"①", {0xA2, 0xD9}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> actual(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(actual, c.gbk) << "literal of " << c.gbk.size() << " bytes";
    }
}
#endif

TEST(Embedding, EmbeddedFileEqualsTheFileOnDisk)
{
    const std::vector<uint8_t> onDisk = ReadFile(EMBEDDED_FIXTURE_PATH);
    ASSERT_FALSE(onDisk.empty());
    ASSERT_EQ(EmbeddedFixture.length, onDisk.size());
    EXPECT_EQ(0, std::memcmp(EmbeddedFixture.bytes(), onDisk.data(), onDisk.size()));
}

TEST(Embedding, OwnedBufferHasTheSameLayout)
{
    const uint8_t data[] = {1, 2, 3};
    OwnedByteBuffer owned(data, sizeof data);
    EXPECT_EQ(owned.get().length, 3u);
    EXPECT_EQ(owned.get().bytes()[2], 3);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&owned.get()) + 4, owned.get().bytes());
}

}  // namespace
