// Our LZMA1 decoder against raw LZMA1 streams made by liblzma (the encoder the skin
// compiler uses): exact output, refusal of bad streams, no write past the output.
#include <gtest/gtest.h>
#include <lzma.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "skins/lzma_decoder.h"
#include "skins/skin_format.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuardBytes = 64;
constexpr uint32_t kDictionary = 0x00800000;

Bytes Encode(const Bytes& data)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = kDictionary;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Bytes out(data.size() + data.size() / 2 + 1024);
    size_t written = 0;
    const lzma_ret ret = lzma_raw_buffer_encode(filters, nullptr, data.data(), data.size(), out.data(), &written,
                                                out.size());
    EXPECT_EQ(ret, LZMA_OK);
    out.resize(written);
    return out;
}

LzmaProperties DefaultProps()
{
    LzmaProperties p;
    p.dictionarySize = kDictionary;
    return p;
}

struct Decoded {
    LzmaResult result;
    Bytes output;
    bool guardIntact;
};

Decoded Decode(const Bytes& stream, size_t outLength, LzmaProperties props = DefaultProps())
{
    auto state = std::make_unique<LzmaState>();
    Bytes buffer(outLength + kGuardBytes, kGuard);
    Decoded d;
    d.result = LzmaDecode(*state, props, stream.data(), stream.size(), buffer.data(), outLength);
    d.guardIntact = true;
    for (size_t i = outLength; i < buffer.size(); ++i)
        d.guardIntact = d.guardIntact && buffer[i] == kGuard;
    buffer.resize(outLength);
    d.output = buffer;
    return d;
}

Bytes RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

Bytes Text(size_t n)
{
    const std::string words = "the board plays applause, laughter and sirens; stop silences them all. ";
    Bytes b;
    for (size_t i = 0; b.size() < n; ++i)
        b.push_back(static_cast<uint8_t>(words[(i * 7 + i / words.size()) % words.size()]));
    return b;
}

TEST(LzmaDecoder, RoundTripsRandomTextAndRunsAtEdgeSizes)
{
    const size_t sizes[] = {1, 2, 3, 4, 5, 15, 16, 255, 256, 273, 274, 4095, 4096, 65536, 65537, 140001};
    for (size_t n : sizes) {
        const Bytes cases[] = {RandomBytes(n, static_cast<uint32_t>(n)), Text(n), Bytes(n, 0x00), Bytes(n, 0xFF)};
        for (const Bytes& data : cases) {
            const Decoded d = Decode(Encode(data), data.size());
            ASSERT_EQ(d.result, LzmaResult::Ok) << "size " << n;
            ASSERT_TRUE(d.guardIntact);
            ASSERT_EQ(d.output, data) << "size " << n;
        }
    }
}

TEST(LzmaDecoder, EmptyOutputFromEmptyInput)
{
    const Decoded d = Decode(Encode(Bytes{}), 0);
    EXPECT_EQ(d.result, LzmaResult::Ok);
    EXPECT_TRUE(d.guardIntact);
}

TEST(LzmaDecoder, EveryTruncationIsRefused)
{
    const Bytes data = Text(2000);
    const Bytes stream = Encode(data);
    for (size_t cut = 0; cut < stream.size(); ++cut) {
        const Bytes part(stream.begin(), stream.begin() + static_cast<long>(cut));
        const Decoded d = Decode(part, data.size());
        ASSERT_NE(d.result, LzmaResult::Ok) << "cut at " << cut;
        ASSERT_TRUE(d.guardIntact);
    }
}

TEST(LzmaDecoder, DeclaredSizeSmallerThanStreamNeverWritesPastIt)
{
    const Bytes data = Text(20000);
    const Bytes stream = Encode(data);
    for (size_t declared : {size_t(0), size_t(1), size_t(100), size_t(19999)}) {
        const Decoded d = Decode(stream, declared);
        EXPECT_EQ(d.result, LzmaResult::Corrupt) << declared;
        EXPECT_TRUE(d.guardIntact) << declared;
    }
}

TEST(LzmaDecoder, DeclaredSizeLargerThanStreamIsTruncated)
{
    const Bytes data = Text(3000);
    const Decoded d = Decode(Encode(data), data.size() + 1);
    EXPECT_EQ(d.result, LzmaResult::Truncated);
    EXPECT_TRUE(d.guardIntact);
}

TEST(LzmaDecoder, TrailingBytesAfterTheEndAreRefused)
{
    const Bytes data = Text(1000);
    Bytes stream = Encode(data);
    stream.push_back(0);
    EXPECT_NE(Decode(stream, data.size()).result, LzmaResult::Ok);
}

TEST(LzmaDecoder, NonZeroFirstByteIsCorrupt)
{
    Bytes stream = Encode(Text(100));
    stream[0] = 1;
    EXPECT_EQ(Decode(stream, 100).result, LzmaResult::Corrupt);
}

TEST(LzmaDecoder, FlippedBytesAreAlmostAlwaysRefusedAndNeverOverflow)
{
    const Bytes data = Text(8000);
    const Bytes stream = Encode(data);
    size_t refused = 0, tried = 0;
    for (size_t pos = 1; pos < stream.size(); pos += 3) {
        Bytes bad = stream;
        bad[pos] ^= 0x5A;
        const Decoded d = Decode(bad, data.size());
        ASSERT_TRUE(d.guardIntact) << pos;
        ++tried;
        refused += d.result != LzmaResult::Ok || d.output == data;
    }
    EXPECT_GE(refused * 10, tried * 9);
}

TEST(LzmaDecoder, RandomGarbageNeverOverflows)
{
    for (uint32_t seed = 0; seed < 200; ++seed) {
        Bytes garbage = RandomBytes(64 + seed * 5, seed);
        garbage[0] = 0;
        const Decoded d = Decode(garbage, 4096);
        ASSERT_TRUE(d.guardIntact) << seed;
    }
}

TEST(LzmaDecoder, PropertiesBeyondTheModelAreRefused)
{
    const uint8_t tooManyLiteralBits[5] = {8 + 9 * 1, 0, 0, 0x80, 0};   // lc 8, lp 1
    const uint8_t outOfRange[5] = {225, 0, 0, 0x80, 0};
    LzmaProperties p;
    EXPECT_FALSE(ParseLzmaProperties(tooManyLiteralBits, p));
    EXPECT_FALSE(ParseLzmaProperties(outOfRange, p));
    const uint8_t standard[5] = {0x5D, 0x00, 0x00, 0x80, 0x00};
    ASSERT_TRUE(ParseLzmaProperties(standard, p));
    EXPECT_EQ(p.lc, 3u);
    EXPECT_EQ(p.lp, 0u);
    EXPECT_EQ(p.pb, 2u);
    EXPECT_EQ(p.dictionarySize, 0x00800000u);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The committed skins: our decoder agrees with liblzma's on every one.
TEST(LzmaDecoder, DecodesAllThirtyThreeSkinsLikeLiblzma)
{
    for (int n = 1; n <= 33; ++n) {
        char name[32];
        snprintf(name, sizeof name, "/skin%02d.she", n);
        const Bytes file = ReadFile(std::string(SKIN_ASSET_DIR) + name);
        SkinContainer c;
        ASSERT_TRUE(ParseSkinContainer(file.data(), file.size(), c)) << n;
        const Bytes stream(c.stream, c.stream + c.streamLength);
        const Decoded ours = Decode(stream, c.payloadSize, c.props);
        ASSERT_EQ(ours.result, LzmaResult::Ok) << n;

        lzma_options_lzma options{};
        options.dict_size = c.props.dictionarySize;
        options.lc = c.props.lc;
        options.lp = c.props.lp;
        options.pb = c.props.pb;
        lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
        Bytes theirs(c.payloadSize);
        size_t inPos = 0, outPos = 0;
        lzma_raw_buffer_decode(filters, nullptr, stream.data(), &inPos, stream.size(), theirs.data(), &outPos,
                               theirs.size());
        ASSERT_EQ(outPos, theirs.size()) << n;
        EXPECT_EQ(ours.output, theirs) << n;
    }
}

}  // namespace
