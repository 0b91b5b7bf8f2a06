// The skin container header and skin records: good skins parse to the values they
// carry, every kind of malformed input is refused, and the 33 committed skins are
// distinct and readable.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "skins/skin_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Record(Bytes& out, uint8_t tag, const Bytes& body)
{
    out.push_back(tag);
    out.push_back(static_cast<uint8_t>(body.size()));
    out.push_back(static_cast<uint8_t>(body.size() >> 8));
    out.insert(out.end(), body.begin(), body.end());
}

struct PayloadBuilder {
    Bytes magic{'B', 'S', 'K', 'N', 1};
    Bytes name{'T', 'e', 's', 't'};
    Bytes palette = Bytes(kSkinColorCount * 3, 0x40);
    Bytes metrics{6, 4, 3, 2, 1, 1, 2, 90, 110, 1, 0};
    Bytes tile{2, 2, 50, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Bytes papers{10, 11, 12, 240, 241, 242};
    bool withTile = true;
    bool withPapers = false;
    Bytes Build() const
    {
        Bytes out = magic;
        Record(out, kRecordName, name);
        Record(out, kRecordPalette, palette);
        Record(out, kRecordMetrics, metrics);
        if (withTile)
            Record(out, kRecordTile, tile);
        if (withPapers)
            Record(out, kRecordPapers, papers);
        Record(out, kRecordEnd, {});
        return out;
    }
};

uint32_t PackRgbBytes(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

bool Parses(const Bytes& b)
{
    Skin s;
    return ParseSkin(b.data(), b.size(), s);
}

TEST(SkinFormat, GoodSkinParsesToItsValues)
{
    PayloadBuilder p;
    p.palette[kButtonText * 3] = 0x12;
    const Bytes b = p.Build();
    Skin s;
    ASSERT_TRUE(ParseSkin(b.data(), b.size(), s));
    EXPECT_STREQ(s.name, "Test");
    EXPECT_EQ(s.colors[kButtonText].r, 0x12);
    EXPECT_EQ(s.windowRadius, 6);
    EXPECT_EQ(s.buttonRadius, 4);
    EXPECT_EQ(s.buttonStyle, ButtonStyle::Glossy);
    EXPECT_EQ(s.groupStyle, GroupStyle::Panel);
    EXPECT_EQ(s.captionShape, CaptionShape::Circle);
    EXPECT_TRUE(s.titleBold);
    EXPECT_EQ(s.tile.width, 2);
    EXPECT_EQ(s.tile.alpha, 50);
    EXPECT_EQ(s.tile.rgb[11], 12);
}

TEST(SkinFormat, PapersAreTheRecordsOrBlackAndWhite)
{
    PayloadBuilder p;
    Skin s;
    Bytes b = p.Build();
    ASSERT_TRUE(ParseSkin(b.data(), b.size(), s));
    EXPECT_EQ(PackRgbBytes(s.paperDark), 0x000000u);
    EXPECT_EQ(PackRgbBytes(s.paperLight), 0xFFFFFFu);
    p.withPapers = true;
    b = p.Build();
    ASSERT_TRUE(ParseSkin(b.data(), b.size(), s));
    EXPECT_EQ(PackRgbBytes(s.paperDark), 0x0A0B0Cu);
    EXPECT_EQ(PackRgbBytes(s.paperLight), 0xF0F1F2u);
}

TEST(SkinFormat, MalformedSkinsAreRefused)
{
    struct Case {
        const char* what;
        std::function<Bytes()> make;
    };
    const Case cases[] = {
        {"wrong magic", [] { PayloadBuilder p; p.magic[0] = 'X'; return p.Build(); }},
        {"wrong version", [] { PayloadBuilder p; p.magic[4] = 2; return p.Build(); }},
        {"short palette", [] { PayloadBuilder p; p.palette.pop_back(); return p.Build(); }},
        {"long metrics", [] { PayloadBuilder p; p.metrics.push_back(0); return p.Build(); }},
        {"radius too large", [] { PayloadBuilder p; p.metrics[kButtonRadius] = kMaxRadius + 1; return p.Build(); }},
        {"unknown button style", [] { PayloadBuilder p; p.metrics[kButtonStyle] = uint8_t(ButtonStyle::Count); return p.Build(); }},
        {"unknown group style", [] { PayloadBuilder p; p.metrics[kGroupStyle] = 9; return p.Build(); }},
        {"bold flag not 0/1", [] { PayloadBuilder p; p.metrics[kTitleBold] = 2; return p.Build(); }},
        {"empty tile", [] { PayloadBuilder p; p.tile = {0, 2, 50}; return p.Build(); }},
        {"tile too wide", [] { PayloadBuilder p; p.tile = Bytes(3 + 65 * 3, 1); p.tile[0] = 65; p.tile[1] = 1; return p.Build(); }},
        {"papers short", [] { PayloadBuilder p; p.withPapers = true; p.papers.pop_back(); return p.Build(); }},
        {"papers long", [] { PayloadBuilder p; p.withPapers = true; p.papers.push_back(0); return p.Build(); }},
        {"papers twice", [] { PayloadBuilder p; p.withPapers = true; Bytes b = p.Build(); Bytes extra;
                              Record(extra, kRecordPapers, p.papers); b.insert(b.end() - 3, extra.begin(), extra.end());
                              return b; }},
        {"tile pixels missing", [] { PayloadBuilder p; p.tile.pop_back(); return p.Build(); }},
        {"name not printable", [] { PayloadBuilder p; p.name[1] = 0x07; return p.Build(); }},
        {"name too long", [] { PayloadBuilder p; p.name = Bytes(kMaxSkinName + 1, 'a'); return p.Build(); }},
        {"empty name", [] { PayloadBuilder p; p.name.clear(); return p.Build(); }},
        {"unknown record", [] { Bytes b = PayloadBuilder().Build(); b.insert(b.end() - 3, {9, 0, 0}); return b; }},
        {"palette twice", [] { PayloadBuilder p; Bytes b = p.Build(); Bytes extra; Record(extra, kRecordPalette, p.palette);
                               b.insert(b.end() - 3, extra.begin(), extra.end()); return b; }},
        {"no end record", [] { Bytes b = PayloadBuilder().Build(); b.resize(b.size() - 3); return b; }},
        {"byte after end", [] { Bytes b = PayloadBuilder().Build(); b.push_back(0); return b; }},
        {"end with a body", [] { Bytes b = PayloadBuilder().Build(); b[b.size() - 2] = 1; b.push_back(0); return b; }},
        {"record longer than data", [] { Bytes b = PayloadBuilder().Build(); b[6] = 0xFF; b[7] = 0xFF; return b; }},
        {"no palette", [] { PayloadBuilder p; Bytes b = p.magic; Record(b, kRecordMetrics, p.metrics); Record(b, kRecordEnd, {}); return b; }},
        {"no metrics", [] { PayloadBuilder p; Bytes b = p.magic; Record(b, kRecordPalette, p.palette); Record(b, kRecordEnd, {}); return b; }},
        {"only magic", [] { return PayloadBuilder().magic; }},
        {"empty", [] { return Bytes{}; }},
    };
    ASSERT_TRUE(Parses(PayloadBuilder().Build()));
    for (const Case& c : cases)
        EXPECT_FALSE(Parses(c.make())) << c.what;
}

TEST(SkinFormat, EveryTruncationOfAGoodSkinIsRefused)
{
    const Bytes b = PayloadBuilder().Build();
    for (size_t n = 0; n < b.size(); ++n)
        EXPECT_FALSE(Parses(Bytes(b.begin(), b.begin() + static_cast<long>(n)))) << n;
}

Bytes Header(uint32_t size, uint8_t props = 0x5D)
{
    Bytes h{'.', 'S', 'H', 'E', 0x00, 0x03, uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16),
            uint8_t(size >> 24), props, 0x00, 0x00, 0x80, 0x00, 0x00};
    return h;
}

TEST(SkinContainerHeader, AcceptsTheFixedHeaderAndRefusesOthers)
{
    SkinContainer c;
    Bytes good = Header(1234);
    ASSERT_TRUE(ParseSkinContainer(good.data(), good.size(), c));
    EXPECT_EQ(c.payloadSize, 1234u);
    EXPECT_EQ(c.props.dictionarySize, 0x00800000u);
    EXPECT_EQ(c.stream, good.data() + kSkinHeaderSize);
    EXPECT_EQ(c.streamLength, 1u);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes badMagic = Header(10);
    badMagic[1] = 's';
    Bytes badVersion = Header(10);
    badVersion[5] = 0x02;
    const Case cases[] = {
        {"magic", badMagic},
        {"version bytes", badVersion},
        {"zero size", Header(0)},
        {"huge size", Header(kMaxSkinPayload + 1)},
        {"other properties", Header(10, 0x5E)},
        {"header only", Bytes(good.begin(), good.begin() + kSkinHeaderSize)},
        {"shorter than header", Bytes(good.begin(), good.begin() + 5)},
    };
    for (const Case& k : cases)
        EXPECT_FALSE(ParseSkinContainer(k.bytes.data(), k.bytes.size(), c)) << k.what;
    EXPECT_FALSE(ParseSkinContainer(nullptr, 100, c));
}

Skin LoadCommitted(int n)
{
    char name[32];
    snprintf(name, sizeof name, "/skin%02d.she", n);
    std::ifstream in(std::string(SKIN_ASSET_DIR) + name, std::ios::binary);
    static std::vector<Bytes> payloads;   // tiles point into the payload: keep it
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SkinContainer c;
    Skin s{};
    EXPECT_TRUE(ParseSkinContainer(file.data(), file.size(), c)) << n;
    payloads.emplace_back(c.payloadSize);
    auto state = std::make_unique<LzmaState>();
    EXPECT_EQ(LzmaDecode(*state, c.props, c.stream, c.streamLength, payloads.back().data(), c.payloadSize),
              LzmaResult::Ok)
        << n;
    EXPECT_TRUE(ParseSkin(payloads.back().data(), c.payloadSize, s)) << n;
    return s;
}

double Luminance(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

double Mid(Rgb a, Rgb b) { return (Luminance(a) + Luminance(b)) / 2; }

constexpr double kReadableContrast = 90.0;   // luminance difference, 0..255

TEST(CommittedSkins, AllThirtyThreeAreDistinctAndReadable)
{
    std::vector<Skin> skins;
    for (int n = 1; n <= 33; ++n)
        skins.push_back(LoadCommitted(n));
    for (size_t i = 0; i < skins.size(); ++i) {
        const Skin& s = skins[i];
        SCOPED_TRACE(s.name);
        EXPECT_GE(std::abs(Luminance(s.colors[kButtonText]) - Mid(s.colors[kButtonTop], s.colors[kButtonBottom])),
                  kReadableContrast);
        EXPECT_GE(std::abs(Luminance(s.colors[kTitleText]) - Mid(s.colors[kTitleTop], s.colors[kTitleBottom])),
                  kReadableContrast);
        EXPECT_GE(std::abs(Luminance(s.colors[kDialogText]) - Mid(s.colors[kClientTop], s.colors[kClientBottom])),
                  kReadableContrast);
        // Each skin lays its own tinted papers, not the plain defaults.
        EXPECT_NE(PackRgbBytes(s.paperDark), 0x000000u);
        EXPECT_NE(PackRgbBytes(s.paperLight), 0xFFFFFFu);
        for (size_t j = 0; j < i; ++j) {
            const Skin& t = skins[j];
            const bool samePalette = std::memcmp(s.colors, t.colors, sizeof s.colors) == 0;
            EXPECT_FALSE(samePalette) << t.name;
            const bool sameLook = s.buttonStyle == t.buttonStyle && s.groupStyle == t.groupStyle &&
                                  s.titleStyle == t.titleStyle && s.captionShape == t.captionShape &&
                                  s.buttonRadius == t.buttonRadius && s.windowRadius == t.windowRadius &&
                                  s.tile.width == t.tile.width && s.colors[kTitleTop].r == t.colors[kTitleTop].r;
            EXPECT_FALSE(sameLook) << t.name;
        }
    }
}

}  // namespace
